cmake_policy(SET CMP0057 NEW)
# Fails unless the program imports exactly these KnownDLLs: a statically
# imported DLL of any other name is looked for in the program's folder first,
# before the program can set a search order of its own. The C++ runtime is
# linked statically; COMCTL32, Direct2D, SHELL32 and WebView2 are loaded at
# run time.
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
set(expected advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll user32.dll)
set(imports)
foreach(line ${names})
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  list(APPEND imports ${dll})
endforeach()
list(SORT imports)
list(REMOVE_DUPLICATES imports)
if(NOT imports STREQUAL expected)
  message(FATAL_ERROR "imports ${imports}, expected exactly ${expected}")
endif()
message(STATUS "imports ${imports}")
