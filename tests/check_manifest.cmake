# Fails unless the manifest built into the program asks Windows for what the
# window relies on: per-monitor awareness, version 2 first (without it,
# Windows stretches the window's pixels on a monitor of another scale, and
# leaves its frame and common controls unscaled), the older systems' form of
# it, and Common Controls 6 (the controls in the current visual style).
file(STRINGS ${PROGRAM} lines REGEX "dpiAware|Common-Controls|publicKeyToken")
string(JOIN "\n" manifest ${lines})
foreach(wanted
    "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"
    "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"
    "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""
    "publicKeyToken=\"6595b64144ccf1df\"")
  string(FIND "${manifest}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the program's manifest lacks ${wanted}")
  endif()
endforeach()
message(STATUS "the manifest asks for per-monitor awareness (v2) and Common Controls 6")
