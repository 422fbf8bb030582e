# Find on two trees of 5,000 albums: scan, matching and the copy-selection list, with the longest
# time the window went without a message dispatch. Win32 only (run under Wine).
if(WIN32)
  add_executable(bench_albumart_find
    ${CMAKE_CURRENT_LIST_DIR}/albumart_find.cpp
    ${CMAKE_SOURCE_DIR}/tests/albumart/RandomAlbums.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BenchAlbums.cpp
    ${CMAKE_SOURCE_DIR}/resources/Blendo.rc
  )
  target_link_libraries(bench_albumart_find PRIVATE albumart_win foundation_win)
  target_link_options(bench_albumart_find PRIVATE -mconsole)
endif()
