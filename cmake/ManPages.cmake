# Manual pages (section 1) made from each program's own --help and --version, so the two texts
# never drift apart. help2man runs the freshly built program; without help2man there are no pages.
find_program(HELP2MAN_PROGRAM help2man)
if(NOT HELP2MAN_PROGRAM)
  message(STATUS "help2man not found: the manual pages are not made")
  return()
endif()

set(PIGMORA_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(manPages)
foreach(entry
    "hashhost|stand-in Hash Animator host that loads command plug-ins such as the Pigmora applink"
    "pigmora-peer|stand-in Pigmora that answers the applink's exchange folder"
    "fbxinfo|print what the FBX library reads from FBX files"
    "fbxconvert|rewrite an FBX file in the ASCII or binary encoding")
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 program)
  list(GET parts 1 summary)
  set(page ${PIGMORA_MAN_DIR}/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PIGMORA_MAN_DIR}
    COMMAND ${HELP2MAN_PROGRAM} --no-info --section=1 --source=${PROJECT_NAME} "--name=${summary}"
            --output=${page} $<TARGET_FILE:${program}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${program}
    COMMENT "Writing the manual page of ${program}"
    VERBATIM)
  list(APPEND manPages ${page}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${manPages})
install(FILES ${manPages} DESTINATION share/man/man1)
