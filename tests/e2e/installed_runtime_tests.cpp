// The real program without WebView2Lo.dll beside it, finding the WebView2
// runtime that the installer recorded in the registry (here, the fake
// runtime DLL laid out as an installed runtime folder).
#include "program_fixture.h"

#include "base/base.h"
#include "test_folder.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr wchar_t kClientStateKey[] =
    L"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";
constexpr wchar_t kHelpBase[] = L"https://www.korvenda.com/slatewash/help/en/";
constexpr wchar_t kInstalledStatus[] = L"Help viewer (WebView2): Installed (131.0.2903.86)";

// The runtime folder recorded machine-wide (through the 32-bit view, as the
// installer writes it) or for the current user, for the scope.
struct RecordedRuntimeFolder : ScopedRegistryValue {
    explicit RecordedRuntimeFolder(const std::wstring& folder, HKEY root = HKEY_LOCAL_MACHINE)
        : ScopedRegistryValue(root, kClientStateKey, L"EBWebView", folder,
                              root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0) {}
};

class InstalledRuntimeTest : public ProgramFixture {
protected:
    // A runtime folder named `version` holding the fake runtime DLL and the
    // DLL it imports.
    std::wstring LayOutRuntime(const std::wstring& version) {
        std::wstring folder = runtimes_ / version;
        std::wstring dllFolder = RuntimeDllFolder(folder);
        for (const wchar_t* dll : {L"\\EmbeddedBrowserWebView.dll", L"\\runtime_part.dll"}) {
            std::wstring fake = GetExecutableDirectory() + L"\\fake-runtime" + dll;
            EXPECT_TRUE(CopyFileW(fake.c_str(), (dllFolder + dll).c_str(), FALSE));
        }
        return folder;
    }

    std::wstring program_ = ProgramFolder(L"e2e-narrow");  // no WebView2Loader.dll here
    TempFolder runtimes_;
};

TEST_F(InstalledRuntimeTest, RecordedRuntimeGivesTheHelpViewWithoutTheLoaderDll) {
    ASSERT_FALSE(FileExists(program_ + L"\\WebView2Loader.dll"));
    RecordedRuntimeFolder record(LayOutRuntime(L"131.0.2903.86"));
    ASSERT_TRUE(record.Written());

    RunningProgram program(program_, appData_.Path());
    HWND window = program.WaitForWindow();
    EXPECT_EQ(OuterSize(window).cx, 1225);
    EXPECT_EQ(WindowText(Control(window, IDC_WEBVIEW2_STATUS)), kInstalledStatus);

    // The fake's view shows the URL it was last told to navigate to.
    HWND view = nullptr;
    Await(
        [&] {
            view = FindWindowExW(window, nullptr, L"FakeWebView2", nullptr);
            return view && WindowText(view) == std::wstring(kHelpBase) + L"overview/?view=app";
        },
        10000, "the help view up through the installed runtime, on the overview page");

    Click(window, 3001);  // the language help button
    PumpUntil([&] { return WindowText(view) != std::wstring(kHelpBase) + L"overview/?view=app"; }, 5000);
    EXPECT_EQ(WindowText(view), std::wstring(kHelpBase) + L"language/?view=app");

    EXPECT_EQ(program.Close(window), 0u);
}

// The machine-wide record counts over the user's own, also beside a loader
// DLL without the version export; an unusable one gives the narrow window.
TEST_F(InstalledRuntimeTest, TheRecordedRuntimeDecidesTheWindow) {
    const struct {
        const char* what;
        const wchar_t *machine, *user, *programFolder;
        LONG width;
        const wchar_t* status;
    } cases[] = {
        {"machine-wide and the user's own", L"131.0.2903.86", L"132.0.2957.140", L"e2e-narrow", 1225, kInstalledStatus},
        {"a loader without the version export", L"131.0.2903.86", nullptr, L"e2e-broken-loader", 1225,
         kInstalledStatus},
        {"older than the first stable runtime", L"80.0.361.48", nullptr, L"e2e-narrow", 685,
         L"Help viewer (WebView2): Not installed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedRuntimeFolder machine(LayOutRuntime(c.machine));
        std::optional<RecordedRuntimeFolder> user;
        if (c.user) user.emplace(LayOutRuntime(c.user), HKEY_CURRENT_USER);
        ASSERT_TRUE(machine.Written() && (!user || user->Written()));
        RunningProgram program(ProgramFolder(c.programFolder), appData_.Path());
        HWND window = program.WaitForWindow();
        EXPECT_EQ(OuterSize(window).cx, c.width);
        EXPECT_EQ(WindowText(Control(window, IDC_WEBVIEW2_STATUS)), c.status);
        EXPECT_EQ(program.Close(window), 0u);
    }
}

}  // namespace
