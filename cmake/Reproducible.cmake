# The same sources give the same bytes wherever the tree and the build lie:
# paths in debug information and in __FILE__ relative to them (the hack's
# build id hashes its debug information), and no link time in a PE header.
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
if(WIN32)
  add_link_options(-Wl,--no-insert-timestamp)
endif()
