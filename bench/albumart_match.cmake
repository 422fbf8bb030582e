# Matching run against the plain nested loops, on library-shaped and on disjoint trees.
add_executable(bench_albumart_match
  ${CMAKE_CURRENT_LIST_DIR}/albumart_match.cpp
  ${CMAKE_SOURCE_DIR}/tests/albumart/core/LiteralMatch.cpp
  ${CMAKE_SOURCE_DIR}/tests/albumart/core/RandomAlbums.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BenchAlbums.cpp
)
target_link_libraries(bench_albumart_match PRIVATE albumart_core)
