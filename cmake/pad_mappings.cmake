# Makes the tool's built-in pad layouts (pad_mappings.inc) from
# SDL_GameControllerDB's gamecontrollerdb.txt, as a build step:
#   cmake -DDATABASE=.../gamecontrollerdb.txt -DOUTPUT=.../pad_mappings.inc -P pad_mappings.cmake
#
# It reads nothing into the mappings: it keeps every "platform:Windows" line
# whose first field is a GUID (32 hexadecimal digits), drops the name and
# the elements of roles the tool does not use (which input/pad_layout.cpp
# ignores in a player's line too), writes each role the tool uses as one
# letter ('A' for the first role of the list below, 'B' for the second,
# ...), writes the GUID as its 16 bytes, and keeps each remaining list of
# elements once. The tool reads these lists with the parser that reads a
# player's own lines, which takes a role's letter for its name, so both
# mean the same.
cmake_minimum_required(VERSION 3.16)

# The roles input/pad_layout.cpp reads, in its order (PadRole,
# PadMappingRoles), with and without the + or - of a half axis.
set(used_roles a b x y leftshoulder rightshoulder lefttrigger righttrigger back start
    leftstick rightstick guide dpup dpdown dpleft dpright leftx lefty rightx righty)

# A GUID: 32 hexadecimal digits.
string(REPEAT "[0-9a-fA-F]" 32 hex32)
file(STRINGS "${DATABASE}" lines REGEX "platform:Windows")
set(bodies "")
set(body_offset 0)
set(entries "")
set(count 0)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^(${hex32}),[^,]*,(.*)$")
    continue()
  endif()
  set(guid "${CMAKE_MATCH_1}")
  string(REPLACE "," ";" elements "${CMAKE_MATCH_2}")
  set(body "")
  foreach(element IN LISTS elements)
    if(element MATCHES "^([+-]?)([a-z]+):(.*)$")
      list(FIND used_roles "${CMAKE_MATCH_2}" used)
      if(NOT used EQUAL -1)
        math(EXPR letter "65 + ${used}")
        string(ASCII ${letter} letter)
        string(APPEND body "${CMAKE_MATCH_1}${letter}:${CMAKE_MATCH_3},")
      endif()
    endif()
  endforeach()
  string(MD5 key "${body}")
  if(NOT DEFINED offset_${key})
    set(offset_${key} ${body_offset})
    string(APPEND bodies "  \"${body}\\0\"\n")
    string(LENGTH "${body}" length)
    math(EXPR body_offset "${body_offset} + ${length} + 1")
  endif()
  string(REGEX REPLACE "(..)" "0x\\1," bytes "${guid}")
  string(APPEND entries "  { { ${bytes} }, ${offset_${key}} },\n")
  math(EXPR count "${count} + 1")
endforeach()

if(body_offset GREATER 65535)
  message(FATAL_ERROR "the mappings' elements no longer fit 16-bit offsets")
endif()
file(WRITE "${OUTPUT}.tmp"
"// Made by cmake/pad_mappings.cmake from third_party/SDL_GameControllerDB/gamecontrollerdb.txt
// at build time: replace that file to update. ${count} lines for Windows.
// Each line's elements, kept once: the roles the tool uses, each as its letter.
static const char PadMappingElements[] =
${bodies};
static const BuiltInPadMapping BuiltInPadMappings[] = {
${entries}};
")
# Rewritten only when it changed, so that nothing is rebuilt in vain.
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
