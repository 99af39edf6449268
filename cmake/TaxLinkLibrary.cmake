# taxlink_folder_library(NAME [LINK lib...])
# Builds a static library from every .cpp file of the current folder (an
# interface library while the folder has none). Its headers are included by
# their path from the source tree ("platform/text/Mbcs.h"), which is the
# library's include directory; it links exactly LINK.
function(taxlink_folder_library name)
  cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LINK})
  endif()
endfunction()
