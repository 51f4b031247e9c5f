// The window procedure of the settings window and its commands.
#include "ui/settings_window.h"

#include "base/phases.h"
#include "i18n/i18n.h"
#include "i18n/text_keys.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/scoped.h"
#include "ui/window_state.h"
#include "web/web.h"

#include <iterator>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kAccentBarWidth = 4;

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    Scoped brush(CreateSolidBrush(color), [](HBRUSH b) { DeleteObject(b); });
    FillRect(dc, &rect, brush.Get());
}

// The item text is fetched at its own length, so a long page name from a
// locale file cannot overrun a fixed buffer.
std::wstring NavigationItemText(HWND window, UINT item) {
    HWND list = GetDlgItem(window, IDC_NAVIGATION);
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, item, 0);
    if (length == LB_ERR) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == LB_ERR) return {};
    return std::wstring(buffer.data());
}

// Whether the focus is shown: on Windows only once the keyboard has been
// used in the window, or always when the user asks for keyboard cues
// (WM_UPDATEUISTATE).
bool FocusShown(HWND control) {
    return !(SendMessageW(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void DrawNavigationItem(HWND window, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillSolid(item.hDC, item.rcItem, ColourOf(selected ? Colour::PageSelected : Colour::PageNormal));
    if (selected) {
        RECT bar = item.rcItem;
        bar.right = bar.left + ToPixels(kAccentBarWidth);
        FillSolid(item.hDC, bar, ColourOf(Colour::PageAccent));
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT) && FocusShown(item.hwndItem)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -ToPixels(2), -ToPixels(2));
        focus.left += ToPixels(kAccentBarWidth);
        DrawFocusRect(item.hDC, &focus);
    }
    std::wstring text = NavigationItemText(window, item.itemID);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, ColourOf(selected ? Colour::PageTextSelected : Colour::PageTextNormal));
    RECT textRect = item.rcItem;
    textRect.left += ToPixels(12);
    textRect.top += ToPixels(5);
    textRect.right -= ToPixels(8);
    textRect.bottom -= ToPixels(5);
    Scoped selection(SelectObject(item.hDC, ControlFont()), [&](HGDIOBJ old) { SelectObject(item.hDC, old); });
    // DT_VCENTER centres a single line only: a name that may wrap is measured
    // and its lines placed in the middle; one too tall starts at the top.
    constexpr UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    RECT measured = textRect;
    DrawTextW(item.hDC, text.c_str(), -1, &measured, format | DT_CALCRECT);
    const LONG room = (textRect.bottom - textRect.top) - (measured.bottom - measured.top);
    if (room > 0) textRect.top += room / 2;
    DrawTextW(item.hDC, text.c_str(), -1, &textRect, format);
}

void CloseAndQuit(HWND window) {
    DestroyWindow(window);
    PostQuitMessage(0);
}

// A box of the window's language reads in its direction, as the window does.
UINT MessageBoxReading() {
    return IsRightToLeftLanguage() ? MB_RTLREADING | MB_RIGHT : 0;
}

void ShowWarning(HWND window, const wchar_t* textKey) {
    std::wstring text = GetText(textKey);
    MessageBoxW(window, text.c_str(), kProductName, MB_ICONWARNING | MB_OK | MessageBoxReading());
}

// The hotkey as RegisterHotKey takes it, and its name as the user reads it.
struct Hotkey {
    UINT modifiers = 0;
    UINT key = 0;
    std::wstring name;
};

// The modifier boxes' flags, in the order a combination is named.
constexpr std::pair<int, UINT> kModifierFlags[] = {
    {IDC_HOTKEY_CTRL, MOD_CONTROL}, {IDC_HOTKEY_ALT, MOD_ALT}, {IDC_HOTKEY_SHIFT, MOD_SHIFT}, {IDC_HOTKEY_WINDOWS, MOD_WIN}};

Hotkey HotkeyOf(const Settings& s) {
    Hotkey hotkey{0, s.HotkeyKey, L""};
    for (const auto& [id, flag] : kModifierFlags) {
        for (const OptionRow& row : OptionRows()) {
            if (row.controlId != id || !(s.*row.flag)) continue;
            hotkey.modifiers |= flag;
            hotkey.name += std::wstring(row.captionJa) + L"+";
        }
    }
    hotkey.name += static_cast<wchar_t>(s.HotkeyKey);
    return hotkey;
}

// The paster registers the hotkey it is told; one that another program or
// Windows holds would silently never paste. The running paster holds the
// hotkey of the snapshot itself, so only a changed one is tried: registered
// on this window and, when that works, released at once.
bool IsChangedHotkeyTaken(HWND window, const Hotkey& hotkey) {
    constexpr int kTrialId = 1;
    Hotkey held = HotkeyOf(settingsSnapshot);
    if (hotkey.modifiers == held.modifiers && hotkey.key == held.key) return false;
    if (!RegisterHotKey(window, kTrialId, hotkey.modifiers, hotkey.key)) return true;
    UnregisterHotKey(window, kTrialId);
    return false;
}

// The conflict warning; true when the user saves anyway. Its default is No.
bool SaveTakenHotkeyAnyway(HWND window, const Hotkey& hotkey) {
    std::wstring text = GetText(TextKey::HotkeyTakenWarning);
    std::wstring caption = GetText(TextKey::HotkeyTakenCaption);
    size_t at = text.find(TextKey::kHotkeyMarker);
    if (at != std::wstring::npos) text.replace(at, std::size(TextKey::kHotkeyMarker) - 1, hotkey.name);
    return MessageBoxW(window, text.c_str(), caption.c_str(),
                       MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2 | MessageBoxReading()) == IDYES;
}

// The window is Editing until Save, Cancel, close or a language choice
// (Rebuilding, back to Editing). Save with no modifier shows the modifier
// warning, and Save with a changed hotkey that is taken shows the conflict
// warning ("Conflict warning shown"): No goes back to Editing with nothing
// written or sent, Yes saves. A save that fails is reported and the window
// stays; one that works posts the reload message and closes.
void OnSave(HWND window) {
    ReadControlsIntoSettings(window);
    Hotkey hotkey = HotkeyOf(currentSettings);
    if (hotkey.modifiers == 0) {
        ShowWarning(window, TextKey::NoModifierWarning);
        return;
    }
    if (IsChangedHotkeyTaken(window, hotkey) && !SaveTakenHotkeyAnyway(window, hotkey)) return;
    // A failed write must not look like a save: the window stays open, the
    // paster is not told and the snapshot stays for Cancel.
    if (!SaveSettings()) {
        ShowWarning(window, TextKey::SaveFailedWarning);
        return;
    }
    if (HWND paster = FindWindowW(kPasterWindowClass, nullptr)) PostMessageW(paster, kReloadSettingsMessage, 0, 0);
    snapshotTaken = false;
    CloseAndQuit(window);
}

void OnCancel(HWND window) {
    RestoreSettingsSnapshot();
    CloseAndQuit(window);
}

// A DPI change waiting for its rebuild, and whether the user is dragging or
// sizing the window, which the rebuild waits for.
std::optional<WindowPlace> dpiChange;
bool inMoveLoop = false;

// The control with the keys, or that had them when the window was left.
int FocusedControlId(HWND window) {
    HWND focus = GetFocus();
    return GetDlgCtrlID(focus && IsChild(window, focus) ? focus : focusedControl);
}

// Once the old window is gone, a rebuild that leaves no window (creation
// refused, or an exception on the way) must end the process: nothing else
// would, and a process without a window would keep the single-instance
// mutex, so every later start would hand over to nothing.
// The new window goes on where the old one was left: at its place, or where
// Windows suggested for the new DPI; on its page; with its focus shown when
// the keyboard had shown it, on the language list after a language choice
// and on the same control after a DPI change.
void OnRebuild(HWND window, WPARAM reason) {
    MarkPhase("rebuild requested");
    RECT old{};
    GetWindowRect(window, &old);
    WindowPlace place = {{old.left, old.top}, displayDpi};
    if (reason == kRebuildForDpi) {
        // A warning is open and owned by the window: built anew once it is
        // answered and the window enabled again (WM_ENABLE).
        if (!dpiChange || !IsWindowEnabled(window)) return;
        place = *std::exchange(dpiChange, std::nullopt);
        if (place.dpi == displayDpi) return;  // back on a monitor of the window's own scale
    }
    ReadControlsIntoSettings(window);
    MarkPhase("controls read back");
    LoadLocaleStrings();
    MarkPhase("texts read");
    const bool focusShown = FocusShown(window);
    const int page = static_cast<int>(SendDlgItemMessageW(window, IDC_NAVIGATION, LB_GETCURSEL, 0, 0));
    const int focusId = reason == kRebuildForDpi ? FocusedControlId(window) : IDC_LANGUAGE;
    DestroyWindow(window);
    MarkPhase("old window destroyed");
    Scoped quitWithoutWindow(0, [](int) {
        if (!mainWindow) PostQuitMessage(0);
    });
    CreateSettingsWindow(&place);
    MarkPhase("window ready");
    if (!mainWindow) return;
    if (page > 0) {
        SendDlgItemMessageW(mainWindow, IDC_NAVIGATION, LB_SETCURSEL, page, 0);
        ShowPage(page);
    }
    if (focusShown) SendMessageW(mainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    focusedControl = GetDlgItem(mainWindow, focusId);
    if (GetActiveWindow() == mainWindow && focusedControl) SetFocus(focusedControl);
}

// A waiting DPI change is built once the user has let go of the window; a
// second request finds nothing waiting and builds nothing.
void RebuildForDpiUnlessDragged(HWND window) {
    if (dpiChange && !inMoveLoop) PostMessageW(window, kRebuildMessage, kRebuildForDpi, 0);
}

// The window is on a monitor of another scale, or the scale changed: it is
// built anew for the new DPI at the place Windows suggests, once; while the
// user still drags it, when the drag ends.
void OnDpiChanged(HWND window, WPARAM wParam, const RECT& suggested) {
    dpiChange = WindowPlace{{suggested.left, suggested.top}, LOWORD(wParam)};
    RebuildForDpiUnlessDragged(window);
}

void OnHelpButton(const wchar_t* topic) {
    helpTopic = topic;
    if (helpView) helpView->Navigate(web::GetHelpUrl(topic));
}

// Returns false for commands that go on to DefWindowProcW.
bool OnCommand(HWND window, int id, int code) {
    if (const wchar_t* topic = HelpTopicForControl(id)) {
        OnHelpButton(topic);
        return true;
    }
    switch (id) {
    case IDC_WEBSITE: web::OpenInBrowser(window, web::kMakerSiteUrl); return true;
    case IDC_DOWNLOAD_WEBVIEW2: web::OpenInBrowser(window, web::kWebView2DownloadUrl); return true;
    case IDC_SAVE: OnSave(window); return true;
    // An edit like any other: Save writes it, Cancel undoes it. The language
    // stays, so that nobody is left in a language they cannot read.
    case IDC_RESTORE_DEFAULTS: ShowSettingsInControls(window, Settings{}); return true;
    case IDC_CANCEL:
    case IDCANCEL:  // Escape, from the dialog handling of the message loop
        OnCancel(window);
        return true;
    case IDC_NAVIGATION:
        if (code != LBN_SELCHANGE) return false;
        ShowPage(static_cast<int>(SendDlgItemMessageW(window, IDC_NAVIGATION, LB_GETCURSEL, 0, 0)));
        return true;
    case IDC_LANGUAGE: return OnLanguageListNotification(window, code);
    default: return false;
    }
}

void OnDestroy() {
    if (helpView) {
        helpView->Stop();
        helpView.reset();
    }
    ReleaseRenderTarget();
    ReleaseHelpIcon();
    mainWindow = nullptr;
}

LRESULT OnControlColor(HWND window, HDC dc, HWND control) {
    SetTextColor(dc, ColourOf(Colour::ControlText));
    SetBkMode(dc, TRANSPARENT);
    // The colour behind the control rather than a hollow brush: a control
    // that fills its background, or a themed button's rounded corners, then
    // show the card or the footer, whatever was on screen before.
    return reinterpret_cast<LRESULT>(BrushBehind(window, control));
}

// Enter presses a focused push button, and Save from anywhere else.
LRESULT OnGetDefaultId(HWND window) {
    HWND focus = GetFocus();
    const bool pushButton = focus && IsChild(window, focus) &&
                            (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
    return MAKELRESULT(pushButton ? GetDlgCtrlID(focus) : IDC_SAVE, DC_HASDEFID);
}

// Leaving the window keeps the control with the keys; coming back gives
// them to it again (to the page list in a new window).
void OnActivate(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) focusedControl = focus;
        return;
    }
    if (HIWORD(wParam)) return;  // minimised
    if (!focusedControl || !IsWindow(focusedControl) || !IsWindowVisible(focusedControl))
        focusedControl = GetDlgItem(window, IDC_NAVIGATION);
    SetFocus(focusedControl);
}

// A theme or colour change: every pixel is painted again in the colours of now.
void OnColoursChanged(HWND window) {
    ReleaseRenderTarget();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (OnLanguageMessage(window, message, wParam)) return 0;
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintSettingsWindow(window); return 0;
    case WM_SIZE: ResizeRenderTarget(LOWORD(lParam), HIWORD(lParam)); break;
    case WM_MOVE:
    case WM_MOVING:
        if (helpView) helpView->ParentMoved();
        break;
    case WM_MEASUREITEM:
        // Each page's item is as tall at every scale: a list of fixed item
        // height takes no height over 255 pixels (past 450 DPI).
        if (wParam != IDC_NAVIGATION) break;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = ToPixels(kPageItemHeight);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_NAVIGATION) break;
        DrawNavigationItem(window, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return OnControlColor(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PRINTCLIENT:  // a themed control asks for what lies behind it
        PrintSettingsWindow(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam), HIWORD(wParam))) return 0;
        break;
    case kRebuildMessage: OnRebuild(window, wParam); return 0;
    case WM_DPICHANGED: OnDpiChanged(window, wParam, *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_ENTERSIZEMOVE: inMoveLoop = true; break;
    case WM_EXITSIZEMOVE:
        inMoveLoop = false;
        RebuildForDpiUnlessDragged(window);
        break;
    case WM_ENABLE:  // a warning answered
        if (wParam) RebuildForDpiUnlessDragged(window);
        break;
    case DM_GETDEFID: return OnGetDefaultId(window);
    case WM_ACTIVATE: OnActivate(window, wParam); return 0;
    case WM_SETFOCUS: OnActivate(window, WA_ACTIVE); return 0;  // the keys go on to the control that had them
    case WM_UPDATEUISTATE:
        // The page list draws its own focus rectangle, and so must learn of it.
        DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(GetDlgItem(window, IDC_NAVIGATION), nullptr, FALSE);
        return 0;
    case WM_SYSCOLORCHANGE: OnColoursChanged(window); break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) OnColoursChanged(window);
        break;
    case WM_CLOSE: OnCancel(window); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system; an allocation failure while
        // handling one message must not take the settings down with it. The
        // system's handling stands in (a WM_PAINT left unvalidated would come
        // back for ever), but for a close: that would destroy the window
        // without ending the process.
        return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wParam, lParam);
    }
}
