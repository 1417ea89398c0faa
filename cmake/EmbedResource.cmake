# Writes OUTPUT, a C++ source defining the bytes of INPUT as orvenda::NAME (const char[])
# and orvenda::NAME_SIZE, so the engine carries its data without reading files.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
# Character literals, so bytes above 127 (UTF-8 text) need no narrowing.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('....',){24})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
"// Made from ${INPUT} by cmake/EmbedResource.cmake.\n"
"#include <cstddef>\n"
"namespace orvenda {\n"
"extern const char ${NAME}[];\n"
"extern const std::size_t ${NAME}_SIZE;\n"
"const char ${NAME}[] = {\n    ${bytes}0x00};\n"
"const std::size_t ${NAME}_SIZE = ${size};\n"
"} // namespace orvenda\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
