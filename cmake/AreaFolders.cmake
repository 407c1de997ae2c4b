# Adds every sub-folder of the current source folder that has a CMakeLists.txt,
# in name order, so a new area needs no edit here. Folders named in
# PIGMORA_SKIPPED_TEST_AREAS are left out.
function(add_area_subdirectories)
  file(GLOB areas LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT areas)
  foreach(area IN LISTS areas)
    if(area IN_LIST PIGMORA_SKIPPED_TEST_AREAS)
      continue()
    endif()
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/CMakeLists.txt)
      add_subdirectory(${area})
    endif()
  endforeach()
endfunction()
