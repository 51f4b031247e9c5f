// Which installed WebView2 runtime the program picks, without a registry.
#include "web/installed_runtime.h"

#include "test_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(InstalledRuntime, VersionRule) {
    struct Case {
        const wchar_t* text;
        bool usable;
    };
    const Case cases[] = {
        {L"131.0.2903.86", true},      {L"86.0.616.0", true},         {L"86.0.616.00", true},
        {L"86.0.615.99", false},       {L"85.9999.9999.9999", false}, {L"4294967295.0.0.0", true},
        {L"4294967296.0.0.0", false},  {L"131.0.2903", false},        {L"131.0.2903.86.1", false},
        {L"131.0.2903.86beta", false}, {L"131.0.2903.86 ", false},    {L"131..2903.86", false},
        {L"-131.0.2903.86", false},    {L"Application", false},       {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(web::IsUsableRuntimeVersion(c.text), c.usable) << c.text;

    web::RuntimeVersion version{};
    ASSERT_TRUE(web::ParseRuntimeVersion(L"131.0.2903.86", version));
    EXPECT_EQ(version, (web::RuntimeVersion{131, 0, 2903, 86}));
}

TEST(InstalledRuntime, FirstUsableRecordedFolderWins) {
    TempFolder root;
    auto makeRuntime = [&](const std::wstring& version) {
        WriteBytes(RuntimeDllFolder(root / version) + L"\\EmbeddedBrowserWebView.dll", "MZ");
        return root / version;
    };
    std::wstring usable = makeRuntime(L"131.0.2903.86");
    std::wstring tooOld = makeRuntime(L"80.0.361.48");
    std::wstring withoutDll = root / L"132.0.2957.11";
    CreateDirectoryW(withoutDll.c_str(), nullptr);

    // The machine-wide record is unusable, so the per-user one answers.
    web::InstalledRuntime chosen = web::ChooseInstalledRuntime({tooOld, usable});
    EXPECT_EQ(chosen.version, L"131.0.2903.86");
    EXPECT_EQ(chosen.dllPath, RuntimeDllFolder(usable) + L"\\EmbeddedBrowserWebView.dll");
    EXPECT_EQ(web::ChooseInstalledRuntime({withoutDll, usable + L"\\"}).version, L"131.0.2903.86");

    // Any drive, in either case: Wine maps drive Z: to the file system's root.
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    ASSERT_NE(unixName, nullptr);
    char* name = unixName(usable.c_str());
    std::wstring onZ(name, name + strlen(name));
    HeapFree(GetProcessHeap(), 0, name);
    for (const wchar_t* drive : {L"Z:", L"z:"}) {
        EXPECT_EQ(web::ChooseInstalledRuntime({drive + onZ}).version, L"131.0.2903.86") << drive + onZ;
    }

    std::wstring relative = usable.substr(usable.find(L'\\') + 1);  // no drive letter
    for (const std::vector<std::wstring>& recorded :
         {std::vector<std::wstring>{}, {relative}, {withoutDll}, {tooOld}, {root.Path()}}) {
        EXPECT_TRUE(web::ChooseInstalledRuntime(recorded).dllPath.empty()) << recorded.size();
    }
}

}  // namespace
