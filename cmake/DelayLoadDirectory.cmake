# Fills in the delay import directory of a linked image:
#   cmake -DIMAGE=TRV.EXE -DNM=... -P DelayLoadDirectory.cmake
# GNU ld leaves that data directory entry empty. The loader does not need
# it (the delay-load helper finds its descriptor through the stub), but
# whatever inspects the image does: tools that list a program's DLLs, and
# the test that checks which DLLs TRV.EXE loads only when it needs them.
# The directory is the descriptors between the two labels of
# DelayImportBounds.c, with the all-zero descriptor after them.
cmake_minimum_required(VERSION 3.20)
foreach(var IMAGE NM)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "DelayLoadDirectory.cmake: ${var} not set")
  endif()
endforeach()

execute_process(COMMAND ${NM} ${IMAGE} RESULT_VARIABLE result OUTPUT_VARIABLE symbols ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} ${IMAGE} failed: ${err}")
endif()
foreach(label start end)
  if(NOT symbols MATCHES "([0-9a-fA-F]+) [A-Za-z] _tarvo_delay_imports_${label}\n")
    message(FATAL_ERROR "${IMAGE}: _tarvo_delay_imports_${label} not found (DelayImportBounds.c not linked?)")
  endif()
  math(EXPR ${label} "0x${CMAKE_MATCH_1}")
endforeach()
math(EXPR size "${end} - ${start} + 32")
math(EXPR count "(${end} - ${start}) / 32")
math(EXPR rest "(${end} - ${start}) % 32")
if(count LESS 1 OR NOT rest EQUAL 0)
  message(FATAL_ERROR "${IMAGE}: ${count} delay import descriptors, ${rest} bytes left over")
endif()

# Little-endian numbers from the file.
function(read_number offset length var)
  file(READ ${IMAGE} hex OFFSET ${offset} LIMIT ${length} HEX)
  set(value 0)
  math(EXPR last "${length} - 1")
  foreach(i RANGE ${last} 0 -1)
    math(EXPR at "${i} * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR value "${value} * 256 + 0x${byte}")
  endforeach()
  set(${var} ${value} PARENT_SCOPE)
endfunction()

read_number(60 4 pe)
read_number(${pe} 4 signature)
math(EXPR optional "${pe} + 24")
read_number(${optional} 2 magic)
if(NOT signature EQUAL 0x4550 OR NOT magic EQUAL 0x10b)
  message(FATAL_ERROR "${IMAGE}: not a 32-bit PE image")
endif()
math(EXPR at "${optional} + 28")
read_number(${at} 4 image_base)
math(EXPR at "${optional} + 92")
read_number(${at} 4 directories)
if(directories LESS 14)
  message(FATAL_ERROR "${IMAGE}: no room for the delay import directory")
endif()
math(EXPR rva "${start} - ${image_base}")
math(EXPR entry "${optional} + 96 + 13 * 8")

# CMake writes no binary files: printf makes the eight bytes, dd puts them
# in place.
set(bytes "")
foreach(value ${rva} ${size})
  foreach(i RANGE 0 3)
    math(EXPR byte "(${value} >> (${i} * 8)) & 255" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" byte "${byte}")
    string(APPEND bytes "\\x${byte}")
  endforeach()
endforeach()
execute_process(COMMAND printf "${bytes}"
                COMMAND dd of=${IMAGE} bs=1 seek=${entry} conv=notrunc status=none
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "writing the delay import directory of ${IMAGE} failed")
endif()
