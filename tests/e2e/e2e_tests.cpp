// The real program under Wine, driven from outside as a user would drive it.
#include "program_fixture.h"

#include "base/base.h"
#include "fake_webview2/fake_webview2.h"
#include "i18n/i18n.h"
#include "settings/settings.h"
#include "test_folder.h"
#include "ui/control_ids.h"
#include "ui/settings_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const std::string kDefaultFile = ComposeSettingsText(Settings{}, WideToUtf8);

// The window a user types into: in front, active, the keys going to one of
// its controls.
void ExpectWindowTakesTheKeyboard(HWND window) {
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }, 3000)) << "in front";
    EXPECT_TRUE(PumpUntil([&] { return IsChild(window, ThreadInfo(window).hwndFocus); }, 3000)) << "keys go to a control";
    EXPECT_EQ(ThreadInfo(window).hwndActive, window);
}

// Whether the title bar shows the program's own small icon (its opaque
// pixels, exactly) near its left end: what the window class gives the user.
bool TitleBarShowsTheProgramIcon(HWND window, const std::wstring& exe) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ICONINFO icon{};
    GetIconInfo(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0)), &icon);
    BITMAPINFO format{{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    uint32_t pixels[256] = {};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, icon.hbmColor, 0, 16, pixels, &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (HGDIOBJ bitmap : {icon.hbmColor, icon.hbmMask}) DeleteObject(bitmap);
    FreeLibrary(module);
    ScreenImage bar(window, true);
    for (int top = 0; top < 12; ++top)
        for (int left = 0; left < 12; ++left) {
            bool same = true;
            for (int i = 0; i < 256 && same; ++i)
                same = pixels[i] >> 24 != 0xFF ||
                       bar.At(left + i % 16, top + i / 16) == RGB(pixels[i] >> 16, pixels[i] >> 8, pixels[i]);
            if (same) return true;
        }
    return false;
}

// A check box as the user sees it: exactly ticked or exactly clear, its
// glyph showing the same.
bool BoxShows(HWND window, int id, bool ticked) {
    return IsChecked(window, id) == ticked && GlyphOnScreen(window, id) == (ticked ? 1 : 0);
}

// The display scale of the session: 96 DPI but in DisplayScaleTest. The
// layout and pixel checks are given at 96 DPI and scaled with it.
int sessionDpi = 96;
int Px(int length) {
    return MulDiv(length, sessionDpi, 96);
}

// Runs `use` on a screen DC that holds the window's font (Segoe UI, 16 px at
// 96 DPI) at the session's scale, made as the program makes it.
template <typename Use>
void WithWindowFont(Use use) {
    HFONT font = CreateFontW(-Px(16), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI");
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    use(screen);
    DeleteObject(SelectObject(screen, old));
    ReleaseDC(nullptr, screen);
}

// Every control of the fixed tables, on every page (hidden ones keep their
// places), and the flowing rows; empty when all are where they belong. A
// bottom of 0 is not checked: a combo box's is its closed height, a measured
// text's depends on the font. At a scale a place may be 2 pixels off: the
// program rounds each of its parts, the table their sum.
std::string LayoutProblems(HWND window) {
    struct Expected {
        int id;
        RECT rect;  // client coordinates
    };
    std::vector<Expected> expected = {
        {IDC_NAVIGATION, {20, 20, 160, 570}},   {IDC_LANGUAGE_LABEL, {190, 55, 290, 77}},
        {IDC_LANGUAGE, {300, 52, 520, 0}},      {3001, {530, 52, 552, 74}},
        {IDC_HOTKEY_LABEL, {190, 90, 350, 112}}, {IDC_HOTKEY_ALT, {190, 115, 258, 139}},
        {IDC_HOTKEY_CTRL, {258, 115, 326, 139}}, {IDC_HOTKEY_SHIFT, {326, 115, 394, 139}},
        {IDC_HOTKEY_WINDOWS, {394, 115, 486, 139}}, {IDC_HOTKEY_KEY, {500, 113, 575, 0}},
        {3002, {585, 114, 607, 136}},           {IDC_NORMALIZE_NFKC, {190, 285, 610, 0}},
        {3019, {620, 286, 642, 308}},           {IDC_NFKC_DESCRIPTION, {215, 325, 620, 0}},
        {IDC_PRODUCT_NAME, {190, 60, 620, 90}}, {IDC_VERSION, {190, 105, 620, 129}},
        {IDC_WEBSITE, {190, 180, 620, 210}},    {IDC_COPYRIGHT, {190, 225, 620, 249}},
        {IDC_RESTORE_DEFAULTS, {300, 595, 460, 625}}, {IDC_SAVE, {470, 595, 560, 625}}, {IDC_CANCEL, {570, 595, 660, 625}},
    };
    for (int g = 0; g < 4; ++g) {
        int y = 63 + 52 * g;
        expected.push_back({IDC_KATAKANA_LABEL + g, {190, y + 2, 360, y + 26}});
        expected.push_back({IDC_KATAKANA_WIDTH + g, {375, y - 1, 610, 0}});
        expected.push_back({3015 + g, {620, y, 642, y + 22}});
    }
    for (Expected& e : expected) e.rect = {Px(e.rect.left), Px(e.rect.top), Px(e.rect.right), Px(e.rect.bottom)};
    // The tab-space line sits wherever the rows above it end.
    RECT tabLabel = ClientRectOf(Control(window, IDC_TAB_SPACES_LABEL), window);
    const int tab = tabLabel.top;
    expected.push_back({IDC_TAB_SPACES_LABEL, {Px(220), tab, Px(490), tab + Px(24)}});
    expected.push_back({IDC_TAB_SPACES, {Px(505), tab - Px(3), Px(575), 0}});
    expected.push_back({3009, {Px(585), tab - Px(2), Px(607), tab + Px(20)}});
    // Each page's flowing rows start at its own y; the tab-space line is 34 high.
    for (auto [id, top] : {std::pair{IDC_PLAY_SOUND, Px(155)}, {IDC_REPLACE_LINE_BREAKS, Px(55)},
                           {IDC_MARKDOWN_LINKS, Px(55)}, {IDC_COLLAPSE_SPACES, tab + Px(34)}})
        expected.push_back({id, {Px(190), top, Px(610), 0}});
    // The status line and the download button below the first page's rows.
    RECT last = ClientRectOf(Control(window, IDC_PERIODICALLY_RESET_HOTKEY), window);
    const int y = last.top + std::max<int>(last.bottom - last.top, Px(25)) + Px(8);
    expected.push_back({IDC_WEBVIEW2_STATUS, {Px(190), y + Px(12), Px(620), y + Px(36)}});
    expected.push_back({IDC_DOWNLOAD_WEBVIEW2, {Px(190), y + Px(42), Px(620), y + Px(72)}});
    const int slack = sessionDpi == 96 ? 0 : 2;
    std::string problems;
    for (const Expected& e : expected) {
        RECT r = ClientRectOf(Control(window, e.id), window);
        if (!e.rect.bottom) r.bottom = 0;
        if (e.id == IDC_RESTORE_DEFAULTS) r.left = std::max(r.left, e.rect.left);  // wider for a longer caption
        if (std::abs(r.left - e.rect.left) > slack || std::abs(r.top - e.rect.top) > slack ||
            std::abs(r.right - e.rect.right) > slack || std::abs(r.bottom - e.rect.bottom) > slack)
            problems += std::to_string(e.id) + " at " + RectText(r) + ", not " + RectText(e.rect) + "; ";
    }
    // Flowing rows: a line of the window's font (Segoe UI, 16 px) plus 8, at
    // least 25 high; each starts 8 below the previous one's bottom.
    TEXTMETRICW metrics{};
    WithWindowFont([&](HDC dc) { GetTextMetricsW(dc, &metrics); });
    RECT play = ClientRectOf(Control(window, IDC_PLAY_SOUND), window);
    RECT start = ClientRectOf(Control(window, IDC_START_WITH_WINDOWS), window);
    if (start.top != play.bottom + Px(8) || play.bottom - play.top != std::max<int>(metrics.tmHeight + Px(8), Px(25)))
        problems += "the flowing rows are " + RectText(play) + " and " + RectText(start);
    return problems;
}

class ProgramTest : public ProgramFixture {
protected:
    static std::string SettingsIn(const wchar_t* language) {
        Settings settings;
        settings.Language = language;
        return ComposeSettingsText(settings, WideToUtf8);
    }

    std::wstring narrow_ = ProgramFolder(L"e2e-narrow");
    std::wstring faults_ = ProgramFolder(L"e2e-faults");
    std::wstring wide_ = ProgramFolder(L"e2e-wide");
};

TEST_F(ProgramTest, FreshStartShowsDefaultsInTheFixedLayoutAndSaveWritesTheDefaultFile) {
    RunningProgram program(narrow_, appData_.Path());
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow();

    EXPECT_EQ(WindowText(window), L"Slatewash Settings");
    ExpectWindowTakesTheKeyboard(window);
    EXPECT_TRUE(PumpUntil([&] { return TitleBarShowsTheProgramIcon(window, narrow_ + L"\\SlatewashSettings.exe"); }, 5000));
    // The pointer comes in with another program's shape (a text field's
    // I-beam, set in the input state the two threads share for a moment) and
    // takes the arrow over the window's background, as over its buttons.
    const HCURSOR beam = LoadCursorW(nullptr, IDC_IBEAM);
    SetPointerShapeOf(window, beam);
    const HCURSOR overBackground = PointerShapeAt(window, {400, 500});
    EXPECT_NE(overBackground, beam);
    EXPECT_EQ(overBackground, PointerShapeAt(Control(window, IDC_SAVE), {10, 10}));
    EXPECT_EQ(OuterSize(window).cx, 685);
    EXPECT_EQ(OuterSize(window).cy, 690);
    EXPECT_EQ(ComboSelectionText(window, IDC_LANGUAGE), L"System settings");
    EXPECT_EQ(ComboSelectionText(window, IDC_HOTKEY_KEY), L"V");
    for (auto [id, name, checked] : {std::tuple{IDC_HOTKEY_ALT, L"Alt", false}, {IDC_HOTKEY_CTRL, L"Ctrl", true},
                                     {IDC_HOTKEY_SHIFT, L"Shift", true}, {IDC_HOTKEY_WINDOWS, L"Windows", false}}) {
        EXPECT_EQ(WindowText(Control(window, id)), name);
        EXPECT_EQ(IsChecked(window, id), checked) << id;
    }
    EXPECT_EQ(ComboSelectionText(window, IDC_TAB_SPACES), L"1");
    EXPECT_EQ(ComboSelection(window, IDC_KATAKANA_WIDTH), 0);
    EXPECT_EQ(WindowText(Control(window, IDC_WEBVIEW2_STATUS)), L"Help viewer (WebView2): Not installed");
    EXPECT_EQ(WindowText(Control(window, IDC_VERSION)), L"Version: v0.0.19");

    EXPECT_EQ(LayoutProblems(window), "");

    Click(window, IDC_SAVE);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
    EXPECT_TRUE(PumpUntil([&] { return paster_.Messages().size() == 1; }, 2000));
}

// Every control changed by hand, page by page, then Save: the file holds
// each new value in its own key. The file loaded first holds the opposite
// of every box, so each box must be read back, and neighbouring rows end
// differently, so two rows bound to each other's option show. The key and
// tab-space lists go from their last item to their first, by a typed
// character; the width lists by clicks.
TEST_F(ProgramTest, EveryControlChangedThroughTheWindowIsSaved) {
    struct Box {
        int page, id;
        bool Settings::*field;
        bool target;
    };
    const Box boxes[] = {
        {0, IDC_HOTKEY_ALT, &Settings::HotkeyAlt, false},  // the Windows key alone is a modifier
        {0, IDC_HOTKEY_CTRL, &Settings::HotkeyCtrl, false},
        {0, IDC_HOTKEY_SHIFT, &Settings::HotkeyShift, false},
        {0, IDC_HOTKEY_WINDOWS, &Settings::HotkeyWindows, true},
        {0, IDC_PLAY_SOUND, &Settings::PlaySound, true},
        {0, IDC_START_WITH_WINDOWS, &Settings::StartWithWindows, false},
        {0, IDC_SHOW_STARTUP_NOTIFICATION, &Settings::ShowStartupNotification, true},
        {0, IDC_PERIODICALLY_RESET_HOTKEY, &Settings::PeriodicallyResetHotkey, false},
        {1, IDC_REPLACE_LINE_BREAKS, &Settings::ReplaceLineBreaksWithSpace, true},
        {1, IDC_REPLACE_TABS, &Settings::ReplaceTabsWithSpace, false},
        {1, IDC_COLLAPSE_SPACES, &Settings::CollapseSpaces, true},
        {1, IDC_TRIM_SPACES, &Settings::TrimSpaces, false},
        {1, IDC_FULL_WIDTH_SPACES, &Settings::ConvertFullWidthSpaces, true},
        {1, IDC_ZERO_WIDTH_SPACES, &Settings::RemoveZeroWidthSpaces, false},
        {1, IDC_NBSP, &Settings::ConvertNonBreakingSpaces, true},
        {2, IDC_NORMALIZE_NFKC, &Settings::NormalizeNFKC, false},
        {3, IDC_MARKDOWN_LINKS, &Settings::MarkdownLinksToDisplayText, true},
        {3, IDC_HTML_TAGS, &Settings::RemoveHtmlTags, false},
        {3, IDC_PLAIN_TEXT_ONLY, &Settings::UseClipboardPlainTextOnly, true},
        {3, IDC_EXCEL_VALUES, &Settings::ExcelPasteValuesForCellCopy, false},
    };
    struct Choice {
        int page, id;
        int32_t Settings::*field;
        int32_t loaded, saved, firstItemValue;
    };
    const Choice choices[] = {
        {1, IDC_TAB_SPACES, &Settings::TabSpaces, 8, 1, 1},
        {2, IDC_KATAKANA_WIDTH, &Settings::KatakanaWidth, 0, 1, 0},
        {2, IDC_NUMBER_WIDTH, &Settings::NumberWidth, 0, 2, 0},
        {2, IDC_LATIN_WIDTH, &Settings::LatinWidth, 2, 0, 0},
        {2, IDC_SYMBOL_WIDTH, &Settings::SymbolWidth, 1, 2, 0},
    };
    Settings loaded, saved;
    loaded.Language = saved.Language = L"en";
    loaded.HotkeyKey = 'Z';
    saved.HotkeyKey = 'A';
    for (const Box& box : boxes) loaded.*box.field = !(saved.*box.field = box.target);
    for (const Choice& choice : choices) {
        loaded.*choice.field = choice.loaded;
        saved.*choice.field = choice.saved;
    }
    WriteSettings(ComposeSettingsText(loaded, WideToUtf8));

    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    EXPECT_EQ(ComboSelectionText(window, IDC_HOTKEY_KEY), L"Z");
    for (int page = 0; page < 4; ++page) {
        if (page > 0) SelectPage(window, page);
        for (const Box& box : boxes) {
            if (box.page != page) continue;
            EXPECT_EQ(IsChecked(window, box.id), !box.target) << "loaded " << box.id;
            Click(window, box.id);
            EXPECT_TRUE(PumpUntil([&] { return BoxShows(window, box.id, box.target); }, 3000))
                << box.id << " shows " << GlyphOnScreen(window, box.id);
        }
        for (const Choice& choice : choices) {
            if (choice.page != page) continue;
            EXPECT_EQ(ComboSelection(window, choice.id), choice.loaded - choice.firstItemValue) << choice.id;
            if (choice.id == IDC_TAB_SPACES) TypeComboItem(window, choice.id, L'0' + choice.saved);  // its first item
            else SelectComboItem(window, choice.id, choice.saved - choice.firstItemValue);
        }
        if (page == 0) TypeComboItem(window, IDC_HOTKEY_KEY, L'A');
    }
    Click(window, IDC_SAVE);
    EXPECT_EQ(program.WaitForExit(), 0u) << "the Windows key alone is accepted";
    EXPECT_EQ(ReadBytes(SettingsFile()), ComposeSettingsText(saved, WideToUtf8));
    PumpUntil([&] { return !paster_.Messages().empty(); }, 2000);
    ASSERT_EQ(paster_.Messages().size(), 1u);
    EXPECT_EQ(paster_.Messages()[0].wParam, 0u);
    EXPECT_EQ(paster_.Messages()[0].lParam, 0);
}

// Restore defaults after edits of each kind of control on three pages: Save
// writes exactly a first start's defaults in the window's own language, once
// told to the paster; Cancel leaves the file as it was. The file holds
// options away from their defaults, on a fourth page too.
TEST_F(ProgramTest, RestoreDefaultsKeepsTheLanguageAndWritesOnlyOnSave) {
    Settings away;
    away.Language = L"ja";
    away.HotkeyKey = 'Z';
    away.PlaySound = away.NormalizeNFKC = true;
    away.RemoveHtmlTags = false;  // on the page that the edits never visit
    away.LatinWidth = WidthHalfToFull;
    const std::string before = ComposeSettingsText(away, WideToUtf8);
    Settings expected;
    expected.Language = away.Language;
    for (bool save : {false, true}) {
        SCOPED_TRACE(save ? "Save" : "Cancel");
        WriteSettings(before);
        RunningProgram program(narrow_, appData_.Path());
        HWND window = program.WaitForWindow();
        for (int id : {IDC_HOTKEY_ALT, IDC_START_WITH_WINDOWS}) Click(window, id);
        TypeComboItem(window, IDC_HOTKEY_KEY, L'A');
        SelectPage(window, 1);
        Click(window, IDC_TRIM_SPACES);
        TypeComboItem(window, IDC_TAB_SPACES, L'3');
        SelectPage(window, 2);
        SelectComboItem(window, IDC_NUMBER_WIDTH, 2);
        Click(window, IDC_NORMALIZE_NFKC);
        Click(window, IDC_RESTORE_DEFAULTS);
        EXPECT_TRUE(PumpUntil([&] { return BoxShows(window, IDC_NORMALIZE_NFKC, expected.NormalizeNFKC); }, 3000));
        EXPECT_EQ(ComboSelectionText(window, IDC_LANGUAGE), L"日本語");
        EXPECT_EQ(ReadBytes(SettingsFile()), before) << "written before Save";
        Click(window, save ? IDC_SAVE : IDC_CANCEL);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_EQ(ReadBytes(SettingsFile()), save ? ComposeSettingsText(expected, WideToUtf8) : before);
        PumpUntil([] { return false; }, 300);
        EXPECT_EQ(paster_.Messages().size(), save ? 1u : 0u);
    }
}

// The warning belongs to the window, which cannot be used behind it, reads
// in the window's direction, and Enter, Escape and its OK button each close
// it and give the window back.
TEST_F(ProgramTest, NoModifierRefusesSaveUntilCancelWhichKeepsTheFile) {
    const struct {
        const wchar_t* language;
        std::vector<WORD> answers;  // a key, or 0 for a click on OK
    } languages[] = {{L"en", {VK_RETURN, VK_ESCAPE, 0}}, {L"ar", {0}}};
    for (const auto& l : languages) {
        SCOPED_TRACE(WideToUtf8(l.language));
        Settings noModifiers;
        noModifiers.HotkeyCtrl = noModifiers.HotkeyShift = false, noModifiers.Language = l.language;
        const std::string stored = ComposeSettingsText(noModifiers, WideToUtf8);
        WriteSettings(stored);
        RunningProgram program(narrow_, appData_.Path());
        HWND window = program.WaitForWindow();
        for (int id : {IDC_HOTKEY_ALT, IDC_HOTKEY_CTRL, IDC_HOTKEY_SHIFT, IDC_HOTKEY_WINDOWS})
            EXPECT_FALSE(IsChecked(window, id)) << id;
        for (WORD answer : l.answers) {
            Click(window, IDC_SAVE);
            MessageBoxSeen seen = SeeMessageBox(program, window);
            EXPECT_TRUE(seen.ownedByWindow && seen.windowWaits) << "owned, and the window waits";
            EXPECT_EQ(seen.caption, L"Slatewash");
            EXPECT_EQ(seen.text, LoadLocaleFile(l.language)[L"NoModifierWarning"]);
            answer ? PressKey(seen.box, answer) : ClickBoxButton(seen.box, IDOK);
            Await([&] { return IsWindowEnabled(window) && ThreadInfo(window).hwndActive == window; }, 3000,
                  "the window the user's again after key " + std::to_string(answer));
        }
        Click(window, IDC_CANCEL);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_EQ(ReadBytes(SettingsFile()), stored);
    }
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(paster_.Messages().empty());
}

// The paster registers the hotkey it is told, so a combination that another
// program holds is caught on Save: No writes and sends nothing, Yes saves.
// The stored combination (the running paster's own) is never tried, and a
// free one is released as soon as it was tried.
// Each row changes one input from the stored hotkey (Ctrl+Shift+V unless
// the row says otherwise) while this test process, standing in for another
// program, holds one combination.
TEST_F(ProgramTest, ATakenHotkeyIsCaughtOnSaveAndATriedOneIsReleased) {
    struct Held {
        BOOL ok;
        Held(UINT modifiers, UINT key) : ok(RegisterHotKey(nullptr, 1, modifiers, key)) {}
        ~Held() { UnregisterHotKey(nullptr, 1); }
    };
    Settings ctrlAltK, arabic;
    ctrlAltK.HotkeyAlt = true, ctrlAltK.HotkeyShift = false, ctrlAltK.HotkeyKey = 'K';
    arabic.Language = L"ar";
    constexpr UINT kCtrlShift = MOD_CONTROL | MOD_SHIFT;
    const struct {
        const char* what;
        UINT heldModifiers;
        char heldKey;
        Settings stored;
        int box;                         // the modifier box clicked, or 0
        bool Settings::*modifier;        // its field
        char key;                        // the letter picked
        const wchar_t* warned;           // the combination the warning names; null: no warning
        const wchar_t* warningLanguage = L"en";
        WORD noKey = 0;                  // the key that answers No, or 0 for a click on No
    } cases[] = {
        {"the letter alone, onto Ctrl+Shift", kCtrlShift, 'K', {}, 0, nullptr, 'K', L"Ctrl+Shift+K", L"en", VK_RETURN},
        {"only the letter, warned in Arabic", kCtrlShift, 'K', arabic, 0, nullptr, 'K', L"Ctrl+Shift+K", L"ar"},
        {"Alt added", kCtrlShift | MOD_ALT, 'V', {}, IDC_HOTKEY_ALT, &Settings::HotkeyAlt, 'V', L"Ctrl+Alt+Shift+V"},
        {"Ctrl removed", MOD_SHIFT, 'V', {}, IDC_HOTKEY_CTRL, &Settings::HotkeyCtrl, 'V', L"Shift+V"},
        {"Shift removed", MOD_CONTROL, 'V', {}, IDC_HOTKEY_SHIFT, &Settings::HotkeyShift, 'V', L"Ctrl+V"},
        {"Windows added", kCtrlShift | MOD_WIN, 'V', {}, IDC_HOTKEY_WINDOWS, &Settings::HotkeyWindows, 'V',
         L"Ctrl+Shift+Windows+V"},
        {"the stored one is never tried", MOD_CONTROL | MOD_ALT, 'K', ctrlAltK, 0, nullptr, 'K', nullptr},
        {"a free one, then the save fails", kCtrlShift, 'K', {}, 0, nullptr, 'J', nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Held held(c.heldModifiers, c.heldKey);
        ASSERT_TRUE(held.ok);
        Settings changed = c.stored;
        if (c.box) changed.*c.modifier = !(changed.*c.modifier);
        changed.HotkeyKey = c.key;
        const std::string stored = ComposeSettingsText(c.stored, WideToUtf8);
        const bool saveFails = c.key == 'J';
        WriteSettings(stored);
        if (saveFails) SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY);
        const size_t sent = paster_.Messages().size();
        RunningProgram program(narrow_, appData_.Path());
        HWND window = program.WaitForWindow();
        if (c.box) Click(window, c.box);
        if (c.key != static_cast<char>(c.stored.HotkeyKey)) SelectComboItem(window, IDC_HOTKEY_KEY, c.key - 'A');
        Click(window, IDC_SAVE);
        if (c.warned) {
            StringTable texts = LoadLocaleFile(c.warningLanguage);
            std::wstring warning = texts[L"HotkeyTakenWarning"];
            warning.replace(warning.find(L"{hotkey}"), 8, c.warned);
            MessageBoxSeen seen = SeeMessageBox(program, window);
            EXPECT_TRUE(seen.ownedByWindow && seen.windowWaits) << "owned, and the window waits";
            EXPECT_EQ(seen.caption, texts[L"HotkeyTakenCaption"]);
            EXPECT_EQ(seen.text, warning);
            if (c.noKey) {
                // Escape saves nothing: Wine takes it as No, Windows ignores
                // it in a box without Cancel.
                PressKey(seen.box, VK_ESCAPE);
                if (PumpUntil([&] { return !IsWindow(seen.box); }, 300))
                    Click(window, IDC_SAVE), seen = SeeMessageBox(program, window);
                PressKey(seen.box, c.noKey);
            } else {
                ClickBoxButton(seen.box, IDNO);
            }
            Await([&] { return !IsWindow(seen.box); }, 3000, "the conflict warning closed by No");
            EXPECT_TRUE(IsWindow(window)) << "No goes back to the window";
            EXPECT_EQ(ReadBytes(SettingsFile()), stored);
            Click(window, c.stored == Settings{} ? IDC_SAVE : IDC_CANCEL);
            if (c.stored == Settings{}) AnswerMessageBox(program, IDYES);
        } else if (saveFails) {
            EXPECT_EQ(AnswerMessageBox(program), L"Slatewash") << "the failed save, not a conflict";
            EXPECT_TRUE(RegisterHotKey(nullptr, 2, kCtrlShift, 'J')) << "the tried combination is free";
            UnregisterHotKey(nullptr, 2);
            Click(window, IDC_CANCEL);
        }
        EXPECT_EQ(program.WaitForExit(), 0u);
        SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        bool saved = !saveFails && c.stored != arabic;
        EXPECT_EQ(ReadBytes(SettingsFile()), saved ? ComposeSettingsText(changed, WideToUtf8) : stored);
        PumpUntil([&] { return paster_.Messages().size() > sent; }, saved ? 3000 : 300);
        EXPECT_EQ(paster_.Messages().size() - sent, saved ? 1u : 0u);
    }
}

// The keys go to the control the user clicked: Space toggles the focused
// box, the arrow keys move through the pages and back to the first.
void ExpectKeysReachTheClickedControlOnly(HWND window) {
    for (bool ticked : {false, true}) {
        PressKey(window, VK_SPACE);
        Await([&] { return BoxShows(window, IDC_PLAY_SOUND, ticked); }, 3000,
              std::string("the focused box ") + (ticked ? "ticked" : "cleared") + " by Space");
    }
    SelectPage(window, 0);
    const std::pair<WORD, int> steps[] = {{VK_DOWN, 1}, {VK_DOWN, 2}, {VK_UP, 1}, {VK_UP, 0}, {VK_UP, 0}};
    const int shown[] = {IDC_LANGUAGE, IDC_TAB_SPACES, IDC_KATAKANA_WIDTH};  // a control of each page
    for (auto [key, page] : steps) {
        PressKey(window, key);
        Await([&] { return IsWindowVisible(Control(window, shown[page])); }, 3000,
              "page " + std::to_string(page) + " shown by an arrow key");
        EXPECT_EQ(AskControl(window, IDC_NAVIGATION, LB_GETCURSEL), page);
    }
    EXPECT_FALSE(IsWindowVisible(Control(window, IDC_TAB_SPACES)));
}

// Cancel, the close box and Alt+F4 (after the keys above) each end the
// program with nothing written and nothing sent.
TEST_F(ProgramTest, KeysReachTheClickedControlAndNoWayOutWrites) {
    enum class Way { Cancel, CloseBox, AltF4 };
    for (Way way : {Way::Cancel, Way::CloseBox, Way::AltF4}) {
        SCOPED_TRACE(static_cast<int>(way));
        RunningProgram program(narrow_, appData_.Path());
        HWND window = program.WaitForWindow();
        Click(window, IDC_PLAY_SOUND);
        if (way == Way::Cancel) Click(window, IDC_CANCEL);
        if (way == Way::CloseBox) ClickCloseBox(window);
        if (way == Way::AltF4) ExpectKeysReachTheClickedControlOnly(window), PressKey(window, VK_F4, VK_MENU);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_FALSE(FileExists(SettingsFile()));
    }
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(paster_.Messages().empty());
}

// A second start brings the first window back in front, with the keys, from
// behind another program's window or from the task bar, and exits.
TEST_F(ProgramTest, SecondInstanceBringsTheFirstForwardAndExits) {
    RunningProgram first(narrow_, appData_.Path());
    HWND window = first.WaitForWindow();
    for (bool minimised : {true, false}) {
        SCOPED_TRACE(minimised ? "minimised" : "behind another window");
        HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 1600, 900, nullptr, nullptr,
                                     nullptr, nullptr);
        SetForegroundWindow(other);
        if (minimised) ShowWindow(window, SW_MINIMIZE);
        Await([&] { return GetForegroundWindow() == other && IsIconic(window) == minimised; }, 3000,
              "another window in front of the first one");

        RunningProgram second(narrow_, appData_.Path());
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(second.WaitForExit(), 0u);
        Await([&] { return !IsIconic(window); }, 5000, "the first window restored by the second start");
        ExpectWindowTakesTheKeyboard(window);
        DestroyWindow(other);
    }
    // A warning open in the first window comes to the front in its place
    // and takes the keys: Enter answers it.
    for (int id : {IDC_HOTKEY_CTRL, IDC_HOTKEY_SHIFT}) Click(window, id);
    Click(window, IDC_SAVE);
    MessageBoxSeen warning = SeeMessageBox(first, window);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 1600, 900, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    Await([&] { return GetForegroundWindow() == other; }, 3000, "another window in front of the warning");
    RunningProgram second(narrow_, appData_.Path());
    EXPECT_EQ(second.WaitForExit(), 0u);
    Await([&] { return GetForegroundWindow() == warning.box; }, 5000, "the warning in front after a second start");
    PressKey(nullptr, VK_RETURN);
    Await([&] { return !IsWindow(warning.box) && IsWindowEnabled(window); }, 3000, "the warning answered by Enter");
    DestroyWindow(other);
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(first.Close(window), 0u);
}

// A second start can come before the first copy's window exists: while the
// copy starts, or between the two windows of a language change (the test
// build holds that window back until told). It waits for the window, brings
// it in front and ends. Two starts at once leave one window, in front.
TEST_F(ProgramTest, ASecondStartWaitsForTheFirstWindow) {
    WriteSettings(SettingsIn(L"en"));
    std::unique_ptr<void, decltype(&CloseHandle)> release(
        CreateEventW(nullptr, TRUE, FALSE, L"Local\\SlatewashTestReleaseWindow"), CloseHandle);
    for (const wchar_t* held : {L"1", L"2"}) {
        SCOPED_TRACE(held[0] == L'1' ? "at the first copy's start" : "during a language change");
        ResetEvent(release.get());
        ScopedEnvironment hold(L"SLATEWASH_HOLD_WINDOW", held);
        RunningProgram first(faults_, appData_.Path());
        HWND old = nullptr;
        if (held[0] == L'2') {
            old = first.WaitForWindow();
            SelectComboItem(old, IDC_LANGUAGE, ComboFind(old, IDC_LANGUAGE, L"日本語"));
            Await([&] { return !IsWindow(old); }, 10000, "the old window gone in the rebuild");
        } else {
            Await([] { return !RunningInstanceProblem().empty(); }, 10000, "the first copy holding the instance mutex");
        }
        RunningProgram second(faults_, appData_.Path());
        // Within its own wait (2 s, never stretched), a start that did not wait has ended.
        const bool gaveUp = second.WaitForExit(1000 / TimeScale()) != STILL_ACTIVE;
        SetEvent(release.get());
        HWND window = first.WaitForWindow(15000, old);
        EXPECT_FALSE(gaveUp) << "the second start ended before the first window came";
        EXPECT_EQ(second.WaitForExit(), 0u);
        ExpectWindowTakesTheKeyboard(window);
        EXPECT_EQ(first.Close(window), 0u);
    }
    RunningProgram one(narrow_, appData_.Path()), other(narrow_, appData_.Path());
    Await([&] { return !one.IsRunning() || !other.IsRunning(); }, 15000, "one of two starts at once ended");
    RunningProgram& ended = one.IsRunning() ? other : one;
    RunningProgram& kept = one.IsRunning() ? one : other;
    EXPECT_EQ(ended.WaitForExit(), 0u);
    HWND window = kept.WaitForWindow();
    ExpectWindowTakesTheKeyboard(window);
    EXPECT_EQ(kept.Close(window), 0u);
}

// A first copy run as administrator holds the single-instance mutex where a
// normal copy may not open it: a normal start is then a second start too,
// and opens no second window whose saves would overwrite the first's.
TEST_F(ProgramTest, AnInstanceMutexThatCannotBeOpenedMeansAnotherCopyRuns) {
    ACL denyAll{};
    InitializeAcl(&denyAll, sizeof denyAll, ACL_REVISION);
    SECURITY_DESCRIPTOR descriptor{};
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &denyAll, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    std::unique_ptr<void, decltype(&CloseHandle)> held(CreateMutexW(&attributes, FALSE, kInstanceMutexName), CloseHandle);
    ASSERT_NE(held.get(), nullptr);
    ASSERT_EQ(CreateMutexW(nullptr, TRUE, kInstanceMutexName), nullptr) << "the mutex can be opened after all";
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    RunningProgram program(narrow_, appData_.Path());
    EXPECT_EQ(program.WaitForExit(), 0u) << "a second window was opened";
}

// Every list is left at one end and brought back to the other by real
// input, with a language change, which reads every control back, between
// the two; the language list goes back to System settings. A start from a
// file that says ja goes to the last language and back to System settings.
TEST_F(ProgramTest, LanguageChangeRebuildsWithPendingEditsAndEveryListComesBackToItsFirstItem) {
    const std::pair<int, int> lists[] = {{IDC_HOTKEY_KEY, 0}, {IDC_TAB_SPACES, 1}, {IDC_KATAKANA_WIDTH, 2},
                                         {IDC_NUMBER_WIDTH, 2}, {IDC_LATIN_WIDTH, 2}, {IDC_SYMBOL_WIDTH, 2}};
    auto setLists = [&](HWND window, bool last) {
        for (auto [id, page] : lists) {
            SelectPage(window, page);
            SelectComboItem(window, id, last ? AskControl(window, id, CB_GETCOUNT) - 1 : 0);
        }
        SelectPage(window, 0);
    };
    auto expectLists = [&](HWND window, bool last) {
        for (auto [id, page] : lists)
            EXPECT_EQ(ComboSelection(window, id), last ? AskControl(window, id, CB_GETCOUNT) - 1 : 0) << id;
    };
    auto changeLanguage = [](RunningProgram& program, HWND& window, int item) {
        SelectComboItem(window, IDC_LANGUAGE, item);
        HWND rebuilt = program.WaitForWindow(15000, window);
        EXPECT_FALSE(IsWindow(window));
        ExpectWindowTakesTheKeyboard(window = rebuilt);
    };
    Settings atFirst;
    atFirst.HotkeyKey = 'A';
    for (const wchar_t* language : {L"system", L"ja"}) {
        SCOPED_TRACE(WideToUtf8(language));
        const bool fromSystem = language == std::wstring(L"system");
        atFirst.Language = language;
        WriteSettings(ComposeSettingsText(atFirst, WideToUtf8));
        RunningProgram program(narrow_, appData_.Path());
        HWND window = program.WaitForWindow();
        setLists(window, true);
        if (fromSystem) {
            Click(window, IDC_PLAY_SOUND);
            // The separator row selects the first entry and rebuilds nothing.
            SelectComboItem(window, IDC_LANGUAGE, 1);
            Await([&] { return ComboSelection(window, IDC_LANGUAGE) == 0; }, 3000,
                  "the separator row giving back the first entry");
            EXPECT_FALSE(PumpUntil([&] { return !IsWindow(window); }, 300));
            int japanese = ComboFind(window, IDC_LANGUAGE, L"日本語");
            ASSERT_GE(japanese, 0);
            changeLanguage(program, window, japanese);
            EXPECT_EQ(WindowText(window), L"Slatewash 設定");
            EXPECT_EQ(ComboSelectionText(window, IDC_LANGUAGE), L"日本語");
            EXPECT_TRUE(IsChecked(window, IDC_PLAY_SOUND)) << "the pending edit survives";
            EXPECT_EQ(WindowText(Control(window, IDC_SAVE)), L"保存");
            EXPECT_EQ(WindowText(Control(window, IDC_HOTKEY_ALT)), L"Alt");
            expectLists(window, true);
        } else {
            const int last = AskControl(window, IDC_LANGUAGE, CB_GETCOUNT) - 1;
            const std::wstring lastText = ComboItemText(window, IDC_LANGUAGE, last);
            changeLanguage(program, window, last);
            EXPECT_EQ(ComboSelectionText(window, IDC_LANGUAGE), lastText) << "the last language";
        }
        setLists(window, false);
        changeLanguage(program, window, 0);
        EXPECT_EQ(WindowText(window), L"Slatewash Settings") << "the display language again";
        expectLists(window, false);
        Click(window, IDC_SAVE);
        EXPECT_EQ(program.WaitForExit(), 0u);
        Settings saved = atFirst;
        saved.Language = L"system";
        saved.PlaySound = fromSystem;
        EXPECT_EQ(ReadBytes(SettingsFile()), ComposeSettingsText(saved, WideToUtf8));
    }
}

TEST_F(ProgramTest, ASettingsWindowThatCannotBeCreatedEndsTheProcess) {
    WriteSettings(SettingsIn(L"en"));
    const std::string before = ReadBytes(SettingsFile());
    for (const wchar_t* refused : {L"2", L"1"}) {
        SCOPED_TRACE(refused[0] == L'2' ? "the window of a rebuild" : "the first window");
        ScopedEnvironment refusal(L"SLATEWASH_REFUSE_WINDOW", refused);
        RunningProgram program(faults_, appData_.Path());
        ASSERT_TRUE(program.Started());
        if (refused[0] == L'2') {
            HWND window = program.WaitForWindow();
            SelectComboItem(window, IDC_LANGUAGE, ComboFind(window, IDC_LANGUAGE, L"日本語"));
        }
        EXPECT_EQ(program.WaitForExit(), 0u) << "no process without a window is left";
        EXPECT_EQ(ReadBytes(SettingsFile()), before);
        EXPECT_EQ(RunningInstanceProblem(), L"") << "a later start is a first instance again";
    }
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(paster_.Messages().empty());
}

// How many blue pixels the control shows on the screen, `inset` pixels
// inside its edges: the question-mark icon is a blue disc, a caption has none.
int BluePixelsInside(HWND window, int id, int inset) {
    ScreenImage image(window);
    RECT r = ClientRectOf(Control(window, id), window);
    int blue = 0;
    for (int y = r.top + inset; y < r.bottom - inset; ++y)
        for (int x = r.left + inset; x < r.right - inset; ++x) blue += GetBValue(image.At(x, y)) > GetRValue(image.At(x, y)) + 50;
    return blue;
}

// The download button (first page) and the web-site button (last page)
// each open their own page in the user's browser, and the window stays.
TEST_F(ProgramTest, LinkButtonsOpenTheirPagesInTheBrowser) {
    TempFolder browserLog;
    std::wstring opened = browserLog / L"opened.txt";
    ScopedEnvironment logName(L"SLATEWASH_URL_LOG", opened.c_str());
    // url_recorder.exe opens https links for the scope.
    ScopedRegistryValue browser(HKEY_LOCAL_MACHINE, L"Software\\Classes\\https\\shell\\open\\command", nullptr,
                                L"\"" + ProgramFolder(L"url_recorder.exe") + L"\" \"%1\"");
    ASSERT_TRUE(browser.Written());

    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    const struct {
        int page, id;
        const char* url;
    } links[] = {{0, IDC_DOWNLOAD_WEBVIEW2, "https://developer.microsoft.com/microsoft-edge/webview2/"},
                 {4, IDC_WEBSITE, "https://www.korvenda.com/"}};
    for (const auto& link : links) {
        if (link.page) SelectPage(window, link.page);
        Click(window, link.id);
        EXPECT_TRUE(PumpUntil([&] { return FileExists(opened) && ReadBytes(opened) == link.url; }, 15000)) << link.id;
        DeleteFileW(opened.c_str());
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(program.Close(window), 0u);
}

// The window's controls, all or only the visible ones.
std::vector<HWND> Children(HWND window, bool visibleOnly) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (!visibleOnly || IsWindowVisible(child)) found.push_back(child);
    return found;
}

TEST_F(ProgramTest, RightToLeftLanguageMarksEveryWindow) {
    WriteSettings(SettingsIn(L"ar"));
    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_RTLREADING);
    std::vector<HWND> children = Children(window, false);
    EXPECT_GT(children.size(), 60u);
    for (HWND child : children) EXPECT_TRUE(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_RTLREADING) << GetDlgCtrlID(child);
    RECT combo = ClientRectOf(Control(window, IDC_LANGUAGE), window);
    EXPECT_EQ(combo.left, 300) << "positions are not mirrored";
    EXPECT_EQ(program.Close(window), 0u);
}

constexpr COLORREF kBackground = RGB(244, 247, 251);
constexpr COLORREF kCardWhite = RGB(255, 255, 255);


// A pixel of the frame that no control covers; a negative x or y counts from
// the client area's right or bottom edge.
struct Probe {
    int x, y;
    COLORREF color;
    const char* what;
};

// The narrow window: two cards on the background, ending 70 above the bottom.
const Probe kNarrowFrame[] = {
    {5, 300, kBackground, "left of the cards"},
    {-5, 300, kBackground, "right edge"},
    {100, -30, kBackground, "footer"},
    {15, 10, kBackground, "rounded corner of the navigation card"},
    {90, 575, kCardWhite, "navigation card below the list"},
    {400, 540, kCardWhite, "page card"},
    {664, 300, kCardWhite, "page card's right edge"},
    {665, 300, kBackground, "right of the page card"},
    {90, -71, kCardWhite, "the cards end 70 above the bottom"},
    {90, -70, kBackground, "below the cards"},
};

// The wide window: three cards, the help card below the view.
const Probe kWideFrame[] = {
    {5, 300, kBackground, "left of the cards"},          {100, -30, kBackground, "footer"},
    {400, 540, kCardWhite, "page card"},                 {90, 575, kCardWhite, "navigation card below the list"},
    {900, -72, kCardWhite, "help card"},                 {670, 300, kBackground, "gap between page and help cards"},
};

// The first probe the screen does not show once the first frame has had a
// few seconds to arrive (under Wine it reaches the screen some time after
// the window shows); empty when all match.
template <size_t N>
std::string FrameProblem(HWND window, const Probe (&probes)[N]) {
    std::string problem;
    PumpUntil(
        [&] {
            ScreenImage screen(window);
            RECT client{};
            GetClientRect(window, &client);
            problem.clear();
            for (const Probe& p : probes) {
                const int x = Px(p.x), y = Px(p.y);
                COLORREF seen = screen.At(x < 0 ? client.right + x : x, y < 0 ? client.bottom + y : y);
                if (seen != p.color && problem.empty()) problem = p.what + (": " + std::to_string(seen));
            }
            return problem.empty();
        },
        10000);
    return problem;
}

// The wide window shows the help view beside the page card, on the overview
// page first. Each help button shows its icon and, pressed on its own page,
// moves the view to its own topic (the fake's view shows the URL it was last
// told to open).
TEST_F(ProgramTest, EveryHelpButtonShowsItsIconAndOpensItsOwnTopic) {
    RunningProgram program(wide_, appData_.Path());
    HWND window = program.WaitForWindow();
    EXPECT_EQ(OuterSize(window).cx, 1225);
    EXPECT_EQ(OuterSize(window).cy, 690);
    EXPECT_EQ(WindowText(Control(window, IDC_WEBVIEW2_STATUS)), L"Help viewer (WebView2): Installed (120.0.2210.91)");
    HWND view = nullptr;
    Await([&] { return (view = FindWindowExW(window, nullptr, L"FakeWebView2", nullptr)) && IsWindowVisible(view); },
          10000, "the help view up");
    // Before any help button: a late overview would otherwise replace its topic.
    Await([&] { return WindowText(view) == L"https://www.korvenda.com/slatewash/help/en/overview/?view=app"; }, 3000,
          "the overview page first");
    EXPECT_EQ(RectText(ClientRectOf(view, window)), "675,10,1205,580");
    const wchar_t* const topics[] = {
        L"language",          L"shortcut-key",      L"play-sound",          L"start-with-windows",
        L"startup-notification", L"reset-hotkey",   L"line-breaks",         L"tabs",
        L"tab-spaces",        L"collapse-spaces",   L"trim-spaces",         L"full-width-spaces",
        L"zero-width-spaces", L"non-breaking-spaces", L"katakana-width",    L"number-width",
        L"latin-width",       L"symbol-width",      L"nfkc",                L"markdown-links",
        L"html-tags",         L"plain-text-only",   L"excel-values",
    };
    const int firstOfPage[] = {3001, 3007, 3015, 3020, 3024};  // pages 0 to 3
    for (int id = 3001, page = 0; id <= 3023; ++id) {
        if (id == firstOfPage[page + 1]) SelectPage(window, ++page);
        EXPECT_TRUE(PumpUntil([&] { return BluePixelsInside(window, id, 3) > 50; }, 3000))
            << "help button " << id << " shows its question-mark icon";
        Click(window, id);
        std::wstring expected = std::wstring(L"https://www.korvenda.com/slatewash/help/en/") + topics[id - 3001] + L"/?view=app";
        EXPECT_TRUE(PumpUntil([&] { return WindowText(view) == expected; }, 3000))
            << "help button " << id << " shows " << WideToUtf8(WindowText(view));
    }
    // The view follows the window when a program moves it and when the user
    // drags it by its title bar.
    auto moves = [&] { return reinterpret_cast<uintptr_t>(GetPropW(view, kMovesProperty)); };
    SetWindowPos(window, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(PumpUntil([&] { return moves() > 0; }, 3000));
    const uintptr_t byProgram = moves();
    DragTitleBar(window, 60, 40);
    EXPECT_TRUE(PumpUntil([&] { return moves() > byProgram; }, 3000)) << "dragged";

    EXPECT_EQ(program.Close(window), 0u);
}

// Whether `corner` is `edge` laid over `behind` (at some coverage), each
// channel within 3: the channel in which the two differ most gives the
// coverage, and the others must follow it.
bool IsBlendOf(COLORREF corner, COLORREF edge, COLORREF behind) {
    const int c[] = {GetRValue(corner), GetGValue(corner), GetBValue(corner)};
    const int e[] = {GetRValue(edge), GetGValue(edge), GetBValue(edge)};
    const int b[] = {GetRValue(behind), GetGValue(behind), GetBValue(behind)};
    int most = 0;
    for (int i = 1; i < 3; ++i) most = std::abs(e[i] - b[i]) > std::abs(e[most] - b[most]) ? i : most;
    if (e[most] == b[most]) return std::abs(c[0] - b[0]) <= 3 && std::abs(c[1] - b[1]) <= 3 && std::abs(c[2] - b[2]) <= 3;
    const double cover = double(c[most] - b[most]) / (e[most] - b[most]);
    for (int i = 0; i < 3; ++i)
        if (cover < -0.05 || cover > 1.05 || std::abs(b[i] + cover * (e[i] - b[i]) - c[i]) > 3) return false;
    return true;
}

// A themed push button's rounded corners show what lies beside the button
// (the card, or the footer's background) through their edge: no grey or
// dark box that the window or the theme left there. Empty when every
// visible one is clean.
std::string ButtonCornerProblem(const ScreenImage& screen, HWND window) {
    for (HWND child : Children(window, true)) {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        if (_wcsicmp(name, L"Button") || (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)) continue;
        const RECT r = ClientRectOf(child, window);
        const COLORREF edge = screen.At((r.left + r.right) / 2, r.top), beside = screen.At(r.left - 1, r.top);
        for (POINT corner : {POINT{r.left, r.top}, {r.right - 1, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}})
            if (!IsBlendOf(screen.At(corner.x, corner.y), edge, beside)) {
                char text[128];
                snprintf(text, sizeof text, "button %d: corner %06lX at %ld,%ld is not its edge %06lX over %06lX",
                         GetDlgCtrlID(child), static_cast<unsigned long>(screen.At(corner.x, corner.y)), corner.x,
                         corner.y, static_cast<unsigned long>(edge), static_cast<unsigned long>(beside));
                return text;
            }
    }
    return {};
}

// What a page switch must leave on the screen: the page's item selected in
// the navigation list (a 4-pixel accent bar on blue, white text; the others
// slate on white), nothing but card white around the page's own controls
// (no pixel of another page), no dark boxes behind texts, no dark corners
// around push buttons.
std::string PageScreenProblem(HWND window, int page) {
    ScreenImage screen(window);
    constexpr COLORREF kAccent = RGB(29, 78, 216);
    constexpr COLORREF kSelected = RGB(37, 99, 235);
    constexpr COLORREF kItemText = RGB(51, 65, 85);
    const int barEnd = Px(20) + Px(4), textLeft = Px(32), textRight = Px(152);
    for (int item = 0; item < 5; ++item) {
        const int top = Px(20) + Px(54) * item, middle = top + Px(27), textTop = top + Px(5), textBottom = top + Px(49);
        bool selected = item == page;
        COLORREF bar = screen.At(barEnd - 1, middle), past = screen.At(barEnd, middle);
        const COLORREF text = selected ? kCardWhite : kItemText, itemColor = selected ? kSelected : kCardWhite;
        COLORREF ink = screen.Ink({textLeft, textTop, textRight, textBottom}, !selected);
        // The item's own colour shows between the letters: no box of another colour behind the text.
        bool between = false;
        for (int y = textTop; y < textBottom && !between; ++y) {
            int first = textRight, last = 0;
            for (int x = textLeft; x < textRight; ++x)
                if (screen.At(x, y) == text) first = std::min(first, x), last = x;
            for (int x = first; x < last && !between; ++x) between = screen.At(x, y) == itemColor;
        }
        if (bar != (selected ? kAccent : kCardWhite) || past != itemColor || ink != text || !between)
            return "navigation item " + std::to_string(item) + " is not drawn as " +
                   (selected ? "selected" : "unselected") + ": bar " + std::to_string(bar) + ", beside it " +
                   std::to_string(past) + ", text " + std::to_string(ink) + (between ? "" : ", a box behind it");
        // The name stands in the middle of its item: as much room above its ink as below.
        int inkTop = -1, inkBottom = -1;
        for (int y = top; y < top + Px(54); ++y)
            for (int x = textLeft; x < textRight; ++x)
                if (screen.At(x, y) == text) {
                    if (inkTop < 0) inkTop = y;
                    inkBottom = y;
                    break;
                }
        const int above = inkTop - top, below = top + Px(54) - 1 - inkBottom;
        if (inkTop < 0 || std::abs(above - below) > Px(3))
            return "the name of navigation item " + std::to_string(item) + " has " + std::to_string(above) +
                   " pixels above it and " + std::to_string(below) + " below";
    }
    if (std::string corners = ButtonCornerProblem(screen, window); !corners.empty()) return corners;
    if (page == 0 && screen.Ink(ClientRectOf(Control(window, IDC_LANGUAGE_LABEL), window), true) != RGB(30, 41, 59))
        return "the language label's text is not slate";
    std::vector<RECT> controls;
    for (HWND child : Children(window, true)) controls.push_back(ClientRectOf(child, window));
    const RECT inside = {Px(175) + Px(12), Px(10) + Px(12), Px(665) - Px(12), Px(580) - Px(12)};  // less its corners
    int dark = 0;
    for (int y = inside.top; y < inside.bottom; ++y) {
        for (int x = inside.left; x < inside.right; ++x) {
            COLORREF color = screen.At(x, y);
            if (GetRValue(color) < 40 && GetGValue(color) < 40 && GetBValue(color) < 40) ++dark;
            POINT point = {x, y};
            bool onControl = false;
            for (const RECT& control : controls) onControl = onControl || PtInRect(&control, point);
            if (!onControl && color != kCardWhite) {
                char where[96];
                snprintf(where, sizeof where, "pixel (%d, %d) outside every control is %06lX, not card white", x, y,
                         static_cast<unsigned long>(color));
                return where;
            }
        }
    }
    int area = (inside.right - inside.left) * (inside.bottom - inside.top);
    if (dark * 100 > area) return std::to_string(dark) + " near-black pixels on the page card";
    return {};
}

// The page once its frame has reached the screen, or the problem that was
// still there after a few seconds.
std::string SettledPageProblem(HWND window, int page) {
    std::string problem;
    PumpUntil([&] { return (problem = PageScreenProblem(window, page)).empty(); }, 5000);
    return problem;
}

TEST_F(ProgramTest, EveryPageReachesTheScreenOnItsCard) {
    for (const std::wstring& folder : {narrow_, wide_}) {
        RunningProgram program(folder, appData_.Path());
        HWND window = program.WaitForWindow();
        EXPECT_EQ(folder == narrow_ ? FrameProblem(window, kNarrowFrame) : FrameProblem(window, kWideFrame), "");
        bool first = true;
        for (int page : {0, 1, 2, 3, 4, 2, 0}) {
            SCOPED_TRACE("page " + std::to_string(page));
            if (!std::exchange(first, false)) SelectPage(window, page);
            EXPECT_EQ(SettledPageProblem(window, page), "");
            // A control of each page, then Save, which every page shows.
            const int shown[] = {IDC_LANGUAGE, IDC_TAB_SPACES, IDC_KATAKANA_WIDTH, IDC_EXCEL_VALUES, IDC_PRODUCT_NAME, IDC_SAVE};
            for (int other = 0; other < 6; ++other)
                EXPECT_EQ(IsWindowVisible(Control(window, shown[other])) != FALSE, other == page || other == 5) << other;
        }
        EXPECT_EQ(program.Close(window), 0u);
    }
}

// Wine takes WINEDLLOVERRIDES from the environment a process starts with, so
// this runs in a ctest entry of its own that takes d2d1.dll away ("d").
class Direct2DTest : public ProgramTest {};

TEST_F(Direct2DTest, WithoutItTheFrameIsStillPainted) {
    wchar_t overrides[512] = {};
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
    if (!wcsstr(overrides, L"d2d1=d")) GTEST_SKIP() << "needs d2d1=d in WINEDLLOVERRIDES, as its ctest entry sets";
    RunningProgram program(narrow_, appData_.Path());
    HWND window = program.WaitForWindow();
    EXPECT_EQ(FrameProblem(window, kNarrowFrame), "");
    for (int page : {0, 1, 2, 3, 4, 0}) {
        SCOPED_TRACE("page " + std::to_string(page));
        SelectPage(window, page);
        EXPECT_EQ(SettledPageProblem(window, page), "");
    }
    EXPECT_EQ(program.Close(window), 0u);
}

// Whether `text`, in the window's font at the session's scale and wrapped at
// words as a control wraps it, fits `width` by `height` pixels.
bool TextFits(const std::wstring& text, int width, int height) {
    RECT r = {0, 0, width, 0};
    WithWindowFont([&](HDC dc) { DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX); });
    return r.right <= width && r.bottom <= height;
}

// What is wrong with where a visible control lies and what it shows, or
// empty: the page list on its card, the footer's buttons on the footer, captions whole,
// everything else but the help view (whose bounds are the table's) on the
// page card; a label's text and a check box's caption beside the system's
// glyph whole.
std::string ControlProblem(HWND window, HWND control) {
    RECT client{};
    GetClientRect(window, &client);
    const int bottom = client.bottom - Px(70), id = GetDlgCtrlID(control);
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    RECT card = {Px(175), Px(10), Px(665), bottom};
    if (id == IDC_NAVIGATION) card = {Px(15), Px(10), Px(165), bottom};
    const bool footer = id == IDC_RESTORE_DEFAULTS || id == IDC_SAVE || id == IDC_CANCEL;
    if (footer) card = {0, bottom, client.right, client.bottom};
    RECT r = ClientRectOf(control, window), both{};
    if (!wcscmp(name, L"FakeWebView2") || IsRectEmpty(&r)) return {};  // a label that only names its list
    UnionRect(&both, &card, &r);
    if (!EqualRect(&both, &card)) return "control " + std::to_string(id) + " at " + RectText(r) + " leaves " + RectText(card);
    // A push button's caption fits inside its edges and the system's margins.
    if (footer && !TextFits(WindowText(control), r.right - r.left - Px(12), r.bottom - r.top - Px(6)))
        return "button " + std::to_string(id) + " cuts \"" + WideToUtf8(WindowText(control)) + "\"";
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    const bool box = !_wcsicmp(name, L"Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX);
    if (!box && _wcsicmp(name, L"Static")) return {};
    const int glyph = box ? GetSystemMetrics(SM_CXMENUCHECK) + Px(4) : 0;  // and the button's own gap
    if (!TextFits(WindowText(control), r.right - r.left - glyph, r.bottom - r.top))
        return "control " + std::to_string(id) + " cuts \"" + WideToUtf8(WindowText(control)) + "\"";
    return {};
}

// How wide the blue disc of help button `id` stands on the screen.
int BlueWidth(HWND window, int id) {
    ScreenImage image(window);
    RECT r = ClientRectOf(Control(window, id), window);
    int first = r.right, last = r.left - 1;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (GetBValue(image.At(x, y)) > GetRValue(image.At(x, y)) + 50) first = std::min(first, x), last = std::max(last, x);
    return last - first + 1;
}

// The window at the display scale of its ctest entry, which runs it in a
// Wine session of that scale on a screen of such a display's size
// (display_scale.sh): on the screen wherever it is asked for, everything
// scaled as at 100 % and checked by the same pixels, nothing cut, Save and
// Cancel working; the narrow window in Arabic.
class DisplayScaleTest : public ProgramTest {};

TEST_F(DisplayScaleTest, TheWholeWindowScalesAndFitsTheScreen) {
    const char* dpi = std::getenv("SLATEWASH_EXPECTED_DPI");
    if (!dpi) GTEST_SKIP() << "run by ctest in a session of its own scale";
    SetProcessDPIAware();
    sessionDpi = std::atoi(dpi);
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), sessionDpi) << "the session's scale";
    ReleaseDC(nullptr, screen);
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    ASSERT_EQ(std::to_string(desktop.right) + "x" + std::to_string(desktop.bottom), std::getenv("SLATEWASH_SCREEN_SIZE"));
    // Asked for near the screen's bottom right, as a cascade can place it.
    const POINT corner = {desktop.right - 200, desktop.bottom - 200};
    for (const std::wstring& folder : {narrow_, wide_}) {
        const bool wide = folder == wide_;
        SCOPED_TRACE(wide ? "wide, in the display language" : "narrow, in Arabic");
        const std::string file = wide ? kDefaultFile : SettingsIn(L"ar");
        WriteSettings(file);
        RunningProgram program(folder, appData_.Path(), &corner);
        HWND window = program.WaitForWindow();
        RECT outer{}, both{}, client{};
        GetWindowRect(window, &outer);
        UnionRect(&both, &outer, &desktop);
        EXPECT_TRUE(EqualRect(&both, &desktop)) << RectText(outer) << " is not all on the screen";
        GetClientRect(window, &client);
        ASSERT_EQ(RectText(client), RectText({0, 0, Px(wide ? 1219 : 679), Px(665)})) << "nothing else can fit";
        EXPECT_EQ(wide ? FrameProblem(window, kWideFrame) : FrameProblem(window, kNarrowFrame), "");
        EXPECT_EQ(LayoutProblems(window), "");
        int ink = 0;
        PumpUntil([&] { return (ink = InkHeight(window, Control(window, IDC_LANGUAGE_LABEL), 0, 0)) > 0; }, 5000);
        EXPECT_GE(ink, Px(12)) << "the font's height";
        EXPECT_LE(ink, Px(19)) << "the font's height";
        EXPECT_TRUE(PumpUntil([&] { return BlueWidth(window, 3001) >= GetSystemMetrics(SM_CXSMICON) * 3 / 4; }, 3000));
        EXPECT_LE(BlueWidth(window, 3001), GetSystemMetrics(SM_CXSMICON)) << "the help icon is of the small-icon size";
        for (int page = 0; page < 5; ++page) {
            SCOPED_TRACE("page " + std::to_string(page));
            if (page) SelectPage(window, page);
            EXPECT_EQ(SettledPageProblem(window, page), "");
            for (HWND child : Children(window, true)) EXPECT_EQ(ControlProblem(window, child), "");
        }
        if (wide) {
            HWND view = FindWindowExW(window, nullptr, L"FakeWebView2", nullptr);
            EXPECT_EQ(RectText(ClientRectOf(view, window)), RectText({Px(675), Px(10), Px(1205), Px(580)}));
        }
        Click(window, wide ? IDC_CANCEL : IDC_SAVE);
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_EQ(ReadBytes(SettingsFile()), file) << "Save writes what it read, Cancel keeps it";
    }
}

}  // namespace

namespace {

// WM_DPICHANGED as Windows sends it when the window is dragged onto a
// monitor of `dpi`: the new DPI and a rectangle there, the window's size
// scaled. Windows' own message points into the program's memory, and so
// does this one's rectangle.
void SendDpiChange(const RunningProgram& program, HWND window, int dpi, int fromDpi, POINT at) {
    const SIZE size = OuterSize(window);
    const RECT suggested = {at.x, at.y, at.x + MulDiv(size.cx, dpi, fromDpi), at.y + MulDiv(size.cy, dpi, fromDpi)};
    std::unique_ptr<void, decltype(&CloseHandle)> process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, program.ProcessId()), CloseHandle);
    void* remote = VirtualAllocEx(process.get(), nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process.get(), remote, &suggested, sizeof suggested, nullptr))
        StopTest("the suggested rectangle written into the program");
    Ask(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote), "the DPI change");
}

}  // namespace

// Wine gives no monitor a DPI of its own, so the test sends what Windows
// sends for a drag onto a 150 % monitor and back: each time the window is
// built anew for that DPI where the rectangle says, laid out and checked as
// at that display scale, with the edit, the page, the focus and the help
// view's topic kept.
class MonitorScaleTest : public ProgramTest {};

TEST_F(MonitorScaleTest, AMonitorOfAnotherScaleBuildsTheWindowForIt) {
    if (!std::getenv("SLATEWASH_SCREEN_SIZE")) GTEST_SKIP() << "run by ctest on a screen that holds the window at 150 %";
    RunningProgram program(wide_, appData_.Path());
    HWND window = program.WaitForWindow();
    SelectPage(window, 1);
    Click(window, 3009);  // the tab spaces' help
    Click(window, IDC_TRIM_SPACES);
    const std::wstring topic = L"https://www.korvenda.com/slatewash/help/en/tab-spaces/?view=app";
    struct RestoreDpi {
        ~RestoreDpi() { sessionDpi = 96; }
    } restore;
    for (auto [dpi, at] : {std::pair{144, POINT{120, 40}}, {96, POINT{60, 30}}}) {
        SCOPED_TRACE(dpi);
        SendDpiChange(program, window, dpi, sessionDpi, at);
        window = program.WaitForWindow(15000, window);
        sessionDpi = dpi;
        RECT outer{}, client{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        EXPECT_EQ(RectText(client), RectText({0, 0, Px(1219), Px(665)}));
        EXPECT_EQ(outer.left, at.x);
        EXPECT_EQ(outer.top, at.y);
        EXPECT_EQ(LayoutProblems(window), "");
        EXPECT_EQ(SettledPageProblem(window, 1), "") << "the page shown before";
        for (HWND child : Children(window, true)) EXPECT_EQ(ControlProblem(window, child), "");
        EXPECT_EQ(IsChecked(window, IDC_TRIM_SPACES), !Settings{}.TrimSpaces) << "the edit kept";
        EXPECT_EQ(ThreadInfo(window).hwndFocus, Control(window, IDC_TRIM_SPACES)) << "the keys kept";
        HWND view = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return (view = FindWindowExW(window, nullptr, L"FakeWebView2", nullptr)) && WindowText(view) == topic; }, 10000))
            << "the help topic kept";
        EXPECT_EQ(RectText(ClientRectOf(view, window)), RectText({Px(675), Px(10), Px(1205), Px(580)}));
    }
    // A change while a warning waits on the window: built anew once it is answered.
    SelectPage(window, 0);
    for (int id : {IDC_HOTKEY_CTRL, IDC_HOTKEY_SHIFT}) Click(window, id);
    Click(window, IDC_SAVE);
    MessageBoxSeen warning = SeeMessageBox(program, window);
    SendDpiChange(program, window, 144, 96, {120, 40});
    EXPECT_FALSE(PumpUntil([&] { return !IsWindow(window); }, 500)) << "built anew under its warning";
    ClickBoxButton(warning.box, IDOK);
    window = program.WaitForWindow(15000, window);
    Click(window, IDC_HOTKEY_CTRL);
    Click(window, IDC_SAVE);
    EXPECT_EQ(program.WaitForExit(), 0u);
    Settings saved;
    saved.TrimSpaces = !saved.TrimSpaces;
    saved.HotkeyShift = false;
    EXPECT_EQ(ReadBytes(SettingsFile()), ComposeSettingsText(saved, WideToUtf8));
}
