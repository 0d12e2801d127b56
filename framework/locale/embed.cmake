# Writes OUTPUT, a C++ source that holds the bytes of INPUT as framework::embedded::SYMBOL.
# Run with: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P embed.cmake
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <cstddef>\n#include <string_view>\n"
  "namespace framework::embedded {\n"
  "namespace {\nconstexpr char data[] = {${bytes}};\n}\n"
  "extern const std::string_view ${SYMBOL}(data, ${size});\n"
  "}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
