add_executable(bench_songarray ${CMAKE_CURRENT_LIST_DIR}/bench_songarray.cpp)
target_link_libraries(bench_songarray PRIVATE shuffle_core)
