# Writes a C++ source that holds a file's bytes: cmake -DINPUT=f -DOUTPUT=f.cpp -DNAME=n -P embed.cmake
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "#include <cstddef>\nextern const unsigned char ${NAME}[] = {\n${bytes}};\nextern const std::size_t ${NAME}Size = sizeof(${NAME});\n")
