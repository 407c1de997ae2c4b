# Manual pages (section 1) made from each program's own --help and --version, so the two texts
# never drift apart. help2man runs the freshly built program; without help2man there are no pages.
# The help's "Exit status:" paragraph becomes the page's EXIT STATUS section, and SEE ALSO names
# the other programs of the package.
find_program(HELP2MAN_PROGRAM help2man)
if(NOT HELP2MAN_PROGRAM)
  message(STATUS "help2man not found: the manual pages are not made")
  return()
endif()

set(PIGMORA_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(PIGMORA_MAN_PROGRAMS hashhost pigmora-peer fbxinfo fbxconvert)
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
  set(seeAlso ${PIGMORA_MAN_DIR}/${program}.h2m)
  set(others ${PIGMORA_MAN_PROGRAMS})
  list(REMOVE_ITEM others ${program})
  list(TRANSFORM others APPEND " (1)" OUTPUT_VARIABLE others)
  list(TRANSFORM others PREPEND ".BR ")
  list(JOIN others ",\n" others)
  file(WRITE ${seeAlso} "[SEE ALSO]\n${others}\n")
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PIGMORA_MAN_DIR}
    COMMAND ${HELP2MAN_PROGRAM} --no-info --section=1 "--source=${PIGMORA_PROJECT_NAME} ${PROJECT_VERSION}"
            "--name=${summary}" --include=${seeAlso} --output=${page} $<TARGET_FILE:${program}>
    COMMAND sed -i -e "s/^\\.SS \"Exit status:\"$/.SH \"EXIT STATUS\"/" ${page}
    COMMAND gzip -9nf ${page}
    DEPENDS ${program} ${seeAlso}
    COMMENT "Writing the manual page of ${program}"
    VERBATIM)
  list(APPEND manPages ${page}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${manPages})
install(FILES ${manPages} DESTINATION share/man/man1)
