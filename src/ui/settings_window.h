// The settings window: construction, window procedure, painting and the
// read-back of its controls into the settings.
#pragma once

#include <windows.h>

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

// Outer window sizes with and without the help view.
constexpr int kWideWindowWidth = 1225;
constexpr int kNarrowWindowWidth = 685;
constexpr int kWindowHeight = 690;
// Page controls are laid out in page coordinates, then moved right by this.
constexpr int kPageOffsetX = 155;
constexpr RECT kPageArea = {175, 10, 665, 580};
constexpr RECT kHelpViewBounds = {675, 10, 1205, 580};

void CreateSettingsWindow();
// uiFont, or the stock GUI font when it could not be created.
HFONT ControlFont();
LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void AddToPage(int page, HWND control);
void ShowPage(int page);
int MeasureTextHeight(const std::wstring& text, int width, HFONT font, int minimumHeight);
HWND CreateCheckbox(HWND parent, int id, const std::wstring& text, bool checked, int x, int y, int width, HFONT font);
HWND CreateHelpButton(HWND parent, int id, int x, int y);
BOOL CALLBACK SetChildFont(HWND child, LPARAM font);

void PaintSettingsWindow(HWND window);
void ResizeRenderTarget(UINT width, UINT height);
void ReleaseRenderTarget();
// The card colour as a GDI brush, made on first use and kept until teardown.
HBRUSH CardBrush();
// Teardown: the render target, the Direct2D factory and the card brush.
void ReleasePainting();

void ReadControlsIntoSettings(HWND window);

// A boolean option bound to its check box.
struct OptionCheckbox {
    int controlId;
    const wchar_t* firstCaption;   // built-in Japanese caption
    const wchar_t* secondCaption;  // built-in English caption
    bool* setting;                 // field of currentSettings
};

std::vector<OptionCheckbox> GetOptionCheckboxes();

// The help topic of help button `controlId`, or null for any other control.
const wchar_t* HelpTopicForControl(int controlId);
