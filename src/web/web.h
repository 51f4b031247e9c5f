// The help viewer: help pages of the maker's site in an embedded WebView2
// view, confined to the help section, and the WebView2 runtime detection.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace web {

// The maker's site: the home page opened from the version page, and the
// help section below it.
constexpr wchar_t kMakerSiteUrl[] = L"https://www.korvenda.com/";
constexpr wchar_t kHelpBaseUrl[] = L"https://www.korvenda.com/slatewash/help/";
// Microsoft's public WebView2 download page, shown in the browser; the user
// picks the runtime installer there (a direct installer link would start a
// download without showing any page).
constexpr wchar_t kWebView2DownloadUrl[] = L"https://developer.microsoft.com/microsoft-edge/webview2/";
constexpr wchar_t kOverviewTopic[] = L"overview";

using NavigatedCallback = void (*)(bool succeeded);

class PageView {
public:
    struct State;

    PageView();
    ~PageView();
    PageView(const PageView&) = delete;
    PageView& operator=(const PageView&) = delete;

    // Starts the asynchronous creation of the view; returns before it exists.
    void Start(HWND parent, const RECT& bounds, std::wstring url, NavigatedCallback onNavigated);
    // Shows another page, now or as soon as the view exists.
    void Navigate(std::wstring url);
    // Tells the view that the parent window moved, so that its pop-ups, IME
    // windows and accessibility rectangles follow.
    void ParentMoved();
    // Closes the view for good.
    void Stop();

private:
    std::shared_ptr<State> state_;
};

bool IsWebUrl(const std::wstring& uri);
std::wstring GetHelpUrl(const wchar_t* topic);

// The installed runtime's version, or empty when there is none.
std::wstring GetWebView2RuntimeVersion();

// Hands a URL to the default browser. Every hand-off goes through
// `browserOpener` (ShellExecuteW "open"), which tests may replace.
using BrowserOpener = void (*)(HWND owner, const wchar_t* url);
extern BrowserOpener browserOpener;
void OpenInBrowser(HWND owner, const std::wstring& url);
// The same hand-off, made once the caller has returned to the message loop:
// for event handlers of the view, inside which nothing may pump messages
// (the shell may, and may show a dialog).
void OpenInBrowserLater(const std::wstring& url);

}  // namespace web
