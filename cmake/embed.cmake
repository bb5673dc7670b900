# Writes a C++ source that holds files as NUL-terminated character arrays,
# for files built into a program (the page's style sheet and script):
#   cmake -DOUTPUT=out.cpp -DNAMESPACE=zoneloads::view -DARRAYS="kA=path/a|kB=path/b|kB=path/c" -P embed.cmake
# An array named more than once holds its files one after another, in the
# order given (kB: b, then c). The bytes are written as numbers, so any file
# of any size is taken as it stands, by every compiler.
set(source "// Written by cmake/embed.cmake from the files named below: do not edit.\n")
string(REPLACE "::" ";" namespaces "${NAMESPACE}")
foreach(name IN LISTS namespaces)
  string(APPEND source "namespace ${name} {\n")
endforeach()
string(REPLACE "|" ";" pairs "${ARRAYS}")
set(arrays "")
foreach(pair IN LISTS pairs)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 array)
  list(GET pair 1 file)
  file(READ "${file}" hex HEX)
  get_filename_component(shown "${file}" NAME)
  list(FIND arrays ${array} seen)
  if(seen EQUAL -1)
    list(APPEND arrays ${array})
    set(hex_${array} "")
    set(files_${array} "")
  endif()
  string(APPEND hex_${array} "${hex}")
  list(APPEND files_${array} "${shown}")
endforeach()
foreach(array IN LISTS arrays)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex_${array}}")
  # Sixteen bytes a line (CMake's expressions have no counted repeats).
  string(REPEAT "'[^']+'," 16 line)
  string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
  list(JOIN files_${array} ", " shown)
  string(APPEND source "// ${shown}\nextern const char ${array}[] = {\n${bytes}'\\0'};\n")
endforeach()
foreach(name IN LISTS namespaces)
  string(APPEND source "}\n")
endforeach()
# Rewritten only when it changes, so that a build after a configure run
# does not compile it again.
file(WRITE "${OUTPUT}.new" "${source}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
