// WebView2 runtime detection, the help URLs and the hand-off to the browser.
#include "web/web.h"

#include "base/base.h"
#include "i18n/i18n.h"
#include "web/loader.h"

namespace web {

namespace {

constexpr wchar_t kAppViewQuery[] = L"?view=app";

// SHELL32 is loaded on the first hand-off, not at start-up: most runs of
// the program never open a browser.
void ShellOpen(HWND owner, const wchar_t* url) {
    using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    auto shellExecute = ExportOf<ShellExecuteFunction>(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteW");
    if (shellExecute) shellExecute(owner, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

BrowserOpener browserOpener = ShellOpen;

void OpenInBrowser(HWND owner, const std::wstring& url) {
    browserOpener(owner, url.c_str());
}

std::wstring GetHelpUrl(const wchar_t* topic) {
    std::wstring url = kHelpBaseUrl + GetHelpLanguageTag() + L"/";
    if (topic && *topic) {
        url += topic;
        url += L"/";
    }
    return url + kAppViewQuery;
}

std::wstring GetWebView2RuntimeVersion() {
    WebView2Loader loader = FindWebView2Loader();
    if (!loader.getVersion) return {};
    LPWSTR version = nullptr;
    if (FAILED(loader.getVersion(nullptr, &version)) || !version) return {};
    std::wstring result = version;
    CoTaskMemFree(version);
    return result;
}

}  // namespace web
