# Makes a delay-load import library from a MinGW import library:
#   cmake -DIMPORT_LIBRARY=lib<dll>.a -DOUTPUT=... -DWORK=<folder>
#         -DNM=... -DAR=... -DDLLTOOL=... -DOBJCOPY=... -P DelayLoadLibrary.cmake
#
# - The DLL's name comes from the import library (dlltool --identify).
# - Its functions are the stdcall-decorated names that have both an import
#   slot (__imp__Name@N) and a jump stub (_Name@N); data exports, which
#   cannot be delay-loaded, are left out. They go into a .def file that
#   dlltool turns into the delay-load library; -k drops the @N from the
#   name each function is looked up by, as the DLLs export them undecorated
#   (true of every function of the MinGW import libraries used here: none
#   is imported by ordinal or under another name).
# - GNU ld drops the jump stub of an import library member when only its
#   __imp_ slot is referenced (pe.em: a member with .idata$ sections and a
#   code section with relocations counts as an import thunk). For a normal
#   import that is harmless; here the slot's initial value points into the
#   stub, at the code that calls the delay-load helper, so dropping it
#   leaves a null slot and the first call jumps to address 0. The stub
#   sections are therefore made data sections named .text$delay (a section
#   named .text is code whatever its flags say): the linker keeps them, and
#   they still end up in the executable .text, after the descriptors
#   (.text$1 to .text$3, see DelayImportBounds.c).
# - Members that are not part of the import (GUIDs in libshell32.a) are
#   copied unchanged.
cmake_minimum_required(VERSION 3.20)
foreach(var IMPORT_LIBRARY OUTPUT WORK NM AR DLLTOOL OBJCOPY)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "DelayLoadLibrary.cmake: ${var} not set")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${result}):\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK} ${WORK}/static)

run(${DLLTOOL} --identify ${IMPORT_LIBRARY} --identify-strict)
string(STRIP "${out}" dll)
if(dll STREQUAL "" OR dll MATCHES "[\n ]")
  message(FATAL_ERROR "${IMPORT_LIBRARY}: not the import library of one DLL (${dll})")
endif()

# nm -A: "archive:member:value type symbol" (no value for undefined ones).
run(${NM} -A ${IMPORT_LIBRARY})
string(REPLACE ";" "\\;" out "${out}")
string(REPLACE "\n" ";" lines "${out}")
set(slots)
set(stubs)
set(import_members)
set(all_members)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^[^:]*:([^:]+):[0-9a-fA-F]* ([A-Za-z]) (.*)$")
    continue()
  endif()
  set(member ${CMAKE_MATCH_1})
  set(type ${CMAKE_MATCH_2})
  set(symbol ${CMAKE_MATCH_3})
  list(APPEND all_members ${member})
  if(type STREQUAL "I" AND symbol MATCHES "^__imp__(.+)$")
    list(APPEND slots ${CMAKE_MATCH_1})
  elseif(type STREQUAL "T" AND symbol MATCHES "^_(.+)$")
    list(APPEND stubs ${CMAKE_MATCH_1})
  endif()
  if(type STREQUAL "I" AND symbol MATCHES "^__imp_|^__head_|_iname$")
    list(APPEND import_members ${member})
  endif()
endforeach()
list(REMOVE_DUPLICATES all_members)
list(REMOVE_DUPLICATES import_members)
set(functions ${slots})
set(data ${slots})
if(stubs)
  list(REMOVE_ITEM data ${stubs})
endif()
if(data)
  list(REMOVE_ITEM functions ${data})
endif()
list(LENGTH functions count)
if(count EQUAL 0)
  message(FATAL_ERROR "${IMPORT_LIBRARY}: no functions found")
endif()
list(SORT functions)
list(JOIN functions "\n" exports)
file(WRITE ${WORK}/exports.def "LIBRARY \"${dll}\"\nEXPORTS\n${exports}\n")

get_filename_component(name ${OUTPUT} NAME_WE)
# Relative: dlltool names the members and symbols after the path.
set(delay ${name}_delay.a)
run(${DLLTOOL} --machine i386 --kill-at --input-def exports.def --output-delaylib ${delay})
run(${OBJCOPY} --rename-section .text=.text$delay,contents,alloc,load,readonly,data ${delay})

set(static_members ${all_members})
if(import_members)
  list(REMOVE_ITEM static_members ${import_members})
endif()
if(static_members)
  execute_process(COMMAND ${AR} x ${IMPORT_LIBRARY} ${static_members}
                  WORKING_DIRECTORY ${WORK}/static RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${AR} x ${IMPORT_LIBRARY} failed")
  endif()
  list(TRANSFORM static_members PREPEND ${WORK}/static/)
  run(${AR} rs ${delay} ${static_members})
endif()

file(COPY_FILE ${WORK}/${delay} ${OUTPUT})
