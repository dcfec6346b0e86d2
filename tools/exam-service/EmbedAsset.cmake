# Turns one asset file into a header holding its bytes as a std::string_view.
# Called at build time with -DINPUT=file -DOUTPUT=header -DNAME=identifier.
# Every byte is written as a \x escape, so no content can end the literal early.

file(READ "${INPUT}" content HEX)
string(LENGTH "${content}" hex_length)
math(EXPR size "${hex_length} / 2")
set(lines "")
set(offset 0)
while(offset LESS hex_length)
    string(SUBSTRING "${content}" ${offset} 64 chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" chunk "${chunk}")
    string(APPEND lines "    \"${chunk}\"\n")
    math(EXPR offset "${offset} + 64")
endwhile()
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
"// Generated from ${source_name} at build time; edit the asset, not this file.
#pragma once

#include <string_view>

namespace tessaro::assets {

inline constexpr std::string_view ${NAME}{
    \"\"
${lines}    \"\", ${size}};

}
")
