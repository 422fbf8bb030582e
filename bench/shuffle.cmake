# Even-distribution placement and SeparateDups on 1,000,000 plays against a plain Fisher-Yates
# shuffle of the same entries, with the step-by-step placement's ratio beside the program's.
add_executable(bench_shuffle ${CMAKE_CURRENT_LIST_DIR}/shuffle_bench.cpp)
target_link_libraries(bench_shuffle PRIVATE shuffle_core)
if(WIN32)
  target_link_options(bench_shuffle PRIVATE -mconsole)
endif()
