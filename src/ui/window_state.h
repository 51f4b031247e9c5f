// Process-wide state of the settings window, owned by the main thread. The
// entry point sets the instance handle and the font; everything else lives
// and dies with the window or its painting.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

struct ID2D1Factory;
struct ID2D1DCRenderTarget;

namespace web {
class PageView;
}

constexpr size_t kPageCount = 5;

extern HINSTANCE instanceHandle;
extern HWND mainWindow;                    // null while no settings window exists
extern int displayDpi;                     // per window: the DPI of its monitor, which its layout is for
extern HFONT uiFont;                       // per window, at displayDpi; null: controls use DEFAULT_GUI_FONT
extern HICON helpIcon;                     // per window, at the small-icon size of displayDpi
extern bool helpIconIsCopy;                // helpIcon is ours to destroy, not the shared system icon
extern ID2D1Factory* d2dFactory;           // created on the first paint, kept until teardown
extern ID2D1DCRenderTarget* renderTarget;  // per window, created on its first paint
extern std::unique_ptr<web::PageView> helpView;
extern std::array<std::vector<HWND>, kPageCount> pageControls;
extern HWND focusedControl;     // per window: the control with the keys when it was last active
extern int windowLanguageItem;  // per window: the language list's item of the window's own language
extern const wchar_t* helpTopic;  // the help view's topic, kept when the window is built anew
extern bool highContrastForTests;  // set only by a test build, where Wine never reports high contrast
extern void (*beforeWindowCreationForTests)();  // set only by a test build: called before each settings window is made

// The item data of the language list's separator row.
constexpr LRESULT kSeparatorData = -1;

// Posted to the window to build it anew in the language chosen in its list,
// once the list's own notification is over.
constexpr UINT kRebuildMessage = WM_APP + 1;
// Its wParam: why the window is built anew.
enum RebuildReason : WPARAM { kRebuildForLanguage, kRebuildForDpi };
// Posted when the language list's dropped-down list has closed, so that it is
// handled after every notification of that close, in whichever order the
// list sends them. (WM_APP + 2 is the paster's reload message.)
constexpr UINT kListClosedMessage = WM_APP + 3;
