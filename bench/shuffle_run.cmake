# A whole shuffle run of the page (Windows only, under Wine against the stand-in): 100,000 songs,
# about 330,000 plays, even distribution, .m3u8; against its parts measured alone in the same run.
if(WIN32)
  add_executable(bench_shuffle_run ${CMAKE_CURRENT_LIST_DIR}/shuffle_run_bench.cpp
                 ${CMAKE_SOURCE_DIR}/tools/demolib/DemoGen.cpp ${CMAKE_SOURCE_DIR}/resources/Blendo.rc)
  target_link_libraries(bench_shuffle_run PRIVATE shuffle_page_win)
  target_link_options(bench_shuffle_run PRIVATE -mconsole -municode)
endif()
