// Builds the settings window: navigation list, five pages of controls at
// fixed pixel positions, the footer's buttons, and the help view when the
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
#include <iterator>

namespace {

constexpr int kMinimumRowHeight = 25;
constexpr int kMaximumListItemHeight = 255;  // what LB_SETITEMHEIGHT takes at most
// Beside the check glyph (the system's, of its own size at each scale) a
// check box keeps this gap free of text: 24 pixels in all at 96 DPI.
constexpr int kCheckTextGap = 11;
constexpr int kTextPadding = 8;  // a measured text's height beyond its lines
constexpr int kUiFontHeight = 16;
constexpr int kRowGap = 8;
constexpr int kTabLineAdvance = 34;
constexpr int kHelpButtonSize = 22;
// Restore defaults at its narrowest, ending 10 pixels left of Save; a push
// button's caption keeps this much of its width free.
constexpr Place kRestoreDefaultsPlace = {300, 595, 160, 30};
constexpr int kButtonTextMargin = 24;
// Where each page's flowing rows start (pages 2 and 4 have none).
constexpr int kFlowTop[kPageCount] = {155, 55, 0, 55, 0};
constexpr wchar_t kSeparatorItem[] = L"────────";

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

// `place` (96 DPI) in pixels, `top` pixels further down.
Place At(int top, const Place& place) {
    return {ToPixels(place.x), top + ToPixels(place.y), ToPixels(place.width), ToPixels(place.height)};
}

// `pixels` in pixels.
HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, const Place& pixels,
                   int id) {
    return CreateWindowExW(readingStyle, className, text.c_str(), WS_CHILD | controlVisibility | style, pixels.x,
                           pixels.y, pixels.width, pixels.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instanceHandle, nullptr);
}

void AddStatic(const Builder& b, int page, int id, const std::wstring& text, const Place& pixels) {
    AddToPage(page, CreateControl(b.parent, L"STATIC", text, 0, pixels, id));
}

// The rectangle DrawText gives `text` in `font`, `width` pixels wide (0: as
// wide as one line of it), drawn with `format`.
RECT MeasureText(const std::wstring& text, int width, HFONT font, UINT format) {
    Scoped screen(GetDC(nullptr), [](HDC dc) { ReleaseDC(nullptr, dc); });
    Scoped selection(SelectObject(screen.Get(), font), [&](HGDIOBJ old) { SelectObject(screen.Get(), old); });
    RECT rect = {0, 0, width, 0};
    DrawTextW(screen.Get(), text.c_str(), -1, &rect, format | DT_CALCRECT | DT_NOPREFIX);
    return rect;
}

// Pixels of a text `width` pixels wide, at least `minimumHeight` (96 DPI).
int MeasureTextHeight(const std::wstring& text, int width, HFONT font, int minimumHeight) {
    const RECT rect = MeasureText(text, width, font, DT_WORDBREAK);
    return std::max(ToPixels(minimumHeight), static_cast<int>(rect.bottom - rect.top) + ToPixels(kTextPadding));
}

// A description of the page below its options, as tall as its text.
void AddDescription(const Builder& b, int page, int id, const wchar_t* textKey, int top, Place place) {
    std::wstring text = GetText(textKey);
    Place pixels = At(top, place);
    pixels.height = MeasureTextHeight(text, pixels.width, b.font, kMinimumRowHeight);
    AddStatic(b, page, id, text, pixels);
}

// As tall as its text, which wraps beside the check glyph.
HWND CreateCheckbox(const Builder& b, int id, const std::wstring& text, bool checked, Place pixels) {
    int glyphAllowance = MetricAtDisplayDpi(SM_CXMENUCHECK) + ToPixels(kCheckTextGap);
    pixels.height = MeasureTextHeight(text, pixels.width - glyphAllowance, b.font, kMinimumRowHeight);
    HWND box = CreateControl(b.parent, L"BUTTON", text, WS_TABSTOP | BS_MULTILINE | BS_AUTOCHECKBOX, pixels, id);
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return box;
}

// What a help button is about: its box's text, else its list's label (the
// hotkey's letter list: the hotkey).
const wchar_t* HelpSubjectKey(const OptionRow& row) {
    if (row.textKey) return row.textKey;
    return row.kind == OptionKind::HotkeyLetter ? TextKey::Hotkey : row.labelKey;
}

// Its window text, which BS_ICON does not draw, is its name for screen
// readers: "Help: " and its option.
std::wstring HelpButtonName(const OptionRow& row) {
    std::wstring name = GetText(TextKey::HelpFor);
    const size_t at = name.find(TextKey::kOptionMarker);
    if (at != std::wstring::npos)
        name.replace(at, std::size(TextKey::kOptionMarker) - 1, GetText(HelpSubjectKey(row)));
    return name;
}

HWND CreateHelpButton(HWND parent, const OptionRow& row, int top) {
    HWND button = CreateControl(parent, L"BUTTON", HelpButtonName(row), WS_TABSTOP | BS_ICON,
                                At(top, {row.help.x, row.help.y, kHelpButtonSize, kHelpButtonSize}), row.helpId);
    SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(helpIcon));
    return button;
}

void AddComboItem(HWND combo, const std::wstring& text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Returns the item of the language of currentSettings.
int FillLanguageCombo(HWND combo) {
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
    windowLanguageItem = selected;
    return selected;
}

// Fills a list option's items; returns the item that shows its field.
int FillList(HWND combo, const OptionRow& row) {
    switch (row.kind) {
    case OptionKind::LanguageList: return FillLanguageCombo(combo);
    case OptionKind::HotkeyLetter:
        for (wchar_t letter = kHotkeyKeyFirst; letter <= kHotkeyKeyLast; ++letter) AddComboItem(combo, {letter});
        break;
    case OptionKind::TabSpaces:
        for (int n = kTabSpacesMin; n <= kTabSpacesMax; ++n) AddComboItem(combo, std::to_wstring(n));
        break;
    default:
        for (const wchar_t* key : {TextKey::WidthNone, TextKey::WidthFullToHalf, TextKey::WidthHalfToFull})
            AddComboItem(combo, GetText(key));
    }
    return ListItemOf(row, currentSettings);
}

// The option's own control at its place, `top` pixels down from the page's
// top, showing its field of currentSettings.
HWND CreateOptionControl(const Builder& b, const OptionRow& row, int top) {
    const Place pixels = At(top, row.place);
    const int id = row.controlId;
    if (row.kind == OptionKind::Box)
        return CreateCheckbox(b, id, GetText(row.textKey), currentSettings.*row.flag, pixels);
    if (row.kind == OptionKind::Modifier) {
        HWND box = CreateControl(b.parent, L"BUTTON", row.captionJa, WS_TABSTOP | BS_AUTOCHECKBOX, pixels, id);
        SendMessageW(box, BM_SETCHECK, currentSettings.*row.flag ? BST_CHECKED : BST_UNCHECKED, 0);
        return box;
    }
    HWND list = CreateControl(b.parent, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, pixels, id);
    SendMessageW(list, CB_SETCURSEL, FillList(list, row), 0);
    return list;
}

// Label, control and help button of every option of the page, in table
// order; returns the flowing y, in pixels, below the last flowing row.
int AddOptionRows(const Builder& b, int page) {
    int y = ToPixels(kFlowTop[page]);
    for (const OptionRow& row : OptionRows()) {
        if (row.page != page) continue;
        int top = row.flows ? y : 0;
        if (row.labelId) AddStatic(b, page, row.labelId, GetText(row.labelKey), At(top, row.label));
        HWND control = CreateOptionControl(b, row, top);
        AddToPage(page, control);
        if (row.helpId) AddToPage(page, CreateHelpButton(b.parent, row, top));
        if (!row.flows) continue;
        RECT rect{};
        GetWindowRect(control, &rect);
        y += row.kind == OptionKind::Box
                 ? std::max<int>(rect.bottom - rect.top, ToPixels(kMinimumRowHeight)) + ToPixels(kRowGap)
                 : ToPixels(kTabLineAdvance);
    }
    return y;
}

void BuildGeneralPage(const Builder& b, const std::wstring& runtimeVersion) {
    constexpr int page = 0;
    int y = AddOptionRows(b, page);
    std::wstring status = GetText(TextKey::WebView2Status) + L": ";
    status += runtimeVersion.empty() ? GetText(TextKey::WebView2NotInstalled)
                                     : GetText(TextKey::WebView2Installed) + L" (" + runtimeVersion + L")";
    AddStatic(b, page, IDC_WEBVIEW2_STATUS, status, At(y, {35, 12, 430, 24}));
    AddToPage(page, CreateControl(b.parent, L"BUTTON", GetText(TextKey::DownloadWebView2), WS_TABSTOP | BS_FLAT,
                                  At(y, {35, 42, 430, 30}), IDC_DOWNLOAD_WEBVIEW2));
}

void BuildTextConversionPage(const Builder& b) {
    constexpr int page = 2;
    AddOptionRows(b, page);
    AddDescription(b, page, IDC_NFKC_DESCRIPTION, TextKey::NFKCDescription, 0, {60, 325, 405, 0});
}

void BuildOtherPage(const Builder& b) {
    constexpr int page = 3;
    int y = AddOptionRows(b, page);
    AddDescription(b, page, IDC_EXCEL_DESCRIPTION, TextKey::ExcelDescription, y, {35, 0, 455, 0});
}

void BuildVersionPage(const Builder& b) {
    constexpr int page = 4;
    AddStatic(b, page, IDC_PRODUCT_NAME, kProductName, At(0, {35, 60, 430, 30}));
    AddStatic(b, page, IDC_VERSION, GetText(TextKey::VersionLabel) + L": " + kVersionText, At(0, {35, 105, 430, 24}));
    AddToPage(page, CreateControl(b.parent, L"BUTTON", web::kMakerSiteUrl, WS_TABSTOP | BS_FLAT, At(0, {35, 180, 430, 30}),
                                  IDC_WEBSITE));
    AddStatic(b, page, IDC_COPYRIGHT, GetText(TextKey::CopyrightLabel), At(0, {35, 225, 430, 24}));
}

// Left of Save, as wide as its caption is in the window's language, but
// never past the page list's card.
void CreateRestoreDefaultsButton(const Builder& b) {
    const std::wstring caption = GetText(TextKey::RestoreDefaults);
    const RECT text = MeasureText(caption, 0, b.font, DT_SINGLELINE);
    const Place place = At(0, kRestoreDefaultsPlace);
    const int right = place.x + place.width, leftmost = ToPixels(kPageArea.left);
    const int width = std::min(std::max<int>(place.width, text.right + ToPixels(kButtonTextMargin)), right - leftmost);
    CreateControl(b.parent, L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON, {right - width, place.y, width, place.height},
                  IDC_RESTORE_DEFAULTS);
}

// Its name for screen readers comes from the label just before it, which
// takes no pixels.
void CreateNavigationList(const Builder& b) {
    CreateControl(b.parent, L"STATIC", GetText(TextKey::PageList), 0, {0, 0, 0, 0}, IDC_NAVIGATION_LABEL);
    HWND list = CreateControl(b.parent, L"LISTBOX", L"",
                              WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | LBS_OWNERDRAWVARIABLE | LBS_NOTIFY,
                              At(0, {20, 20, 140, 550}), IDC_NAVIGATION);
    // Each item asks the window for its height (WM_MEASUREITEM) as it is added.
    const int itemHeight = ToPixels(kPageItemHeight);
    for (const wchar_t* key : {TextKey::SystemSettings, TextKey::WhitespaceSettings, TextKey::TextConversionSettings,
                               TextKey::OtherSettings, TextKey::VersionTab}) {
        std::wstring text = GetText(key);
        LRESULT item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        // Past 255 pixels (over 450 DPI), a list that kept less than it was
        // told, or a byte of it, is given 255: a little short, never squeezed.
        if (itemHeight > kMaximumListItemHeight && SendMessageW(list, LB_GETITEMHEIGHT, item, 0) != itemHeight)
            SendMessageW(list, LB_SETITEMHEIGHT, item, kMaximumListItemHeight);
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void DoNothing(bool) {}

// The system's question-mark icon at the small-icon size, once per window.
// A shared icon is never freed; Windows' cache can hand out one of another
// size than asked for, and the copy made of it then dies with the window.
void LoadHelpIcon() {
    const int size = MetricAtDisplayDpi(SM_CXSMICON);
    HICON shared = static_cast<HICON>(LoadImageW(nullptr, IDI_QUESTION, IMAGE_ICON, size, size, LR_SHARED));
    helpIcon = IconOfSize(shared, size);
    helpIconIsCopy = helpIcon != shared;
}

HFONT CreateUiFont() {
    return CreateFontW(-ToPixels(kUiFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       L"Segoe UI");
}

// The window's client area is exactly `client` (96 DPI) scaled, whatever
// frame and title bar the system gave it: its outer size is corrected by
// the difference it measures.
void FitClientArea(HWND window, SIZE client) {
    RECT outer{}, inner{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    const int dx = ToPixels(client.cx) - inner.right, dy = ToPixels(client.cy) - inner.bottom;
    if (dx || dy)
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where the system placed the window (cascaded, or where a shortcut asks)
// it can reach past the work area at a large scale, with Save under the task
// bar: it is moved in, its title bar first.
void KeepInsideWorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT rect{};
    if (!GetWindowRect(window, &rect) ||
        !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    const LONG x = std::max(std::min(rect.left, area.right - (rect.right - rect.left)), area.left);
    const LONG y = std::max(std::min(rect.top, area.bottom - (rect.bottom - rect.top)), area.top);
    if (x != rect.left || y != rect.top)
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int ToPixels(int length) {
    return MulDiv(length, displayDpi, kLayoutDpi);
}

RECT ToPixels(const RECT& rect) {
    return {ToPixels(rect.left), ToPixels(rect.top), ToPixels(rect.right), ToPixels(rect.bottom)};
}

HICON IconOfSize(HICON icon, int size) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return icon;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    for (HBITMAP part : {info.hbmColor, info.hbmMask})
        if (part) DeleteObject(part);
    if (bitmap.bmWidth == size) return icon;
    HICON copy = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
    return copy ? copy : icon;
}

void ReleaseHelpIcon() {
    if (helpIconIsCopy) DestroyIcon(helpIcon);
    helpIcon = nullptr;
    helpIconIsCopy = false;
}

HFONT ControlFont() {
    return uiFont ? uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void AddToPage(int page, HWND control) {
    if (page < 0 || page >= static_cast<int>(kPageCount) || !control) return;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left + ToPixels(kPageOffsetX), rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pageControls[page].push_back(control);
}

void ShowPage(int page) {
    for (const auto& controls : pageControls) {
        for (HWND control : controls) ShowWindow(control, SW_HIDE);
    }
    if (mainWindow) {
        RECT pageArea = ToPixels(kPageArea);
        InvalidateRect(mainWindow, &pageArea, FALSE);
        UpdateWindow(mainWindow);
    }
    if (page < 0 || page >= static_cast<int>(kPageCount)) return;
    for (HWND control : pageControls[page]) {
        ShowWindow(control, SW_SHOW);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

void CreateSettingsWindow(const WindowPlace* place) {
    if (mainWindow) {
        ShowWindow(mainWindow, SW_RESTORE);
        SetForegroundWindow(mainWindow);
        return;
    }
    TakeSettingsSnapshot();
    std::wstring runtimeVersion = web::GetWebView2RuntimeVersion();
    bool hasRuntime = !runtimeVersion.empty();
    readingStyle = IsRightToLeftLanguage() ? WS_EX_RTLREADING : 0;
    displayDpi = place ? place->dpi : SystemDpi();

    std::wstring title = GetText(TextKey::SettingsTitle);
    constexpr DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD extendedStyle = WS_EX_DLGMODALFRAME | readingStyle;
    const SIZE client = hasRuntime ? kWideClientSize : kNarrowClientSize;
    SIZE size = OuterSizeAtDisplayDpi({ToPixels(client.cx), ToPixels(client.cy)}, style, extendedStyle);
    const POINT at = place ? place->topLeft : POINT{CW_USEDEFAULT, CW_USEDEFAULT};
    if (beforeWindowCreationForTests) beforeWindowCreationForTests();
    mainWindow = CreateWindowExW(extendedStyle, kWindowClassName, title.c_str(), style, at.x, at.y, size.cx, size.cy,
                                 nullptr, nullptr, instanceHandle, nullptr);
    MarkPhase("window created");
    // Without a window there is nothing to build: children without a parent,
    // and fonts sent to every top-level window of the desktop.
    if (!mainWindow) return;
    // A first window is laid out for the monitor it landed on.
    if (!place) displayDpi = WindowDpi(mainWindow);
    FitClientArea(mainWindow, client);
    KeepInsideWorkArea(mainWindow);
    // The old window's controls, the only users of the old font, are gone.
    if (uiFont) DeleteObject(uiFont);
    uiFont = CreateUiFont();
    LoadHelpIcon();
    MarkPhase("font and icon made");
    HFONT font = ControlFont();
    for (auto& controls : pageControls) controls.clear();

    Builder builder{mainWindow, font};
    CreateNavigationList(builder);
    BuildGeneralPage(builder, runtimeVersion);
    controlVisibility = 0;
    AddOptionRows(builder, 1);
    BuildTextConversionPage(builder);
    BuildOtherPage(builder);
    BuildVersionPage(builder);
    controlVisibility = WS_VISIBLE;
    // The footer, in the order Tab reaches it after the page.
    CreateRestoreDefaultsButton(builder);
    CreateControl(builder.parent, L"BUTTON", GetText(TextKey::Save), WS_TABSTOP | BS_DEFPUSHBUTTON,
                  At(0, {470, 595, 90, 30}), IDC_SAVE);
    CreateControl(builder.parent, L"BUTTON", GetText(TextKey::Cancel), WS_TABSTOP | BS_PUSHBUTTON,
                  At(0, {570, 595, 90, 30}), IDC_CANCEL);
    MarkPhase("controls created");

    EnumChildWindows(mainWindow, SetChildFont, reinterpret_cast<LPARAM>(font));
    MarkPhase("fonts set");
    ShowPage(0);
    MarkPhase("page shown");
    // The keys start on the page list; the focus shows once the keyboard is used.
    focusedControl = nullptr;
    StartLanguageChoice(mainWindow);
    SendMessageW(mainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    MarkPhase("shown and painted");

    if (hasRuntime) {
        helpView = std::make_unique<web::PageView>();
        helpView->Start(mainWindow, ToPixels(kHelpViewBounds), web::GetHelpUrl(helpTopic), DoNothing);
    }
}
