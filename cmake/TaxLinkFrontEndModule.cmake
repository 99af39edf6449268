# taxlink_front_end_module(TARGET FILE_NAME OBJECTS object_library LINK lib...)
# A front end as a module the programs load with dlopen: FILE_NAME.so in
# bin/ and, the same file, in bin-faults/, beside the programs that load it.
# It links only its own objects and LINK; every other symbol it uses comes
# from the program that loads it (app/ exports them).
function(taxlink_front_end_module target file_name)
  cmake_parse_arguments(ARG "" "OBJECTS" "LINK" ${ARGN})
  add_library(${target} MODULE $<TARGET_OBJECTS:${ARG_OBJECTS}>)
  target_link_libraries(${target} PRIVATE ${ARG_LINK})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${file_name}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin-faults
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/bin/${file_name}.so ${CMAKE_BINARY_DIR}/bin-faults/
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY TAXLINK_FRONT_END_MODULES ${target})
endfunction()
