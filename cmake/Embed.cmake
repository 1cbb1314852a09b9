# Writes a C++ source that holds the bytes of each input file, named after the file:
# assets/sprites.png becomes oz::assets::sprites_png.
set(out "// Generated at build time from the files in assets/.\n#include <cstddef>\n#include <span>\n\nnamespace oz::assets {\n")
string(REPLACE "|" ";" INPUTS "${INPUTS}")
foreach(input ${INPUTS})
    get_filename_component(name ${input} NAME)
    string(MAKE_C_IDENTIFIER ${name} symbol)
    file(READ ${input} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND out "static const unsigned char ${symbol}_bytes[] = {${bytes}};\n")
    string(APPEND out "std::span<const unsigned char> ${symbol}() { return ${symbol}_bytes; }\n")
endforeach()
string(APPEND out "} // namespace oz::assets\n")
file(WRITE ${OUTPUT} "${out}")
