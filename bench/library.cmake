# Reading the 100,000-song library into a song array (rating mode, date filter): items per second
# and the share of time spent letting window messages run. Native: the library in memory. In a
# Windows configure with SWIRLO_BENCH: through COM against the stand-in, run under Wine.
set(bench_library_sources
  ${CMAKE_CURRENT_LIST_DIR}/LibraryBench.cpp
  ${CMAKE_SOURCE_DIR}/standin/LibraryModel.cpp
  ${CMAKE_SOURCE_DIR}/tools/demolib/DemoGen.cpp
)
add_executable(bench_library ${bench_library_sources})
if(WIN32)
  target_link_libraries(bench_library PRIVATE library_media_win)
  target_link_options(bench_library PRIVATE -mconsole)
else()
  target_link_libraries(bench_library PRIVATE library_reading_core)
endif()
