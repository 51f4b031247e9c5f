// A settings window that cannot be created. (Which control shows which
// option, and which help button opens which topic, is checked through the
// window in the end-to-end tests.)
#include "ui/settings_window.h"
#include "ui/window_state.h"
#include "web/web.h"

#include <gtest/gtest.h>

namespace {

// Nothing of a window is built without one: no control, no help view (the
// fake WebView2Loader.dll lies beside this test), no font sent anywhere.
// The window class is not registered in this process, so creation fails.
TEST(SettingsWindow, ARefusedWindowBuildsNothing) {
    instanceHandle = GetModuleHandleW(nullptr);
    ASSERT_FALSE(web::GetWebView2RuntimeVersion().empty()) << "the fake runtime is found";
    CreateSettingsWindow();
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(helpView, nullptr) << "a help view without a window was started";
    for (const auto& controls : pageControls) EXPECT_TRUE(controls.empty());
}

}  // namespace
