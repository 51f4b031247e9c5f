cmake_policy(SET CMP0057 NEW)
# Fails when the program imports anything but KnownDLLs and COMCTL32 (which
# the manifest redirects): a statically imported DLL of any other name is
# looked for in the program's folder first. The C++ runtime is linked
# statically; Direct2D, SHELL32 and WebView2 are loaded at run time.
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
set(allowed advapi32.dll kernel32.dll user32.dll gdi32.dll comctl32.dll ole32.dll msvcrt.dll)
foreach(line ${names})
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST allowed)
    message(FATAL_ERROR "unexpected import: ${dll}")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
