# Writes a file's bytes as a C++ array, for data a library must carry inside:
# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAMESPACE=ns -DNAME=name -P EmbedBytes.cmake
# gives `const unsigned char ns::name[]` and `const std::size_t ns::name_size`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 24 row)
string(REGEX REPLACE "(${row})" "\\1\n" bytes "${bytes}")
get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}" "// Made from ${input_name} by cmake/EmbedBytes.cmake.\n#include <cstddef>\n"
     "namespace ${NAMESPACE} {\nextern const unsigned char ${NAME}[];\nextern const std::size_t ${NAME}_size;\n"
     "const unsigned char ${NAME}[] = {\n${bytes}\n};\nconst std::size_t ${NAME}_size = ${byte_count};\n}\n")
