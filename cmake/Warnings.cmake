# Warnings are on everywhere in our own code. They are errors only when PIGMORA_WERROR asks (scripts/ and CI
# turn it on), so that a user's build with another compiler or build type never stops on a new warning.
option(PIGMORA_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic -Wno-unused-parameter)
if(PIGMORA_WERROR)
  add_compile_options(-Werror)
endif()

# GCC 12 reports -Wrestrict inside libstdc++'s inlined std::string code at -O3 (GCC bug 105651), a false
# positive the code cannot avoid; the check stays on for every other compiler and optimisation level.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options($<$<AND:$<COMPILE_LANGUAGE:CXX>,$<CONFIG:Release>>:-Wno-restrict>)
endif()

if(PIGMORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build gives libFuzzer coverage of every library the fuzz targets link.
if(PIGMORA_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Shared libraries and plug-ins really unload on dlclose, so the host sees
# static constructors and destructors run exactly once per load.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32)
  add_compile_options(-fno-gnu-unique)
endif()
