# The C++ file that embeds a resource script, for a module's sources:
# pigmora_embed_resources(OUTVAR script.rc [HEADER...]), with the identifiers
# of the resource.h beside the script and the definitions of the other headers
# the script includes.
function(pigmora_embed_resources outvar script)
  get_filename_component(name ${script} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}Resources.cpp)
  get_filename_component(folder ${script} DIRECTORY)
  set(headers ${folder}/resource.h ${ARGN})
  list(JOIN headers "|" headerList)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DSCRIPT=${script} -DHEADERS=${headerList} -DOUTPUT=${output} -P
            ${PROJECT_SOURCE_DIR}/cmake/EmbedResourceScript.cmake
    DEPENDS ${script} ${headers} ${PROJECT_SOURCE_DIR}/cmake/EmbedResourceScript.cmake
    COMMENT "Embedding ${name}.rc"
    VERBATIM)
  set(${outvar} ${output} PARENT_SCOPE)
endfunction()
