# `cpack -G DEB` (scripts/package.sh) makes a Debian package of the installed tree, under /usr.
# The runtime dependencies come from the binaries themselves (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pigmora-applink)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pigmora applink developers")
set(CPACK_PACKAGE_CONTACT "Pigmora applink developers <applink@pigmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Pigmora applink for Hash Animator, with a stand-in host and peer")
# CPack puts the summary above this as the description's first line. One string whose lines
# are the description's: a CMake list of several would be joined with ";", which would begin
# the lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pigmora.hxt is a command plug-in for the 3D animation host Hash Animator:
it sends the model a user works on to Pigmora, a 3D painting and sculpting
application, and brings the painted model back. This package holds the
plug-in, the stand-in host hashhost that loads it, the stand-in peer
pigmora-peer and the FBX tools fbxinfo and fbxconvert.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what the binaries need: the dialogs' font, without which their captions are clipped.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-extra")
# The platform libraries are the package's own, found through the binaries' relative RPATHs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_STRIP_FILES ON)
# What Debian wants of every package: the copyright file and the changelog, compressed.
set(PIGMORA_DOC_DIR share/doc/${CPACK_PACKAGE_NAME})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${PIGMORA_DOC_DIR})
include(CPack)
