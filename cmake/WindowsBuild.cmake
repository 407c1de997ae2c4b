# The Windows build (MinGW-w64 from Debian, run under Wine): headless (FLTK and the 3D view have no
# MinGW package), zlib where libdeflate has none, GoogleTest compiled from Debian's sources, and
# the MinGW runtime DLLs copied beside the programs so that Wine finds them.
if(NOT WIN32)
  return()
endif()

# The platform libraries export their whole API (their export macros are for ELF visibility).
set(PIGMORA_WINDOWS_EXPORT_ALL "LINKER:--export-all-symbols")
# Windows wants no position-independent flag and has no ELF symbol uniqueness to turn off.
set(CMAKE_POSITION_INDEPENDENT_CODE OFF)

# Header-only libraries that Debian keeps in the Linux include folder: copied into the build so that
# the cross compiler never sees the Linux system headers beside them.
set(PIGMORA_WINDOWS_HEADERS ${CMAKE_BINARY_DIR}/windows-headers)
file(MAKE_DIRECTORY ${PIGMORA_WINDOWS_HEADERS}/stb)
file(GLOB _stb_headers /usr/include/stb/stb_image.h /usr/include/stb/stb_image_write.h)
file(COPY ${_stb_headers} DESTINATION ${PIGMORA_WINDOWS_HEADERS}/stb)
file(COPY /usr/include/tiny_obj_loader.h DESTINATION ${PIGMORA_WINDOWS_HEADERS}/tinyobj)
set(STB_IMAGE_DIR ${PIGMORA_WINDOWS_HEADERS}/stb)  # found here, not among the Linux headers

# The compiler's runtime, beside the executables and libraries.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll OUTPUT_VARIABLE _libstdcxx
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll OUTPUT_VARIABLE _libgcc
                OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(PIGMORA_WINPTHREAD_DLL libwinpthread-1.dll PATHS /usr/${PIGMORA_MINGW_TRIPLET}/lib NO_DEFAULT_PATH REQUIRED)
find_file(PIGMORA_ZLIB_DLL zlib1.dll PATHS /usr/${PIGMORA_MINGW_TRIPLET}/lib /usr/${PIGMORA_MINGW_TRIPLET}/bin
          NO_DEFAULT_PATH REQUIRED)
file(COPY ${_libstdcxx} ${_libgcc} ${PIGMORA_WINPTHREAD_DLL} ${PIGMORA_ZLIB_DLL}
     DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
