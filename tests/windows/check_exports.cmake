# cmake -DOBJDUMP=... -DBINARY=VfdaDrv.dll -P check_exports.cmake
# Passes when the DLL's export table holds exactly one name, DrvFuncTable, and its address
# lies in a data section (.data or .bss), not in code.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${BINARY} failed")
endif()

# The names follow "[Ordinal/Name Pointer] Table", one a line ("\t[   0] DrvFuncTable"), up to
# an empty line.
string(FIND "${dump}" "[Ordinal/Name Pointer] Table\n" at)
if(at LESS 0)
    message(FATAL_ERROR "no export names in ${BINARY}\n${dump}")
endif()
string(SUBSTRING "${dump}" ${at} -1 table)
string(FIND "${table}" "\n\n" end)
string(SUBSTRING "${table}" 0 ${end} table)
string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\][^\n]*" entries "${table}")
set(names "")
foreach(entry IN LISTS entries)
    string(REGEX REPLACE ".* ([^ ]+)$" "\\1" name "${entry}")
    list(APPEND names ${name})
endforeach()
if(NOT names STREQUAL "DrvFuncTable")
    message(FATAL_ERROR "exported names: '${names}', wanted exactly DrvFuncTable\n${dump}")
endif()

# Export Address Table -- Ordinal Base 1
#	[   0] +base[   1] 2040 Export RVA
string(REGEX MATCH "Export Address Table[^\n]*\n[^\n]*\\][ \t]+([0-9a-fA-F]+) Export RVA" found
       "${dump}")
if(NOT found)
    message(FATAL_ERROR "no export address found\n${dump}")
endif()
set(rva 0x${CMAKE_MATCH_1})
string(REGEX MATCH "ImageBase[ \t]+([0-9a-fA-F]+)" found "${dump}")
set(base 0x${CMAKE_MATCH_1})

execute_process(COMMAND ${OBJDUMP} -h ${BINARY} OUTPUT_VARIABLE sections)
# "  3 .data         00000020  0000000068e46000  0000000068e46000  ..." : name, size, VMA.
string(REGEX MATCHALL "\n +[0-9]+ [^ ]+ +[0-9a-fA-F]+ +[0-9a-fA-F]+" rows "${sections}")
set(home "")
foreach(row IN LISTS rows)
    string(REGEX MATCH "[0-9]+ ([^ ]+) +([0-9a-fA-F]+) +([0-9a-fA-F]+)" parts "${row}")
    set(section ${CMAKE_MATCH_1})
    math(EXPR begin "0x${CMAKE_MATCH_3} - ${base}")
    math(EXPR end "${begin} + 0x${CMAKE_MATCH_2}")
    math(EXPR rva_value "${rva}")
    if(rva_value GREATER_EQUAL begin AND rva_value LESS end)
        set(home ${section})
    endif()
endforeach()
if(NOT home MATCHES "^\\.(data|bss)$")
    message(FATAL_ERROR "DrvFuncTable lies in '${home}', not in a data section\n${sections}")
endif()
message(STATUS "DrvFuncTable is the only export, in ${home}")
