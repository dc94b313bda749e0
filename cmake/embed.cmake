# Writes the bytes of INPUT as a C++ array named NAME into OUTPUT (cmake -P).
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}" "// Made from ${INPUT} by cmake/embed.cmake.\n#include <cstddef>\n\n"
  "extern const unsigned char ${NAME}[] = {\n    ${bytes}\n};\nextern const std::size_t ${NAME}Size = ${size};\n")
