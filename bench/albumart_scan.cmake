# The scan of 20,000 album folders and the share of its time spent letting window messages run.
# Win32 only: build in a Windows configure with SWIRLO_BENCH and run under Wine.
if(WIN32)
  add_executable(bench_albumart_scan ${CMAKE_CURRENT_LIST_DIR}/albumart_scan.cpp)
  target_link_libraries(bench_albumart_scan PRIVATE albumart_win foundation_win)
  target_link_options(bench_albumart_scan PRIVATE -mconsole)
endif()
