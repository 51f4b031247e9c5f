// The settings window: construction, window procedure, painting and the
// read-back of its controls into the settings.
#pragma once

#include "settings/settings.h"

#include <windows.h>

#include <span>
#include <string>
#include <vector>

// Names other processes see: the window class and the single-instance mutex.
constexpr wchar_t kWindowClassName[] = L"SlatewashSettings";
constexpr wchar_t kInstanceMutexName[] = L"Local\\KorvendaSlatewashSettings";
constexpr wchar_t kProductName[] = L"Slatewash";
constexpr wchar_t kVersionText[] = L"v0.0.19";

// The paster's window and the message that makes it reload the settings.
constexpr wchar_t kPasterWindowClass[] = L"KorvendaSlatewashNative";
constexpr UINT kReloadSettingsMessage = WM_APP + 2;

// Every length of the layout below and in the window's tables is given for
// a 96-DPI display and scaled to the window's DPI when the window is built.
// Client sizes with and without the help view (a 685 by 690 window at 96
// DPI under Wine; the frame and caption come on top at every scale).
constexpr SIZE kWideClientSize = {1219, 665};
constexpr SIZE kNarrowClientSize = {679, 665};
// Page controls are laid out in page coordinates, then moved right by this.
constexpr int kPageOffsetX = 155;
constexpr RECT kPageArea = {175, 10, 665, 580};
constexpr RECT kHelpViewBounds = {675, 10, 1205, 580};
// The height of each item of the page list.
constexpr int kPageItemHeight = 54;

constexpr int kLayoutDpi = 96;
// A 96-DPI length, or rectangle, in pixels at the window's DPI (displayDpi).
int ToPixels(int length);
RECT ToPixels(const RECT& rect);

// The DPI of the screen as a whole, and of the monitor a window is on
// (display_scale.cpp).
int SystemDpi();
int WindowDpi(HWND window);
// A system metric, and the outer size of a window whose client area is
// `client` pixels, at the window's DPI.
int MetricAtDisplayDpi(int index);
SIZE OuterSizeAtDisplayDpi(SIZE client, DWORD style, DWORD extendedStyle);

// Where a window built anew goes, and at which DPI: where the old one was,
// or where Windows suggests for a monitor of another scale.
struct WindowPlace {
    POINT topLeft;
    int dpi;
};

// A first window (no place) goes where the system puts it, at the DPI of
// the monitor it lands on.
void CreateSettingsWindow(const WindowPlace* place = nullptr);
// uiFont, or the stock GUI font when it could not be created.
HFONT ControlFont();
LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The language list's choice (language_choice.cpp): reset for each new
// window; its notifications; its own timer and posted message (true when
// the message was one of them).
void StartLanguageChoice(HWND window);
bool OnLanguageListNotification(HWND window, int code);
bool OnLanguageMessage(HWND window, UINT message, WPARAM wParam);

void AddToPage(int page, HWND control);
void ShowPage(int page);
// The question-mark icon of the help buttons: exactly `icon` when it has
// `size` pixels, else a copy of that size (the caller destroys a copy).
HICON IconOfSize(HICON icon, int size);
// Frees the window's help icon when it is a copy.
void ReleaseHelpIcon();
BOOL CALLBACK SetChildFont(HWND child, LPARAM font);

// What each colour the window paints is for. Each has the window's own
// value, and a system colour in a high-contrast theme (colours.cpp).
enum class Colour {
    Background,
    Card,
    CardOutline,
    ControlText,
    PageSelected,
    PageNormal,
    PageAccent,
    PageTextSelected,
    PageTextNormal,
    Count
};
// A high-contrast theme is on (or a test build was told to act as if).
bool IsHighContrast();
COLORREF ColourOf(Colour colour);
// The colour as a GDI brush, the caller's to use but not to delete.
HBRUSH BrushOf(Colour colour);
// Teardown: the brushes of the window's own colours.
void ReleaseBrushes();

void PaintSettingsWindow(HWND window);
void ResizeRenderTarget(UINT width, UINT height);
void ReleaseRenderTarget();
// What shows behind `control` of the settings window: a card, or the
// background of the footer.
HBRUSH BrushBehind(HWND window, HWND control);
// The window's frame painted into `dc`, for a control that draws its
// parent behind its own see-through parts (WM_PRINTCLIENT).
void PrintSettingsWindow(HWND window, HDC dc);
// Teardown: the render target, the Direct2D factory and the brushes.
void ReleasePainting();

void ReadControlsIntoSettings(HWND window);

// Every option of the window, one row each: the one description that the
// page builders, the read-back, the help buttons and Save's check derive
// from. Adding an option is adding a row (see README).
enum class OptionKind { LanguageList, Modifier, HotkeyLetter, Box, TabSpaces, WidthList };

// Page coordinates at 96 DPI; a check box's height is measured from its text
// (0 here).
struct Place {
    int x, y, width, height;
};

struct OptionRow {
    int controlId;
    int page;
    OptionKind kind;
    bool flows;                            // y of control, label and help button count from the page's flowing y
    Place place;                           // a combo's height is that of its dropped list
    const wchar_t* textKey;                // a check box's text; the modifiers show their built-in caption
    const wchar_t *captionJa, *captionEn;  // built-in captions of the check-box list; null for rows it leaves out
    bool Settings::*flag = nullptr;        // check boxes
    int32_t Settings::*number = nullptr;   // tab-space and width lists
    int helpId = 0;                        // 0: no help button
    POINT help = {};                       // the help button's page x, y
    const wchar_t* helpTopic = nullptr;
    int labelId = 0;  // 0: no label; the label is made before the control
    const wchar_t* labelKey = nullptr;
    Place label = {};
};

// In page order, and within a page in creation order.
std::span<const OptionRow> OptionRows();

// A boolean option bound to its check box: the rows with built-in captions.
struct OptionCheckbox {
    int controlId;
    const wchar_t* firstCaption;   // built-in Japanese caption
    const wchar_t* secondCaption;  // built-in English caption
    bool* setting;                 // field of currentSettings
};

std::vector<OptionCheckbox> GetOptionCheckboxes();

// The help topic of help button `controlId`, or null for any other control.
const wchar_t* HelpTopicForControl(int controlId);

// The item of a list option's list that shows its field of `s` (any list
// but the language list).
int ListItemOf(const OptionRow& row, const Settings& s);
// Every option control but the language list shows its field of `s`: what
// Restore defaults does with a record of defaults.
void ShowSettingsInControls(HWND window, const Settings& s);
