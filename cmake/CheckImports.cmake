cmake_minimum_required(VERSION 3.25)
# cmake -DEXE=<program> -DOBJDUMP=<objdump> -DFORMAT=<pei-i386|pei-x86-64> -P CheckImports.cmake
# Fails unless the program has the expected PE format and imports only
# Windows system DLLs.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot read ${EXE}")
endif()
if(NOT dump MATCHES "file format ${FORMAT}")
  message(FATAL_ERROR "${EXE} is not ${FORMAT}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
set(system ADVAPI32 COMCTL32 COMDLG32 GDI32 KERNEL32 MSVCRT OLE32 OLEAUT32 SHELL32 SHLWAPI USER32
    WININET URLMON UXTHEME VERSION WINSPOOL.DRV)
foreach(line IN LISTS names)
  string(REGEX REPLACE "DLL Name: " "" dll "${line}")
  string(TOUPPER "${dll}" upper)
  string(REGEX REPLACE "\\.DLL$" "" base "${upper}")
  if(NOT base IN_LIST system AND NOT upper IN_LIST system)
    message(FATAL_ERROR "${EXE} imports ${dll}, which is not a Windows system DLL")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
