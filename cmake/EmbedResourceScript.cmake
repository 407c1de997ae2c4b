# Embeds a resource script into a module: writes a C++ file holding the text
# and the static object that registers it with the framework while the module
# is loaded. The identifiers that the HEADERS define (#define ID... number)
# and their quoted texts (#define NAME "text") are replaced by their values,
# as a resource compiler does for the script's #include lines. Run as:
#   cmake -DSCRIPT=in.rc [-DHEADERS=a.h|b.h] -DOUTPUT=out.cpp -P EmbedResourceScript.cmake
file(READ "${SCRIPT}" text)
string(REPLACE "|" ";" HEADERS "${HEADERS}")
foreach(header IN LISTS HEADERS)
  file(STRINGS "${header}" defines REGEX "^#define[ \t]+ID[A-Z0-9_]+[ \t]+[0-9]+[ \t]*$")
  foreach(define IN LISTS defines)
    string(REGEX REPLACE "^#define[ \t]+(ID[A-Z0-9_]+)[ \t]+([0-9]+).*$" "\\1;\\2" pair "${define}")
    list(GET pair 0 name)
    list(GET pair 1 value)
    string(REGEX REPLACE "([^A-Za-z0-9_])${name}([^A-Za-z0-9_])" "\\1${value}\\2" text "${text}")
  endforeach()
  # Texts hold no quote, backslash or semicolon (a CMake list would split there).
  file(STRINGS "${header}" texts REGEX "^#define[ \t]+[A-Z][A-Z0-9_]*[ \t]+\"[^\"\\;]*\"[ \t]*$")
  foreach(define IN LISTS texts)
    string(REGEX REPLACE "^#define[ \t]+([A-Z][A-Z0-9_]*)[ \t]+(\"[^\"]*\").*$" "\\1" name "${define}")
    string(REGEX REPLACE "^#define[ \t]+([A-Z][A-Z0-9_]*)[ \t]+(\"[^\"]*\").*$" "\\2" value "${define}")
    string(REGEX REPLACE "([^A-Za-z0-9_])${name}([^A-Za-z0-9_])" "\\1${value}\\2" text "${text}")
  endforeach()
endforeach()
string(FIND "${text}" ")afxrc\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${SCRIPT} contains the raw-string delimiter )afxrc\"")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${SCRIPT}; do not edit.\n#include <afxres.h>\n\nnamespace {\nconst char kResourceScript[] = R\"afxrc(${text})afxrc\";\nconst AfxResourceScript kResources(kResourceScript);\n}  // namespace\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
