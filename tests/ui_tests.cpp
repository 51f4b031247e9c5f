// A settings window that cannot be created. (Which control shows which
// option, and which help button opens which topic, is checked through the
// window in the end-to-end tests.)
#include "ui/settings_window.h"
#include "ui/window_state.h"
#include "web/web.h"

#include <gtest/gtest.h>

namespace {

int fontsReceived = 0;

LRESULT CALLBACK CountFonts(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) ++fontsReceived;
    return DefWindowProcW(window, message, wParam, lParam);
}

// Nothing of a window is built without one: no control, no help view (the
// fake WebView2Loader.dll lies beside this test), no font sent anywhere.
// The window class is not registered in this process, so creation fails.
TEST(SettingsWindow, ARefusedWindowBuildsNothing) {
    instanceHandle = GetModuleHandleW(nullptr);
    ASSERT_FALSE(web::GetWebView2RuntimeVersion().empty()) << "the fake runtime is found";
    WNDCLASSW bystanderClass{};  // another top-level window of the desktop
    bystanderClass.lpfnWndProc = CountFonts;
    bystanderClass.hInstance = instanceHandle;
    bystanderClass.lpszClassName = L"Bystander";
    RegisterClassW(&bystanderClass);
    HWND bystander = CreateWindowExW(0, L"Bystander", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instanceHandle, nullptr);
    ASSERT_NE(bystander, nullptr);
    CreateSettingsWindow();
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(helpView, nullptr) << "a help view without a window was started";
    for (const auto& controls : pageControls) EXPECT_TRUE(controls.empty());
    EXPECT_EQ(fontsReceived, 0) << "the font was sent to another window";
    DestroyWindow(bystander);
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    GetIconInfo(icon, &info);
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Windows' cache of shared icons hands out the first size it holds, whatever
// size is asked for (under Wine it keeps one per size): the help buttons'
// icon is copied at the wanted size then, and only then.
TEST(SettingsWindow, TheHelpIconIsOfTheWantedSize) {
    HICON shared = static_cast<HICON>(LoadImageW(nullptr, IDI_QUESTION, IMAGE_ICON, 32, 32, LR_SHARED));
    ASSERT_EQ(IconWidth(shared), 32);
    EXPECT_EQ(IconOfSize(shared, 32), shared);
    for (int size : {16, 24, 40}) {
        HICON icon = IconOfSize(shared, size);
        EXPECT_NE(icon, shared);
        EXPECT_EQ(IconWidth(icon), size);
        DestroyIcon(icon);
    }
}

}  // namespace
