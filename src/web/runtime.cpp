// WebView2 runtime detection, the help URLs and the hand-off to the browser.
#include "web/web.h"

#include "base/base.h"
#include "i18n/i18n.h"
#include "web/loader.h"

#include <deque>

namespace web {

namespace {

constexpr wchar_t kAppViewQuery[] = L"?view=app";
constexpr wchar_t kHandOffWindowClass[] = L"SlatewashBrowserHandOff";
constexpr UINT kOpenPostedUrlMessage = WM_APP;

// SHELL32 is loaded on the first hand-off, not at start-up: most runs of
// the program never open a browser.
void ShellOpen(HWND owner, const wchar_t* url) {
    using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    auto shellExecute = ExportOf<ShellExecuteFunction>(LoadSystemLibrary(L"shell32.dll"), "ShellExecuteW");
    if (shellExecute) shellExecute(owner, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
}

// Addresses posted for the browser, oldest first; main thread only.
std::deque<std::wstring> postedUrls;

LRESULT CALLBACK HandOffWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kOpenPostedUrlMessage || postedUrls.empty()) return DefWindowProcW(window, message, wParam, lParam);
    std::wstring url = std::move(postedUrls.front());
    postedUrls.pop_front();
    OpenInBrowser(nullptr, url);
    return 0;
}

// A message-only window of this thread, made on the first hand-off posted.
HWND HandOffWindow() {
    static HWND window = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = HandOffWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kHandOffWindowClass;
        RegisterClassW(&windowClass);
        return CreateWindowExW(0, kHandOffWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
    }();
    return window;
}

}  // namespace

BrowserOpener browserOpener = ShellOpen;

void OpenInBrowser(HWND owner, const std::wstring& url) {
    browserOpener(owner, url.c_str());
}

void OpenInBrowserLater(const std::wstring& url) {
    HWND window = HandOffWindow();
    postedUrls.push_back(url);
    if (!window || !PostMessageW(window, kOpenPostedUrlMessage, 0, 0)) postedUrls.pop_back();
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
