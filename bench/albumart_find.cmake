# Find on two trees of 5,000 albums: scan, matching and the copy-selection list, with the longest
# time the window went without a message dispatch. Win32 only (run under Wine).
if(WIN32)
  add_executable(bench_albumart_find
    ${CMAKE_CURRENT_LIST_DIR}/albumart_find.cpp
    ${CMAKE_SOURCE_DIR}/tests/albumart/core/RandomAlbums.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BenchAlbums.cpp
    ${CMAKE_SOURCE_DIR}/resources/Blendo.rc
  )
  target_link_libraries(bench_albumart_find PRIVATE albumart_win foundation_win)
  target_link_options(bench_albumart_find PRIVATE -mconsole)
  # The album image of every folder: a cover-sized JPEG.
  set(bench_cover ${CMAKE_BINARY_DIR}/bench-cover.jpg)
  add_custom_command(OUTPUT ${bench_cover}
    COMMAND convert -size 1000x1000 -seed 3 plasma:fractal -quality 92 ${bench_cover}
    COMMENT "Making the cover image of the album-art benchmark" VERBATIM)
  add_custom_target(bench_cover_image DEPENDS ${bench_cover})
  add_dependencies(bench_albumart_find bench_cover_image)
  target_compile_definitions(bench_albumart_find PRIVATE BENCH_COVER="${bench_cover}")
endif()
