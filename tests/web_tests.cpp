// The help view against the fake WebView2 runtime beside this executable.
#include "web/web.h"

#include "base/base.h"
#include "fake_webview2/fake_webview2.h"
#include "i18n/i18n.h"
#include "settings/settings.h"
#include "time_scale.h"
#include "web/webview2.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr RECT kBounds = {675, 10, 1205, 580};
const std::wstring kStartUrl = std::wstring(web::kHelpBaseUrl) + L"en/overview/?view=app";
const std::wstring kOtherHelpUrl = std::wstring(web::kHelpBaseUrl) + L"ja/tabs/?view=app#x";

std::vector<bool> navigations;
std::vector<std::wstring> browserOpens;

void RecordNavigation(bool succeeded) {
    navigations.push_back(succeeded);
}

void RecordBrowserOpen(HWND, const wchar_t* url) {
    browserOpens.push_back(url);
}

template <typename Function>
Function FakeExport(const char* name) {
    static HMODULE fake = LoadLibraryW((GetExecutableDirectory() + L"\\WebView2Loader.dll").c_str());
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(fake, name)));
}

int LineCount(const std::string& log, const std::string& line) {
    int count = 0;
    for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) {
        if ((at == 0 || log[at - 1] == '\n') && (at + line.size() == log.size() || log[at + line.size()] == '\n'))
            ++count;
    }
    return count;
}

class HelpViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(reset_, nullptr) << "the fake WebView2Loader.dll is missing";
        reset_(0);
        navigations.clear();
        browserOpens.clear();
        web::browserOpener = RecordBrowserOpen;
        parent_ = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 1225, 690, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(parent_, nullptr);
    }

    void TearDown() override {
        DestroyWindow(parent_);
        Pump();
        EXPECT_EQ(liveObjects_(), 0) << Log();
        EXPECT_EQ(heldHandlers_(), 0) << Log();
        EXPECT_EQ(errors_(), 0) << Log();
    }

    // Runs the message loop until the fake has no pending creation step.
    void Pump() { EXPECT_TRUE(PumpUntil([&] { return pending_() == 0; }, 1000)) << "creation steps never completed"; }

    // A view that has come up; `reset` fails steps on request first.
    void StartView(web::PageView& view, unsigned failures = 0) {
        reset_(failures);
        view.Start(parent_, kBounds, kStartUrl, RecordNavigation);
        Pump();
    }

    std::string Log() const { return fakeLog_(); }

    // What the browser was handed for the events just fired: nothing inside
    // their handlers (the shell may pump messages there), then, once the
    // message loop runs, what they asked for. Forgotten afterwards.
    std::vector<std::wstring> OpensAfterTheEvents() {
        EXPECT_TRUE(browserOpens.empty()) << "opened inside the event";
        PumpUntil([] { return !browserOpens.empty(); }, 100);
        return std::exchange(browserOpens, {});
    }

    HWND parent_ = nullptr;
    FakeResetFunction reset_ = FakeExport<FakeResetFunction>("FakeWebView2_Reset");
    FakeLogFunction fakeLog_ = FakeExport<FakeLogFunction>("FakeWebView2_Log");
    FakeCountFunction liveObjects_ = FakeExport<FakeCountFunction>("FakeWebView2_LiveObjects");
    FakeCountFunction heldHandlers_ = FakeExport<FakeCountFunction>("FakeWebView2_HeldHandlers");
    FakeCountFunction errors_ = FakeExport<FakeCountFunction>("FakeWebView2_Errors");
    FakeCountFunction pending_ = FakeExport<FakeCountFunction>("FakeWebView2_PendingSteps");
    FakeFireFunction fireStarting_ = FakeExport<FakeFireFunction>("FakeWebView2_FireNavigationStarting");
    FakeFireFunction fireNewWindow_ = FakeExport<FakeFireFunction>("FakeWebView2_FireNewWindowRequested");
    FakeFireFunction fireResource_ = FakeExport<FakeFireFunction>("FakeWebView2_FireWebResourceRequested");
    FakeFireCompletedFunction fireCompleted_ = FakeExport<FakeFireCompletedFunction>("FakeWebView2_FireNavigationCompleted");
};

// What the view is set up with; the one order that matters is every handler
// registered before the first page is asked for.
TEST_F(HelpViewTest, StartConfiguresRegistersAndThenNavigates) {
    {
        web::PageView view;
        StartView(view);
        std::string log = Log();
        for (const char* step : {"CreateCoreWebView2EnvironmentWithOptions browser=null data=", "put_IsVisible 1",
                                 "put_Bounds 675,10,1205,580", "put_AreDevToolsEnabled 0", "put_IsStatusBarEnabled 0",
                                 "AddWebResourceRequestedFilter https://www.korvenda.com/slatewash/help/* 0",
                                 "\\Korvenda\\Slatewash\\WebView2Data options=null"}) {
            EXPECT_NE(log.find(step), std::string::npos) << step << " missing in\n" << log;
        }
        size_t navigate = log.find("Navigate https://www.korvenda.com/slatewash/help/en/overview/?view=app");
        for (const char* handler : {"add_NavigationCompleted", "add_NavigationStarting", "add_NewWindowRequested",
                                    "add_WebResourceRequested"}) {
            EXPECT_LT(log.find(handler), navigate) << handler << " after the first Navigate in\n" << log;
        }
        EXPECT_NE(navigate, std::string::npos);
        EXPECT_TRUE(navigations.empty());
        EXPECT_EQ(fireCompleted_(1), 0);
        EXPECT_EQ(fireCompleted_(0), 0);
        EXPECT_EQ(navigations, (std::vector<bool>{true, false}));
        view.Stop();
        log = Log();
        EXPECT_EQ(LineCount(log, "Close"), 1);
        EXPECT_NE(log.find("RemoveWebResourceRequestedFilter https://www.korvenda.com/slatewash/help/* 0"),
                  std::string::npos);
        view.Stop();  // a second Stop finds nothing to do
        EXPECT_EQ(LineCount(Log(), "Close"), 1);
        EXPECT_EQ(fireCompleted_(1), -1) << "handlers are gone after Stop";
    }
    EXPECT_EQ(navigations.size(), 2u);
}

// The runtime's processes can end: a render process is reloaded, and an
// ended browser gets a new view on the same bounds, showing the page it
// showed and taking the next help topic. A window gets three recoveries; a
// stopped view hears nothing.
TEST_F(HelpViewTest, EndedProcessesAreRecoveredThreeTimesAtMost) {
    auto fireFailed = FakeExport<FakeFireCompletedFunction>("FakeWebView2_FireProcessFailed");
    web::PageView view;
    StartView(view);
    view.Navigate(kOtherHelpUrl);
    reset_(0);
    EXPECT_EQ(fireFailed(1), 0);
    EXPECT_EQ(fireFailed(2), 0);
    EXPECT_EQ(fireFailed(7), 0) << "a kind that asks nothing of the host";
    EXPECT_EQ(LineCount(Log(), "Reload"), 2);

    EXPECT_EQ(fireFailed(0), 0);
    Pump();
    std::string log = Log();
    EXPECT_EQ(LineCount(log, "Close"), 1) << log;
    EXPECT_EQ(LineCount(log, "CreateCoreWebView2Controller"), 1) << log;
    EXPECT_EQ(LineCount(log, "put_Bounds 675,10,1205,580"), 1) << log;
    EXPECT_EQ(LineCount(log, "Navigate https://www.korvenda.com/slatewash/help/ja/tabs/?view=app#x"), 1) << log;
    view.Navigate(kStartUrl);
    EXPECT_EQ(LineCount(Log(), "Navigate https://www.korvenda.com/slatewash/help/en/overview/?view=app"), 1);

    EXPECT_EQ(fireFailed(0), 0);
    Pump();
    EXPECT_EQ(LineCount(Log(), "CreateCoreWebView2Controller"), 1) << "a fourth failure creates nothing";
    EXPECT_EQ(LineCount(Log(), "Reload"), 2);
    view.Stop();
    EXPECT_EQ(fireFailed(0), -1);
}

TEST_F(HelpViewTest, PageEventsStayInsideHelpOrGoToTheBrowser) {
    web::PageView view;
    StartView(view);
    const struct {
        const wchar_t* uri;
        int userInitiated;
        int cancelled;
        bool opensBrowser;
    } cases[] = {
        {L"https://www.korvenda.com/slatewash/help/ja/tabs/?view=app", 1, 0, false},
        {L"HTTPS://WWW.KORVENDA.COM/SLATEWASH/HELP/en/", 0, 0, false},  // prefix ignores ASCII case
        {L"https://www.korvenda.com/slatewash/help", 1, 1, true},       // shorter than the prefix
        {L"https://www.korvenda.com/slatewash/blog/", 1, 1, true},
        {L"http://example.org/", 1, 1, true},
        {L"https://example.org/", 0, 1, false},  // a script, not the user
        {L"mailto:someone@example.org", 1, 1, false},
        {L"file:///C:/Windows/", 1, 1, false},
    };
    for (const auto& c : cases) {
        browserOpens.clear();
        EXPECT_EQ(fireStarting_(c.uri, c.userInitiated), c.cancelled) << testing::PrintToString(std::wstring(c.uri));
        EXPECT_EQ(OpensAfterTheEvents(), c.opensBrowser ? std::vector<std::wstring>{c.uri} : std::vector<std::wstring>{});
    }

    // A new window is never opened: a help page shows in the view, another
    // page the user asked for in the browser.
    browserOpens.clear();
    EXPECT_EQ(fireNewWindow_(kOtherHelpUrl.c_str(), 0), 1);
    EXPECT_EQ(LineCount(Log(), "Navigate https://www.korvenda.com/slatewash/help/ja/tabs/?view=app#x"), 1);
    EXPECT_TRUE(OpensAfterTheEvents().empty());

    EXPECT_EQ(fireNewWindow_(L"https://example.org/page", 1), 1);
    EXPECT_EQ(OpensAfterTheEvents(), (std::vector<std::wstring>{L"https://example.org/page"}));
    EXPECT_EQ(fireNewWindow_(L"https://example.org/popup", 0), 1);
    EXPECT_EQ(fireNewWindow_(L"ftp://example.org/", 1), 1);
    EXPECT_TRUE(OpensAfterTheEvents().empty());

    // Every help request, and only those, asks for a fresh copy.
    EXPECT_EQ(fireResource_(L"https://www.korvenda.com/slatewash/help/en/overview/?view=app", 0), 2);
    EXPECT_EQ(fireResource_(L"https://www.korvenda.com/slatewash/help/assets/site.css", 0), 2);
    EXPECT_EQ(LineCount(Log(), "SetHeader Cache-Control: no-cache, no-store, max-age=0"), 2);
    EXPECT_EQ(LineCount(Log(), "SetHeader Pragma: no-cache"), 2);
    EXPECT_EQ(fireResource_(L"https://cdn.example.org/lib.js", 0), -1) << "outside the filter";

    // What a failed getter hands out is not trusted: an address that could
    // not be read is neither judged nor opened, a request without headers
    // gets none, and a load of unknown outcome did not succeed.
    reset_(kFailEventGetters);
    browserOpens.clear();
    navigations.clear();
    EXPECT_EQ(fireStarting_(L"https://example.org/", 1), 0);
    EXPECT_EQ(fireNewWindow_(L"https://example.org/page", 1), 1);
    EXPECT_TRUE(OpensAfterTheEvents().empty());
    EXPECT_EQ(fireResource_(L"https://www.korvenda.com/slatewash/help/en/overview/?view=app", 0), 0);
    EXPECT_EQ(fireCompleted_(1), 0);
    EXPECT_EQ(navigations, std::vector<bool>{false});
}

TEST_F(HelpViewTest, NavigateBeforeReadyShowsTheLatestUrlAndAfterStopNothing) {
    web::PageView view;
    reset_(0);
    view.Start(parent_, kBounds, kStartUrl, RecordNavigation);
    view.Navigate(kOtherHelpUrl);
    view.Navigate(std::wstring(web::kHelpBaseUrl) + L"en/nfkc/?view=app");
    Pump();
    std::string log = Log();
    EXPECT_EQ(LineCount(log, "Navigate https://www.korvenda.com/slatewash/help/en/nfkc/?view=app"), 1) << log;
    EXPECT_EQ(log.find("Navigate https://www.korvenda.com/slatewash/help/en/overview"), std::string::npos);

    view.Navigate(kOtherHelpUrl);
    EXPECT_EQ(LineCount(Log(), "Navigate https://www.korvenda.com/slatewash/help/ja/tabs/?view=app#x"), 1);
    view.Stop();
    view.Navigate(kStartUrl);
    EXPECT_EQ(LineCount(Log(), "Navigate https://www.korvenda.com/slatewash/help/en/overview/?view=app"), 0);
}

TEST_F(HelpViewTest, AStartUrlOutsideTheHelpSectionIsItsOwnPrefix) {
    web::PageView view;
    reset_(0);
    view.Start(parent_, kBounds, L"https://www.korvenda.com/start?x=1", RecordNavigation);
    Pump();
    EXPECT_EQ(fireStarting_(L"https://www.korvenda.com/start?x=1&page=2", 1), 0);
    EXPECT_EQ(fireStarting_(kOtherHelpUrl.c_str(), 1), 1);
}

TEST_F(HelpViewTest, RestartWhileCreatingLeavesTheOldStateSilent) {
    web::PageView view;
    reset_(0);
    view.Start(parent_, kBounds, kStartUrl, RecordNavigation);
    view.Start(parent_, kBounds, kOtherHelpUrl, RecordNavigation);
    Pump();
    std::string log = Log();
    EXPECT_EQ(LineCount(log, "CreateCoreWebView2Controller"), 1) << "the closed state goes no further\n" << log;
    EXPECT_EQ(log.find("Navigate https://www.korvenda.com/slatewash/help/en/overview"), std::string::npos);
    EXPECT_EQ(LineCount(log, "Navigate https://www.korvenda.com/slatewash/help/ja/tabs/?view=app#x"), 1);
    EXPECT_TRUE(navigations.empty());
}

TEST_F(HelpViewTest, EveryFailureIsReportedOnceAndNeverAfterClose) {
    const struct {
        unsigned failures;
        const char* lastCall;
    } cases[] = {
        {kFailEnvironmentAtOnce, "CreateCoreWebView2EnvironmentWithOptions"},
        {kFailEnvironmentCompletion, "CreateCoreWebView2EnvironmentWithOptions"},
        {kFailControllerAtOnce, "CreateCoreWebView2Controller"},
        {kFailControllerCompletion, "CreateCoreWebView2Controller"},
        {kFailGetCoreWebView2, "get_CoreWebView2"},
    };
    for (const auto& c : cases) {
        navigations.clear();
        {
            web::PageView view;
            StartView(view, c.failures);
            EXPECT_EQ(navigations, std::vector<bool>{false}) << c.failures;
            std::string log = Log();
            EXPECT_NE(log.find(c.lastCall), std::string::npos) << log;
            EXPECT_EQ(log.find("Navigate"), std::string::npos) << log;
        }
        EXPECT_EQ(navigations.size(), 1u);
    }

    // Closed before the completions arrive: nothing is reported at all.
    for (unsigned failures : {0u, unsigned(kFailEnvironmentCompletion), unsigned(kFailControllerCompletion)}) {
        navigations.clear();
        web::PageView view;
        reset_(failures);
        view.Start(parent_, kBounds, kStartUrl, RecordNavigation);
        view.Stop();
        Pump();
        EXPECT_TRUE(navigations.empty()) << failures;
        EXPECT_EQ(Log().find("CreateCoreWebView2Controller"), std::string::npos);
    }
}

TEST(RuntimeDetection, VersionComesFromTheLoaderAsItIs) {
    auto reset = FakeExport<FakeResetFunction>("FakeWebView2_Reset");
    ASSERT_NE(reset, nullptr);
    reset(0);
    EXPECT_EQ(web::GetWebView2RuntimeVersion(), L"120.0.2210.91");
    reset(kFailVersion);
    EXPECT_EQ(web::GetWebView2RuntimeVersion(), L"");
    reset(kVersionNull);
    EXPECT_EQ(web::GetWebView2RuntimeVersion(), L"");
    reset(0);
}

// Run from a copy of this executable in a folder without the loader DLL.
TEST(NoRuntime, MissingLoaderMeansNoRuntimeAndAFailedStart) {
    std::wstring dll = GetExecutableDirectory() + L"\\WebView2Loader.dll";
    if (GetFileAttributesW(dll.c_str()) != INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "the loader is present here";
    EXPECT_EQ(web::GetWebView2RuntimeVersion(), L"");
    navigations.clear();
    {
        web::PageView view;
        view.Start(nullptr, kBounds, kStartUrl, RecordNavigation);
        view.Navigate(kOtherHelpUrl);
    }
    EXPECT_EQ(navigations, std::vector<bool>{false});
    EXPECT_EQ(GetModuleHandleW(L"WebView2Loader.dll"), nullptr);
}

TEST(HelpUrls, TopicsAndLanguageTag) {
    Settings saved = currentSettings;
    currentSettings.Language = L"ja_JP";
    EXPECT_EQ(web::GetHelpUrl(L"overview"), L"https://www.korvenda.com/slatewash/help/ja/overview/?view=app");
    EXPECT_EQ(web::GetHelpUrl(L""), L"https://www.korvenda.com/slatewash/help/ja/?view=app");
    EXPECT_EQ(web::GetHelpUrl(nullptr), L"https://www.korvenda.com/slatewash/help/ja/?view=app");
    currentSettings.Language = L"zh-TW";
    EXPECT_EQ(web::GetHelpUrl(L"language"), L"https://www.korvenda.com/slatewash/help/zh-tw/language/?view=app");
    currentSettings = saved;

    EXPECT_TRUE(web::IsWebUrl(L"HTTPS://x"));
    EXPECT_TRUE(web::IsWebUrl(L"http://"));
    EXPECT_FALSE(web::IsWebUrl(L"https:/"));
    EXPECT_FALSE(web::IsWebUrl(L"ftp://x"));
}

}  // namespace
