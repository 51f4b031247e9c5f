// WebView2 runtime detection, the help URLs and the hand-off to the browser.
#include "web/web.h"

#include "i18n/i18n.h"
#include "ui/control_ids.h"
#include "web/loader.h"

#include <shellapi.h>

#include <iterator>

namespace web {

namespace {

constexpr wchar_t kAppViewQuery[] = L"?view=app";

// Help topics of the help buttons, by control ID from IDC_HELP_FIRST on.
constexpr const wchar_t* kHelpTopics[] = {
    L"language",          L"shortcut-key",       L"play-sound",          L"start-with-windows",
    L"startup-notification", L"reset-hotkey",    L"line-breaks",         L"tabs",
    L"tab-spaces",        L"collapse-spaces",    L"trim-spaces",         L"full-width-spaces",
    L"zero-width-spaces", L"non-breaking-spaces", L"katakana-width",     L"number-width",
    L"latin-width",       L"symbol-width",       L"nfkc",                L"markdown-links",
    L"html-tags",         L"plain-text-only",    L"excel-values",
};
static_assert(std::size(kHelpTopics) == IDC_HELP_LAST - IDC_HELP_FIRST + 1);

void ShellOpen(HWND owner, const wchar_t* url) {
    ShellExecuteW(owner, L"open", url, nullptr, nullptr, SW_SHOWNORMAL);
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

const wchar_t* HelpTopicForControl(int controlId) {
    if (controlId < IDC_HELP_FIRST || controlId > IDC_HELP_LAST) return nullptr;
    return kHelpTopics[controlId - IDC_HELP_FIRST];
}

std::wstring GetWebView2RuntimeVersion() {
    WebView2Loader loader = LoadWebView2Loader();
    if (!loader.getVersion) return {};
    LPWSTR version = nullptr;
    if (FAILED(loader.getVersion(nullptr, &version)) || !version) return {};
    std::wstring result = version;
    CoTaskMemFree(version);
    return result;
}

}  // namespace web
