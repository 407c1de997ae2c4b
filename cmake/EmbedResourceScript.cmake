# Embeds a resource script into a module: writes a C++ file holding the text
# and the static object that registers it with the framework while the module
# is loaded. Run as: cmake -DSCRIPT=in.rc -DOUTPUT=out.cpp -P EmbedResourceScript.cmake
file(READ "${SCRIPT}" text)
string(FIND "${text}" ")afxrc\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${SCRIPT} contains the raw-string delimiter )afxrc\"")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${SCRIPT}; do not edit.\n#include <afxres.h>\n\nnamespace {\nconst char kResourceScript[] = R\"afxrc(${text})afxrc\";\nconst AfxResourceScript kResources(kResourceScript);\n}  // namespace\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
