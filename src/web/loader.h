// The two WebView2 loader entry points: from WebView2Loader.dll beside the
// executable when it is there with both exports, otherwise from the runtime
// that the WebView2 installer recorded (installed_runtime.h). Nothing above
// this layer knows which of the two answered.
#pragma once

#include "web/webview2.h"

namespace web {

struct WebView2Loader {
    CreateCoreWebView2EnvironmentWithOptionsFunction createEnvironment = nullptr;
    GetAvailableCoreWebView2BrowserVersionStringFunction getVersion = nullptr;
};

// One discovery: both entry points, or null ones when neither the DLL nor
// an installed runtime can be had. The answer is remembered as the current
// loader, so that the help view started after it comes from the same place.
WebView2Loader FindWebView2Loader();

// The loader of the latest discovery; the first call discovers.
WebView2Loader CurrentWebView2Loader();

}  // namespace web
