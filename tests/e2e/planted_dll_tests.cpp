// Windows looks for a DLL that is not a KnownDLL in the program's folder
// first. Wine looks there too when told to (load order "native,builtin"), so
// the program is run once for each DLL it loads, with a marker DLL of that
// name planted beside it: the marker must never run.
#include "program_fixture.h"

#include "base/base.h"
#include "ui/control_ids.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

namespace {

// Not planted: Windows maps each of these from the system whatever lies
// beside a program (Wine protects none of them, so planting one here would
// show nothing about Windows), and two that only Wine loads.
const wchar_t* const kKnownDlls[] = {
    // Listed under Session Manager\KnownDLLs.
    L"advapi32.dll", L"clbcatq.dll", L"combase.dll", L"comdlg32.dll", L"coml2.dll", L"gdi32.dll", L"gdiplus.dll",
    L"imagehlp.dll", L"imm32.dll", L"kernel32.dll", L"msctf.dll", L"msvcrt.dll", L"normaliz.dll", L"nsi.dll",
    L"ole32.dll", L"oleaut32.dll", L"psapi.dll", L"rpcrt4.dll", L"sechost.dll", L"setupapi.dll", L"shcore.dll",
    L"shell32.dll", L"shlwapi.dll", L"user32.dll", L"wldap32.dll", L"ws2_32.dll",
    // Mapped by the kernel before any search.
    L"ntdll.dll",
    // Dependencies of KnownDLLs, which the system maps with them.
    L"kernelbase.dll", L"win32u.dll", L"gdi32full.dll", L"ucrtbase.dll", L"msvcp_win.dll", L"bcryptprimitives.dll",
    // Static imports of Wine's user32, resolved at process start before the
    // program's first statement (WINEDEBUG=+loaddll: loaded right after
    // advapi32, before user32); Windows' user32 imports neither.
    L"version.dll", L"zlib1.dll",
};

// Whether a DLL loaded by bare name could come from the program's folder on
// Windows, and so has to be planted.
bool MustBePlanted(const std::wstring& name) {
    if (!name.ends_with(L".dll")) return false;  // the program itself; Wine's drivers (.drv)
    if (name.starts_with(L"wine")) return false;  // Wine's own, not on Windows
    if (name == L"webview2loader.dll") return false;  // the program's own, loaded by its full path
    return std::find(std::begin(kKnownDlls), std::end(kKnownDlls), name) == std::end(kKnownDlls);
}

std::set<std::wstring> LoadedModules(DWORD processId) {
    std::set<std::wstring> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return names;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry))
        names.insert(_wcslwr(entry.szModule));
    CloseHandle(snapshot);
    return names;
}

// Windows' search order for one DLL in the program's runs, for the scope.
// Wine ignores WINEDLLOVERRIDES in an environment block handed to
// CreateProcessW (measured), but reads the program's own overrides from the
// registry at every start.
struct WindowsOrderFor : ScopedRegistryValue {
    explicit WindowsOrderFor(const std::wstring& stem)
        : ScopedRegistryValue(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\SlatewashSettings.exe\\DllOverrides",
                              stem.c_str(), L"native,builtin") {}
};

class PlantedDllTest : public ProgramFixture {
protected:
    // Start, a page switch, a language rebuild and Save, as a user would;
    // returns the names of the modules loaded before Save.
    std::set<std::wstring> UseTheWindow() {
        RunningProgram program(folder_, appData_.Path());
        HWND window = program.WaitForWindow();
        SelectPage(window, 2);
        SelectPage(window, 0);
        SelectComboItem(window, IDC_LANGUAGE, ComboFind(window, IDC_LANGUAGE, L"日本語"));
        HWND rebuilt = program.WaitForWindow(15000, window);
        std::set<std::wstring> modules = LoadedModules(program.ProcessId());
        // The rebuilt window takes the front before it takes a click.
        Await([&] { return GetForegroundWindow() == rebuilt && IsWindowEnabled(rebuilt); }, 3000,
              "the rebuilt window in front and enabled");
        Click(rebuilt, IDC_SAVE);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_TRUE(FileExists(SettingsFile()));
        DeleteFileW(SettingsFile().c_str());
        return modules;
    }

    std::wstring folder_ = ProgramFolder(L"e2e-planted");
    std::wstring marker_ = ProgramFolder(L"planted-marker\\marker.dll");
};

TEST_F(PlantedDllTest, NoDllTheProgramLoadsIsTakenFromItsFolder) {
    std::set<std::wstring> modules = UseTheWindow();
    ASSERT_TRUE(modules.count(L"d2d1.dll")) << "the module list is read";
    for (const std::wstring& name : modules) {
        if (!MustBePlanted(name)) continue;
        std::printf("planted beside the program: %s\n", WideToUtf8(name).c_str());
        SCOPED_TRACE(WideToUtf8(name));
        std::wstring planted = folder_ + L"\\" + name;
        std::wstring marker = planted + L".loaded";
        DeleteFileW(marker.c_str());
        ASSERT_TRUE(CopyFileW(marker_.c_str(), planted.c_str(), FALSE));
        // Removed whatever happens, so that no later run finds them.
        std::unique_ptr<const wchar_t, BOOL(WINAPI*)(LPCWSTR)> plantedGuard(planted.c_str(), DeleteFileW);
        std::unique_ptr<const wchar_t, BOOL(WINAPI*)(LPCWSTR)> markerGuard(marker.c_str(), DeleteFileW);
        {
            WindowsOrderFor order(name.substr(0, name.size() - 4));
            ASSERT_TRUE(order.Written());
            UseTheWindow();
        }
        plantedGuard.reset();
        EXPECT_FALSE(FileExists(marker)) << "the planted copy ran inside the program";
    }
}

}  // namespace
