#include "web/loader.h"

#include "base/base.h"

namespace web {

namespace {

constexpr wchar_t kLoaderFileName[] = L"\\WebView2Loader.dll";

// FARPROC to a real function type; the detour through void(*)() keeps
// -Wcast-function-type quiet.
template <typename Function>
Function ExportOf(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

WebView2Loader LoadWebView2Loader() {
    // Always the full path: a bare name would let the DLL search path pick
    // up another copy.
    std::wstring path = GetExecutableDirectory() + kLoaderFileName;
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) return {};
    WebView2Loader loader;
    loader.createEnvironment =
        ExportOf<CreateCoreWebView2EnvironmentWithOptionsFunction>(module, "CreateCoreWebView2EnvironmentWithOptions");
    loader.getVersion = ExportOf<GetAvailableCoreWebView2BrowserVersionStringFunction>(
        module, "GetAvailableCoreWebView2BrowserVersionString");
    return loader;
}

}  // namespace web
