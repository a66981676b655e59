# Writes OUTPUT, a C++ file that holds the bytes of resource files as arrays and the table of
# EmbeddedResources.h over them. Run as a script at build time:
#   cmake -DOUTPUT=file.cpp -DSOURCE_DIR=folder -DENTRIES=id=name,id=name,... -P EmbedResources.cmake
# A missing or empty file stops the build.
string(REPLACE "," ";" entries "${ENTRIES}")

set(arrays "")
set(table "")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^([0-9]+)=(.+)$")
    message(FATAL_ERROR "resource entry ${entry} is not id=name")
  endif()
  set(id ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  set(path "${SOURCE_DIR}/${name}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "resource ${id}: no file ${path}")
  endif()
  file(READ "${path}" hex HEX)
  if(hex STREQUAL "")
    message(FATAL_ERROR "resource ${id}: ${path} is empty")
  endif()
  # Sixteen bytes (32 hex digits) a line.
  string(REGEX REPLACE "(................................)" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "// ${name}\nconst uint8_t kResource${id}[] = {\n${bytes}};\n\n")
  string(APPEND table "    {${id}, kResource${id}},\n")
endforeach()

file(WRITE "${OUTPUT}"
"// Made by EmbedResources.cmake from the files of resources/ at build time; edit those.
#include \"resources/EmbeddedResources.h\"

namespace vortrel {
namespace {

${arrays}const EmbeddedResource kResources[] = {
${table}};

}  // namespace

std::span<const EmbeddedResource> EmbeddedResources() {
    return kResources;
}

}  // namespace vortrel
")
