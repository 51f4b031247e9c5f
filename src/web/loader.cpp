#include "web/loader.h"

#include "base/base.h"
#include "web/installed_runtime.h"

namespace web {

namespace {

constexpr wchar_t kLoaderFileName[] = L"\\WebView2Loader.dll";

WebView2Loader currentLoader;
bool discovered = false;

WebView2Loader LoadLoaderBesideExecutable() {
    // Always the full path: a bare name would let the DLL search path pick
    // up another copy. Its own dependencies come from the system folder.
    std::wstring path = GetExecutableDirectory() + kLoaderFileName;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return {};
    WebView2Loader loader;
    loader.createEnvironment =
        ExportOf<CreateCoreWebView2EnvironmentWithOptionsFunction>(module, "CreateCoreWebView2EnvironmentWithOptions");
    loader.getVersion = ExportOf<GetAvailableCoreWebView2BrowserVersionStringFunction>(
        module, "GetAvailableCoreWebView2BrowserVersionString");
    return loader;
}

}  // namespace

WebView2Loader FindWebView2Loader() {
    WebView2Loader loader = LoadLoaderBesideExecutable();
    if (!loader.createEnvironment || !loader.getVersion) loader = LoadInstalledRuntime();
    currentLoader = loader;
    discovered = true;
    return loader;
}

WebView2Loader CurrentWebView2Loader() {
    return discovered ? currentLoader : FindWebView2Loader();
}

}  // namespace web
