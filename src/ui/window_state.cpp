#include "ui/window_state.h"

#include "web/web.h"

HINSTANCE instanceHandle = nullptr;
HWND mainWindow = nullptr;
int displayDpi = 96;
HFONT uiFont = nullptr;
HICON helpIcon = nullptr;
bool helpIconIsCopy = false;
ID2D1Factory* d2dFactory = nullptr;
ID2D1DCRenderTarget* renderTarget = nullptr;
std::unique_ptr<web::PageView> helpView;
std::array<std::vector<HWND>, kPageCount> pageControls;
HWND focusedControl = nullptr;
int windowLanguageItem = 0;
const wchar_t* helpTopic = web::kOverviewTopic;
bool highContrastForTests = false;
void (*beforeWindowCreationForTests)() = nullptr;
