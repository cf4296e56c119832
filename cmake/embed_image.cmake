# Turns the committed content image into a C++ source holding its bytes and
# one trailing zero byte. Runs in script mode so cross builds need no host tool.
#   cmake -DINPUT=<image> -DOUTPUT=<cpp> -P embed_image.cmake
file(SIZE "${INPUT}" size)
if(NOT size EQUAL 435601)
  message(FATAL_ERROR "content image ${INPUT} has ${size} bytes, expected 435601")
endif()
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from the content image at build time. Do not edit.\n"
  "#include <cstdint>\n"
  "namespace korvale {\n"
  "extern const std::uint8_t embeddedImageBytes[];\n"
  "alignas(16) const std::uint8_t embeddedImageBytes[435602] = {\n${bytes}0x00};\n"
  "}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
