# The C++ file that embeds a resource script, for a module's sources:
# pigmora_embed_resources(OUTVAR script.rc), with the identifiers of the
# resource.h beside the script.
function(pigmora_embed_resources outvar script)
  get_filename_component(name ${script} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}Resources.cpp)
  get_filename_component(folder ${script} DIRECTORY)
  set(header ${folder}/resource.h)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DSCRIPT=${script} -DHEADER=${header} -DOUTPUT=${output} -P
            ${PROJECT_SOURCE_DIR}/cmake/EmbedResourceScript.cmake
    DEPENDS ${script} ${header} ${PROJECT_SOURCE_DIR}/cmake/EmbedResourceScript.cmake
    COMMENT "Embedding ${name}.rc")
  set(${outvar} ${output} PARENT_SCOPE)
endfunction()
