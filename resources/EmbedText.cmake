# Writes a C++ source that holds the bytes of INPUT and defines `std::string_view FUNCTION()`.
# Run at build time, so an edit of the text rebuilds the program.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
       bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.\n#include <string_view>\n\nnamespace {\nconst unsigned char kBytes[] = {\n${bytes}0};\n}  // namespace\n\nstd::string_view ${FUNCTION}() {\n  return {reinterpret_cast<const char*>(kBytes), ${size}};\n}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
