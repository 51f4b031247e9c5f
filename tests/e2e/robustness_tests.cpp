// Bad files and failing disks, end to end: the program always starts with
// sane values, and a save either writes a correct file or tells the user and
// leaves the old file exactly as it was.
#include "program_fixture.h"

#include "base/base.h"
#include "i18n/text_keys.h"
#include "settings/settings.h"
#include "test_folder.h"
#include "ui/control_ids.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

// `path` held open by "another program" (this test) with `share`, from now
// until `ms` later, when the returned thread lets it go.
std::jthread HoldFile(const std::wstring& path, DWORD share, DWORD ms) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "the file could not be held";
    return std::jthread([handle, ms] { Sleep(ms), CloseHandle(handle); });
}

class RobustnessTest : public ProgramFixture {
protected:
    // A program folder of the test's own: the executable and the given
    // locale files (none: no Locales folder at all).
    std::wstring ProgramWithLocales(const std::vector<std::pair<std::wstring, std::string>>& files) {
        std::wstring folder = programs_ / (L"p" + std::to_wstring(++programCount_));
        CreateDirectoryW(folder.c_str(), nullptr);
        CopyFileW((ProgramFolder(L"e2e-narrow") + L"\\SlatewashSettings.exe").c_str(),
                  (folder + L"\\SlatewashSettings.exe").c_str(), FALSE);
        if (!files.empty()) CreateDirectoryW((folder + L"\\Locales").c_str(), nullptr);
        for (const auto& [name, bytes] : files) WriteBytes(folder + L"\\Locales\\" + name, bytes);
        return folder;
    }

    // Every choice list shows a valid item.
    static void ExpectSaneControls(HWND window) {
        EXPECT_GE(ComboSelection(window, IDC_LANGUAGE), 0);
        for (auto [id, items] : {std::pair{IDC_HOTKEY_KEY, 26}, {IDC_TAB_SPACES, 8}, {IDC_KATAKANA_WIDTH, 3},
                                 {IDC_NUMBER_WIDTH, 3}, {IDC_LATIN_WIDTH, 3}, {IDC_SYMBOL_WIDTH, 3}}) {
            int item = ComboSelection(window, id);
            EXPECT_TRUE(item >= 0 && item < items) << id << " " << item;
        }
    }

    // Save succeeds: the process ends and the file is a complete, valid layout.
    void SaveAndExpectValidFile(RunningProgram& program, HWND window) {
        Click(window, IDC_SAVE);
        ASSERT_EQ(program.WaitForExit(), 0u);
        std::string file = ReadBytes(SettingsFile());
        Settings reread;
        ApplySettingsContent(file, reread, Utf8ToWide);
        EXPECT_EQ(ComposeSettingsText(reread, WideToUtf8), file);
    }

    TempFolder programs_;
    int programCount_ = 0;
};

TEST_F(RobustnessTest, MalformedSettingsFilesStartSaneAndSaveCleanly) {
    std::mt19937 random(20261207);
    std::string noise(4096, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    std::string valid = ComposeSettingsText(Settings{}, WideToUtf8);
    std::string withNuls = valid;
    withNuls.insert(valid.find("\"HotkeyKey\""), std::string("\0\0\0", 3));
    const std::pair<const char*, std::string> files[] = {
        {"random bytes", noise},
        {"20 MiB", std::string(20 * 1024 * 1024, '7')},
        {"invalid UTF-8",
         "{\"Language\": \"\xFF\xFE\xC3\", \"HotkeyKey\": 300, \"TabSpaces\": -4, \"KatakanaWidth\": 9}"},
        {"NUL bytes", withNuls},
    };
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        WriteSettings(bytes);
        RunningProgram program(ProgramFolder(L"e2e-narrow"), appData_.Path());
        HWND window = program.WaitForWindow();
        ExpectSaneControls(window);
        SaveAndExpectValidFile(program, window);
    }
}

// Every way a save can fail: reported, the window stays, and the old file
// (or folder) is kept as it was with no temporary file beside it.
TEST_F(RobustnessTest, AFailedSaveIsReportedAndKeepsTheOldFile) {
    const std::string old = "{\"Language\": \"ja\", \"HotkeyAlt\": true}\n";
    enum Way { ReadOnly, HeldWithoutSharing, FolderInItsPlace, NoDataFolder, OverlongLocalAppData };
    const std::pair<Way, const char*> ways[] = {
        {ReadOnly, "read-only"},
        {HeldWithoutSharing, "held open without sharing"},
        {FolderInItsPlace, "a folder where the file should be"},
        {NoDataFolder, "a data folder that cannot be made"},
        {OverlongLocalAppData, "LOCALAPPDATA too long for a path"},
    };
    for (const auto& [way, what] : ways) {
        SCOPED_TRACE(what);
        std::wstring localAppData = appData_.Path();
        HANDLE holder = INVALID_HANDLE_VALUE;
        WriteSettings(old);
        if (way == ReadOnly) SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY);
        if (way == HeldWithoutSharing) {
            holder = CreateFileW(SettingsFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        }
        if (way == FolderInItsPlace) {
            DeleteFileW(SettingsFile().c_str());
            CreateDirectoryW(SettingsFile().c_str(), nullptr);
        }
        if (way == NoDataFolder) localAppData = appData_ / L"missing\\deeper";
        if (way == OverlongLocalAppData) localAppData = std::wstring(33000, L'x');
        RunningProgram program(ProgramFolder(L"e2e-narrow"), localAppData);
        HWND window = program.WaitForWindow();
        ExpectSaneControls(window);
        // A warning that belongs to the window, which stays until Cancel.
        Click(window, IDC_SAVE);
        MessageBoxSeen seen = SeeMessageBox(program, window);
        EXPECT_EQ(seen.caption, L"Slatewash") << "the failed save is reported";
        EXPECT_TRUE(seen.ownedByWindow && seen.windowWaits) << "owned, and the window waits";
        ClickBoxButton(seen.box, IDOK);
        Click(window, IDC_CANCEL);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_TRUE(paster_.Messages().empty());
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(CountFiles(DataFolder()), 1) << "no temporary file is left";
        if (way == FolderInItsPlace) {
            EXPECT_TRUE(RemoveDirectoryW(SettingsFile().c_str())) << "the folder is still there, empty";
        } else {
            EXPECT_EQ(ReadBytes(SettingsFile()), old);
        }
    }
    EXPECT_FALSE(FileExists(appData_ / L"missing"));
}

// A settings file that another program holds for a moment is waited for: a
// start while it shares no reading shows the stored values (not defaults
// that the next Save would store), and a Save while it shares no deleting
// goes through once it is let go. (Held all the time: the test above.)
TEST_F(RobustnessTest, AFileHeldForAMomentIsWaitedFor) {
    Settings stored;
    stored.HotkeyAlt = true;
    WriteSettings(ComposeSettingsText(stored, WideToUtf8));
    std::jthread held = HoldFile(SettingsFile(), 0, 700);
    RunningProgram program(ProgramFolder(L"e2e-narrow"), appData_.Path());
    HWND window = program.WaitForWindow();
    EXPECT_TRUE(IsChecked(window, IDC_HOTKEY_ALT)) << "the stored values are shown";
    held.join();

    Click(window, IDC_PLAY_SOUND);
    held = HoldFile(SettingsFile(), FILE_SHARE_READ, 250);
    Click(window, IDC_SAVE);
    EXPECT_EQ(program.WaitForExit(), 0u) << "saved, no warning";
    stored.PlaySound = true;
    EXPECT_EQ(ReadBytes(SettingsFile()), ComposeSettingsText(stored, WideToUtf8));
    EXPECT_TRUE(PumpUntil([&] { return paster_.Messages().size() == 1; }, 3000));
}

TEST_F(RobustnessTest, MissingOrBrokenLocaleFilesStillGiveAWorkingWindow) {
    std::string fullEnglish = ReadBytes(ProgramFolder(L"e2e-narrow") + L"\\Locales\\en.json");
    struct Case {
        const char* what;
        std::vector<std::pair<std::wstring, std::string>> files;
        const wchar_t* saveText;
    };
    const Case cases[] = {
        {"no Locales folder", {}, L"Save"},
        {"truncated English file", {{L"en.json", fullEnglish.substr(0, fullEnglish.find("\"Save\"") + 12)}}, L"Save"},
        {"nested English file", {{L"en.json", "{\"Nested\": {\"Save\": \"Inner\"}, \"Cancel\": \"Stop\"}"}}, nullptr},
        {"catalogue without a complete entry",
         {{L"languages.json", "[{\"code\": \"en\", \"name\": "}, {L"en.json", fullEnglish}},
         L"Save"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RunningProgram program(ProgramWithLocales(c.files), appData_.Path());
        HWND window = program.WaitForWindow();
        ExpectSaneControls(window);
        if (c.saveText) {
            EXPECT_EQ(WindowText(Control(window, IDC_SAVE)), c.saveText);
        }
        // The built-in catalogue: system, separator, English, Japanese.
        EXPECT_GE(AskControl(window, IDC_LANGUAGE, CB_GETCOUNT), 3);
        SaveAndExpectValidFile(program, window);
    }
}

// A locale whose every text is long and its own (its key, then 5000 Ms):
// every label, caption and item shows the text of its own key, whole, so a
// swapped key shows, and the window still saves.
TEST_F(RobustnessTest, EveryTextIsItsOwnKeysAndMayBeLong) {
    const std::wstring tail = L" " + std::wstring(5000, L'M');
    std::wstring locale;
    for (const wchar_t* key : TextKey::kAll)
        locale += std::wstring(locale.empty() ? L"{\"" : L",\"") + key + L"\": \"" + key + tail + L"\"";
    RunningProgram program(ProgramWithLocales({{L"en.json", WideToUtf8(locale + L"}")}}), appData_.Path());
    HWND window = program.WaitForWindow();
    auto text = [&](const wchar_t* key) { return key + tail; };
    EXPECT_EQ(WindowText(window), text(L"SettingsTitle"));
    const std::pair<int, const wchar_t*> controls[] = {
        {IDC_LANGUAGE_LABEL, L"Language"}, {IDC_HOTKEY_LABEL, L"Hotkey"}, {IDC_PLAY_SOUND, L"PlaySound"},
        {IDC_START_WITH_WINDOWS, L"StartWithWindows"}, {IDC_SHOW_STARTUP_NOTIFICATION, L"ShowStartupNotification"},
        {IDC_PERIODICALLY_RESET_HOTKEY, L"PeriodicallyResetHotkey"}, {IDC_DOWNLOAD_WEBVIEW2, L"DownloadWebView2"},
        {IDC_REPLACE_LINE_BREAKS, L"ReplaceLineBreaks"}, {IDC_REPLACE_TABS, L"ReplaceTabs"},
        {IDC_TAB_SPACES_LABEL, L"TabSpaces"}, {IDC_COLLAPSE_SPACES, L"CollapseSpaces"}, {IDC_TRIM_SPACES, L"TrimSpaces"},
        {IDC_FULL_WIDTH_SPACES, L"FullWidthSpaces"}, {IDC_ZERO_WIDTH_SPACES, L"ZeroWidthSpaces"}, {IDC_NBSP, L"Nbsp"},
        {IDC_KATAKANA_LABEL, L"Katakana"}, {IDC_NUMBERS_LABEL, L"Numbers"}, {IDC_LATIN_LABEL, L"LatinLetters"},
        {IDC_SYMBOLS_LABEL, L"Symbols"}, {IDC_NORMALIZE_NFKC, L"NormalizeNFKC"}, {IDC_HTML_TAGS, L"HtmlTags"},
        {IDC_NFKC_DESCRIPTION, L"NFKCDescription"}, {IDC_MARKDOWN_LINKS, L"MarkdownLinks"}, {IDC_SAVE, L"Save"},
        {IDC_PLAIN_TEXT_ONLY, L"PlainTextOnly"}, {IDC_EXCEL_VALUES, L"ExcelValues"}, {IDC_CANCEL, L"Cancel"}, {IDC_RESTORE_DEFAULTS, L"RestoreDefaults"},
        {IDC_EXCEL_DESCRIPTION, L"ExcelDescription"}, {IDC_COPYRIGHT, L"CopyrightLabel"},
    };
    for (const auto& [id, key] : controls) EXPECT_EQ(WindowText(Control(window, id)), text(key)) << id;
    // A description longer than its line wraps onto lines of its own height.
    // (A themed check box under Wine draws a word longer than its line on
    // the first line; Windows wraps it.)
    SelectPage(window, 2);
    HWND description = Control(window, IDC_NFKC_DESCRIPTION);
    const RECT described = ClientRectOf(description, window);
    int ink = 0;
    EXPECT_TRUE(PumpUntil([&] { return (ink = InkHeight(window, description, 0, 0)) > 24 && ink <= described.bottom - described.top; },
                          5000)) << ink;
    for (int id = 3001; id <= 3023; ++id) EXPECT_EQ(WindowText(Control(window, id)), text(L"HelpFor")) << id;
    EXPECT_EQ(WindowText(Control(window, IDC_WEBVIEW2_STATUS)), text(L"WebView2Status") + L": " + text(L"WebView2NotInstalled"));
    EXPECT_EQ(WindowText(Control(window, IDC_VERSION)), text(L"VersionLabel") + L": v0.0.19");
    // The items of the lists: pages, the language list's first entry, the widths.
    auto item = [&](int id, UINT message, int index) {
        std::wstring buffer(11000, L'\0');
        AskControl(window, id, message, index, reinterpret_cast<LPARAM>(buffer.data()));
        return std::wstring(buffer.c_str());
    };
    const wchar_t* const pages[] = {L"SystemSettings", L"WhitespaceSettings", L"TextConversionSettings", L"OtherSettings",
                                    L"VersionTab"};
    for (int page = 0; page < 5; ++page) EXPECT_EQ(item(IDC_NAVIGATION, LB_GETTEXT, page), text(pages[page]));
    EXPECT_EQ(item(IDC_LANGUAGE, CB_GETLBTEXT, 0), text(L"SystemSettings"));
    const wchar_t* const widths[] = {L"WidthNone", L"WidthFullToHalf", L"WidthHalfToFull"};
    for (int id = IDC_KATAKANA_WIDTH; id <= IDC_SYMBOL_WIDTH; ++id)
        for (int w = 0; w < 3; ++w) EXPECT_EQ(item(id, CB_GETLBTEXT, w), text(widths[w])) << id;
    for (int page : {1, 2, 3, 4, 0}) SelectPage(window, page);
    SelectPage(window, 4);  // where no long caption covers Save
    ExpectSaneControls(window);
    SaveAndExpectValidFile(program, window);
}

}  // namespace
