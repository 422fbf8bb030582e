# Writing a 1,000,000-entry .m3u8 against writing the same bytes in large blocks with the same
# calls: open/write natively, CreateFileW/WriteFile (the program's own writer) under Wine.
if(WIN32)
  add_executable(bench_playlist ${CMAKE_CURRENT_LIST_DIR}/playlist_bench.cpp)
  target_link_libraries(bench_playlist PRIVATE playlist_win)
  target_link_options(bench_playlist PRIVATE -mconsole)
else()
  add_executable(bench_playlist ${CMAKE_CURRENT_LIST_DIR}/playlist_bench.cpp)
  target_link_libraries(bench_playlist PRIVATE playlist_core)
endif()
