// Builds the settings window: navigation list, five pages of controls at
// fixed pixel positions, Save and Cancel, and the help view when the
// WebView2 runtime is present.
#include "ui/settings_window.h"

#include "base/phases.h"
#include "i18n/i18n.h"
#include "i18n/text_keys.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/scoped.h"
#include "ui/window_state.h"
#include "web/web.h"

#include <algorithm>

namespace {

constexpr int kNavigationItemHeight = 54;
constexpr int kMinimumRowHeight = 25;
constexpr int kCheckGlyphWidth = 24;  // check glyph and its gap, not available for text
constexpr int kRowGap = 8;
constexpr int kOptionWidth = 420;
constexpr int kHelpButtonSize = 22;
constexpr int kHelpButtonX = 465;
constexpr wchar_t kSeparatorItem[] = L"────────";
constexpr LRESULT kSeparatorData = -1;

// Text key and help button of each option check box.
struct OptionRow {
    int controlId;
    const wchar_t* textKey;
    int helpId;
};

constexpr OptionRow kOptionRows[] = {
    {IDC_PLAY_SOUND, TextKey::PlaySound, 3003},
    {IDC_START_WITH_WINDOWS, TextKey::StartWithWindows, 3004},
    {IDC_SHOW_STARTUP_NOTIFICATION, TextKey::ShowStartupNotification, 3005},
    {IDC_PERIODICALLY_RESET_HOTKEY, TextKey::PeriodicallyResetHotkey, 3006},
    {IDC_REPLACE_LINE_BREAKS, TextKey::ReplaceLineBreaks, 3007},
    {IDC_REPLACE_TABS, TextKey::ReplaceTabs, 3008},
    {IDC_COLLAPSE_SPACES, TextKey::CollapseSpaces, 3010},
    {IDC_TRIM_SPACES, TextKey::TrimSpaces, 3011},
    {IDC_FULL_WIDTH_SPACES, TextKey::FullWidthSpaces, 3012},
    {IDC_ZERO_WIDTH_SPACES, TextKey::ZeroWidthSpaces, 3013},
    {IDC_NBSP, TextKey::Nbsp, 3014},
    {IDC_MARKDOWN_LINKS, TextKey::MarkdownLinks, 3020},
    {IDC_HTML_TAGS, TextKey::HtmlTags, 3021},
    {IDC_PLAIN_TEXT_ONLY, TextKey::PlainTextOnly, 3022},
    {IDC_EXCEL_VALUES, TextKey::ExcelValues, 3023},
};

const OptionRow* FindOptionRow(int controlId) {
    for (const OptionRow& row : kOptionRows) {
        if (row.controlId == controlId) return &row;
    }
    return nullptr;
}

// The extended style of every window of the current construction:
// WS_EX_RTLREADING for a right-to-left language, decided once per window.
DWORD readingStyle = 0;
// WS_VISIBLE while the first page and the controls outside the pages are
// built; 0 for pages 1 to 4. ShowPage hides them before the window is first
// shown anyway, and a control made hidden costs Wine less: nothing to hide
// afterwards, no redraw when the font is set.
DWORD controlVisibility = WS_VISIBLE;

// What every control of one construction shares.
struct Builder {
    HWND parent;
    HFONT font;  // for measuring; set on the controls at the end
};

HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int x, int y,
                   int width, int height, int id) {
    return CreateWindowExW(readingStyle, className, text.c_str(), WS_CHILD | controlVisibility | style, x, y, width,
                           height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instanceHandle, nullptr);
}

HWND CreateChild(const Builder& b, const wchar_t* className, const std::wstring& text, DWORD style, int x, int y,
                 int width, int height, int id) {
    return CreateControl(b.parent, className, text, style, x, y, width, height, id);
}

HWND AddStatic(const Builder& b, int page, int id, const std::wstring& text, int x, int y, int width, int height) {
    HWND control = CreateChild(b, L"STATIC", text, 0, x, y, width, height, id);
    AddToPage(page, control);
    return control;
}

HWND AddCombo(const Builder& b, int page, int id, int x, int y, int width, int listHeight) {
    HWND control = CreateChild(b, L"COMBOBOX", L"", WS_VSCROLL | CBS_DROPDOWNLIST, x, y, width, listHeight, id);
    AddToPage(page, control);
    return control;
}

void AddComboItem(HWND combo, const std::wstring& text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void AddHelpButton(const Builder& b, int page, int id, int x, int y) {
    AddToPage(page, CreateHelpButton(b.parent, id, x, y));
}

int WindowHeight(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    return rect.bottom - rect.top;
}

// Check-box rows one below the other, each with its help button; returns
// the y below the last row.
int AddOptionRows(const Builder& b, int page, int firstId, int lastId, int y) {
    for (const OptionCheckbox& option : GetOptionCheckboxes()) {
        if (option.controlId < firstId || option.controlId > lastId) continue;
        const OptionRow* row = FindOptionRow(option.controlId);
        if (!row) continue;
        HWND box = CreateCheckbox(b.parent, option.controlId, GetText(row->textKey), *option.setting, 35, y,
                                  kOptionWidth, b.font);
        AddToPage(page, box);
        AddHelpButton(b, page, row->helpId, kHelpButtonX, y + 1);
        y += std::max(WindowHeight(box), kMinimumRowHeight) + kRowGap;
    }
    return y;
}

void FillLanguageCombo(HWND combo) {
    int selected = 0;
    int position = 0;
    for (size_t index = 0; index < languageCatalogue.size(); ++index) {
        const LanguageInfo& entry = languageCatalogue[index];
        if (index == 1) {
            AddComboItem(combo, kSeparatorItem);
            SendMessageW(combo, CB_SETITEMDATA, position++, kSeparatorData);
        }
        bool isSystem = EqualsIgnoringAsciiCase(entry.code, kSystemLanguageCode);
        AddComboItem(combo, isSystem ? GetText(TextKey::SystemSettings) : entry.name);
        SendMessageW(combo, CB_SETITEMDATA, position, static_cast<LPARAM>(index));
        if (EqualsIgnoringAsciiCase(entry.code, currentSettings.Language)) selected = position;
        ++position;
    }
    SendMessageW(combo, CB_SETCURSEL, selected, 0);
}

void BuildGeneralPage(const Builder& b, const std::wstring& runtimeVersion) {
    constexpr int page = 0;
    AddStatic(b, page, IDC_LANGUAGE_LABEL, GetText(TextKey::Language), 35, 55, 100, 22);
    FillLanguageCombo(AddCombo(b, page, IDC_LANGUAGE, 145, 52, 220, 260));
    AddHelpButton(b, page, 3001, 375, 52);
    AddStatic(b, page, IDC_HOTKEY_LABEL, GetText(TextKey::Hotkey), 35, 90, 160, 22);

    int x = 35;
    for (const OptionCheckbox& option : GetOptionCheckboxes()) {
        if (option.controlId < IDC_HOTKEY_ALT || option.controlId > IDC_HOTKEY_WINDOWS) continue;
        int width = option.controlId == IDC_HOTKEY_WINDOWS ? 92 : 68;
        HWND box = CreateChild(b, L"BUTTON", option.firstCaption, BS_AUTOCHECKBOX, x, 115, width, 24, option.controlId);
        SendMessageW(box, BM_SETCHECK, *option.setting ? BST_CHECKED : BST_UNCHECKED, 0);
        AddToPage(page, box);
        x += width;
    }

    HWND letters = AddCombo(b, page, IDC_HOTKEY_KEY, 345, 113, 75, 250);
    for (wchar_t letter = kHotkeyKeyFirst; letter <= kHotkeyKeyLast; ++letter) AddComboItem(letters, {letter});
    SendMessageW(letters, CB_SETCURSEL, HotkeyKeyToItem(currentSettings.HotkeyKey), 0);
    AddHelpButton(b, page, 3002, 430, 114);

    int y = AddOptionRows(b, page, IDC_PLAY_SOUND, IDC_PERIODICALLY_RESET_HOTKEY, 155);

    std::wstring status = GetText(TextKey::WebView2Status) + L": ";
    status += runtimeVersion.empty() ? GetText(TextKey::WebView2NotInstalled)
                                     : GetText(TextKey::WebView2Installed) + L" (" + runtimeVersion + L")";
    AddStatic(b, page, IDC_WEBVIEW2_STATUS, status, 35, y + 12, 430, 24);
    AddToPage(page, CreateChild(b, L"BUTTON", GetText(TextKey::DownloadWebView2), BS_FLAT, 35, y + 42, 430, 30,
                                IDC_DOWNLOAD_WEBVIEW2));
}

void BuildWhitespacePage(const Builder& b) {
    constexpr int page = 1;
    int y = AddOptionRows(b, page, IDC_REPLACE_LINE_BREAKS, IDC_REPLACE_TABS, 55);
    AddStatic(b, page, IDC_TAB_SPACES_LABEL, GetText(TextKey::TabSpaces), 65, y, 270, 24);
    HWND tabs = AddCombo(b, page, IDC_TAB_SPACES, 350, y - 3, 70, 180);
    for (int n = kTabSpacesMin; n <= kTabSpacesMax; ++n) AddComboItem(tabs, std::to_wstring(n));
    SendMessageW(tabs, CB_SETCURSEL, TabSpacesToItem(currentSettings.TabSpaces), 0);
    AddHelpButton(b, page, 3009, 430, y - 2);
    AddOptionRows(b, page, IDC_COLLAPSE_SPACES, IDC_NBSP, y + 34);
}

void BuildTextConversionPage(const Builder& b) {
    constexpr int page = 2;
    struct WidthRow {
        int labelId;
        const wchar_t* labelKey;
        int comboId;
        int32_t Settings::*field;
    };
    const WidthRow rows[] = {
        {IDC_KATAKANA_LABEL, TextKey::Katakana, IDC_KATAKANA_WIDTH, &Settings::KatakanaWidth},
        {IDC_NUMBERS_LABEL, TextKey::Numbers, IDC_NUMBER_WIDTH, &Settings::NumberWidth},
        {IDC_LATIN_LABEL, TextKey::LatinLetters, IDC_LATIN_WIDTH, &Settings::LatinWidth},
        {IDC_SYMBOLS_LABEL, TextKey::Symbols, IDC_SYMBOL_WIDTH, &Settings::SymbolWidth},
    };
    for (int g = 0; g < 4; ++g) {
        int y = 63 + 52 * g;
        AddStatic(b, page, rows[g].labelId, GetText(rows[g].labelKey), 35, y + 2, 170, 24);
        HWND combo = AddCombo(b, page, rows[g].comboId, 220, y - 1, 235, 160);
        for (const wchar_t* key : {TextKey::WidthNone, TextKey::WidthFullToHalf, TextKey::WidthHalfToFull})
            AddComboItem(combo, GetText(key));
        SendMessageW(combo, CB_SETCURSEL, WidthToItem(currentSettings.*rows[g].field), 0);
        AddHelpButton(b, page, 3015 + g, kHelpButtonX, y);
    }
    AddToPage(page, CreateCheckbox(b.parent, IDC_NORMALIZE_NFKC, GetText(TextKey::NormalizeNFKC),
                                   currentSettings.NormalizeNFKC, 35, 285, kOptionWidth, b.font));
    AddHelpButton(b, page, 3019, kHelpButtonX, 286);
    std::wstring description = GetText(TextKey::NFKCDescription);
    AddStatic(b, page, IDC_NFKC_DESCRIPTION, description, 60, 325, 405,
              MeasureTextHeight(description, 405, b.font, kMinimumRowHeight));
}

void BuildOtherPage(const Builder& b) {
    constexpr int page = 3;
    int y = AddOptionRows(b, page, IDC_MARKDOWN_LINKS, IDC_EXCEL_VALUES, 55);
    std::wstring description = GetText(TextKey::ExcelDescription);
    AddStatic(b, page, IDC_EXCEL_DESCRIPTION, description, 35, y, 455,
              MeasureTextHeight(description, 455, b.font, kMinimumRowHeight));
}

void BuildVersionPage(const Builder& b) {
    constexpr int page = 4;
    AddStatic(b, page, IDC_PRODUCT_NAME, kProductName, 35, 60, 430, 30);
    AddStatic(b, page, IDC_VERSION, GetText(TextKey::VersionLabel) + L": " + kVersionText, 35, 105, 430, 24);
    AddToPage(page, CreateChild(b, L"BUTTON", web::kMakerSiteUrl, BS_FLAT, 35, 180, 430, 30, IDC_WEBSITE));
    AddStatic(b, page, IDC_COPYRIGHT, GetText(TextKey::CopyrightLabel), 35, 225, 430, 24);
}

void CreateNavigationList(const Builder& b) {
    HWND list = CreateChild(b, L"LISTBOX", L"",
                            WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED | LBS_NOTIFY, 20,
                            20, 140, 550, IDC_NAVIGATION);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, kNavigationItemHeight);
    for (const wchar_t* key : {TextKey::SystemSettings, TextKey::WhitespaceSettings, TextKey::TextConversionSettings,
                               TextKey::OtherSettings, TextKey::VersionTab}) {
        std::wstring text = GetText(key);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void DoNothing(bool) {}

// The system's question-mark icon. A shared icon is the same handle on every
// load and is never freed, so it is looked up once, not once per button.
HANDLE QuestionIcon() {
    static HANDLE icon = nullptr;
    if (!icon) icon = LoadImageW(nullptr, IDI_QUESTION, IMAGE_ICON, 16, 16, LR_SHARED);
    return icon;
}

}  // namespace

HFONT ControlFont() {
    return uiFont ? uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void AddToPage(int page, HWND control) {
    if (page < 0 || page >= static_cast<int>(kPageCount) || !control) return;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left + kPageOffsetX, rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pageControls[page].push_back(control);
}

void ShowPage(int page) {
    for (const auto& controls : pageControls) {
        for (HWND control : controls) ShowWindow(control, SW_HIDE);
    }
    if (mainWindow) {
        InvalidateRect(mainWindow, &kPageArea, FALSE);
        UpdateWindow(mainWindow);
    }
    if (page < 0 || page >= static_cast<int>(kPageCount)) return;
    for (HWND control : pageControls[page]) {
        ShowWindow(control, SW_SHOW);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

int MeasureTextHeight(const std::wstring& text, int width, HFONT font, int minimumHeight) {
    Scoped screen(GetDC(nullptr), [](HDC dc) { ReleaseDC(nullptr, dc); });
    Scoped selection(SelectObject(screen.Get(), font), [&](HGDIOBJ old) { SelectObject(screen.Get(), old); });
    RECT rect = {0, 0, width, 0};
    DrawTextW(screen.Get(), text.c_str(), -1, &rect, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    return std::max(minimumHeight, static_cast<int>(rect.bottom - rect.top) + 8);
}

HWND CreateCheckbox(HWND parent, int id, const std::wstring& text, bool checked, int x, int y, int width, HFONT font) {
    int height = MeasureTextHeight(text, width - kCheckGlyphWidth, font, kMinimumRowHeight);
    HWND box = CreateControl(parent, L"BUTTON", text, BS_MULTILINE | BS_AUTOCHECKBOX, x, y, width, height, id);
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return box;
}

HWND CreateHelpButton(HWND parent, int id, int x, int y) {
    HWND button = CreateControl(parent, L"BUTTON", GetText(TextKey::Help), WS_TABSTOP | BS_ICON, x, y, kHelpButtonSize,
                                kHelpButtonSize, id);
    SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(QuestionIcon()));
    return button;
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

void CreateSettingsWindow() {
    if (mainWindow) {
        ShowWindow(mainWindow, SW_RESTORE);
        SetForegroundWindow(mainWindow);
        return;
    }
    TakeSettingsSnapshot();
    std::wstring runtimeVersion = web::GetWebView2RuntimeVersion();
    bool hasRuntime = !runtimeVersion.empty();
    readingStyle = IsRightToLeftLanguage() ? WS_EX_RTLREADING : 0;

    std::wstring title = GetText(TextKey::SettingsTitle);
    mainWindow = CreateWindowExW(WS_EX_DLGMODALFRAME | readingStyle, kWindowClassName, title.c_str(),
                                 WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                 hasRuntime ? kWideWindowWidth : kNarrowWindowWidth, kWindowHeight, nullptr, nullptr,
                                 instanceHandle, nullptr);
    MarkPhase("window created");
    // Without a window there is nothing to build: children without a parent,
    // and fonts sent to every top-level window of the desktop.
    if (!mainWindow) return;
    HFONT font = ControlFont();
    for (auto& controls : pageControls) controls.clear();

    Builder builder{mainWindow, font};
    CreateNavigationList(builder);
    BuildGeneralPage(builder, runtimeVersion);
    controlVisibility = 0;
    BuildWhitespacePage(builder);
    BuildTextConversionPage(builder);
    BuildOtherPage(builder);
    BuildVersionPage(builder);
    controlVisibility = WS_VISIBLE;
    CreateChild(builder, L"BUTTON", GetText(TextKey::Save), BS_DEFPUSHBUTTON, 470, 595, 90, 30, IDC_SAVE);
    CreateChild(builder, L"BUTTON", GetText(TextKey::Cancel), BS_PUSHBUTTON, 570, 595, 90, 30, IDC_CANCEL);
    MarkPhase("controls created");

    EnumChildWindows(mainWindow, SetChildFont, reinterpret_cast<LPARAM>(font));
    MarkPhase("fonts set");
    ShowPage(0);
    MarkPhase("page shown");
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    MarkPhase("shown and painted");

    if (hasRuntime) {
        helpView = std::make_unique<web::PageView>();
        helpView->Start(mainWindow, kHelpViewBounds, web::GetHelpUrl(web::kOverviewTopic), DoNothing);
    }
}
