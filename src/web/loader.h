// WebView2Loader.dll, loaded at run time from the executable's own folder.
#pragma once

#include "web/webview2.h"

namespace web {

struct WebView2Loader {
    CreateCoreWebView2EnvironmentWithOptionsFunction createEnvironment = nullptr;
    GetAvailableCoreWebView2BrowserVersionStringFunction getVersion = nullptr;
};

// Both entry points, or null ones when the DLL or an export is missing. The
// DLL stays loaded for the rest of the process once found.
WebView2Loader LoadWebView2Loader();

}  // namespace web
