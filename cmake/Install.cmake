# `cmake --install BUILD --prefix DIR` lays the programs out as a system would:
#   bin/                          hashhost, pigmora-peer, fbxinfo, fbxconvert
#   lib/TRIPLET/hashhost/         the platform libraries, private to these programs (TRIPLET: the
#                                 multiarch folder, x86_64-linux-gnu; none where there is none)
#   lib/TRIPLET/hashhost/plugins/ the plug-ins hashhost loads by default
#   share/hashhost/data/          the sample model's images
#   share/man/man1/               the programs' manual pages
#   share/applications/, share/icons/hicolor/scalable/apps/   hashhost's desktop entry and icon
# Every RPATH is relative ($ORIGIN), so the tree works wherever it is put. Private libraries one
# folder below lib/TRIPLET/ are where Debian keeps them, out of the dynamic loader's own folders
# (lib/hashhost/ would have the package run ldconfig for them).
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(PIGMORA_INSTALL_LIBRARY_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/hashhost)
else()
  set(PIGMORA_INSTALL_LIBRARY_DIR lib/hashhost)
endif()
set(PIGMORA_INSTALL_PLUGIN_DIR ${PIGMORA_INSTALL_LIBRARY_DIR}/plugins)
set(PIGMORA_INSTALL_DATA_DIR share/hashhost/data)
# The installed programs find these from where they are themselves.
file(RELATIVE_PATH dataFromLibrary /prefix/${PIGMORA_INSTALL_LIBRARY_DIR} /prefix/${PIGMORA_INSTALL_DATA_DIR})
target_compile_definitions(Plugin PRIVATE PIGMORA_INSTALLED_DATA_FROM_LIBRARY="${dataFromLibrary}")
target_compile_definitions(hashhost PRIVATE PIGMORA_INSTALLED_PLUGIN_DIR="${PIGMORA_INSTALL_PLUGIN_DIR}")

set_target_properties(hashhost pigmora-peer fbxinfo fbxconvert PROPERTIES INSTALL_RPATH "$ORIGIN/../${PIGMORA_INSTALL_LIBRARY_DIR}")
set_target_properties(FileIO Plugin afx fbxsdk PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS hashhost pigmora-peer fbxinfo fbxconvert RUNTIME DESTINATION bin)
install(TARGETS FileIO Plugin afx fbxsdk LIBRARY DESTINATION ${PIGMORA_INSTALL_LIBRARY_DIR})
if(TARGET Pigmora)
  set_target_properties(Pigmora PROPERTIES INSTALL_RPATH "$ORIGIN/..")
  install(TARGETS Pigmora LIBRARY DESTINATION ${PIGMORA_INSTALL_PLUGIN_DIR})
endif()
install(FILES ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/data/sample_color.tga ${CMAKE_LIBRARY_OUTPUT_DIRECTORY}/data/sample_normal.tga
        DESTINATION ${PIGMORA_INSTALL_DATA_DIR})
install(FILES apps/hashhost/desktop/hashhost.desktop DESTINATION share/applications)
install(FILES apps/hashhost/desktop/hashhost.svg DESTINATION share/icons/hicolor/scalable/apps)
