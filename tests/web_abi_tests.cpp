// Our WebView2 declarations against the published binary interface: every
// method we call sits in its vtable slot, and every IID is exact.
#include "web/webview2.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// GCC (Itanium ABI) stores a pointer to a virtual member function as
// 1 + the byte offset of its vtable slot.
template <typename Method>
int SlotOf(Method method) {
    static_assert(sizeof(Method) == 2 * sizeof(ptrdiff_t));
    ptrdiff_t parts[2];
    std::memcpy(parts, &method, sizeof parts);
    return static_cast<int>((parts[0] - 1) / static_cast<ptrdiff_t>(sizeof(void*)));
}

static_assert(sizeof(EventRegistrationToken) == 8 && alignof(EventRegistrationToken) == 8);
static_assert(sizeof(RECT) == 16 && sizeof(BOOL) == 4);
static_assert(sizeof(COREWEBVIEW2_WEB_RESOURCE_CONTEXT) == 4 && sizeof(COREWEBVIEW2_PROCESS_FAILED_KIND) == 4);
static_assert(sizeof(ICoreWebView2) == sizeof(void*), "an interface is one vtable pointer");
// Calling convention and by-value parameters, as the runtime pops them.
static_assert(std::is_same_v<decltype(&ICoreWebView2Controller::put_Bounds),
                             HRESULT (STDMETHODCALLTYPE ICoreWebView2Controller::*)(RECT)>);
static_assert(std::is_same_v<decltype(&ICoreWebView2::remove_NavigationStarting),
                             HRESULT (STDMETHODCALLTYPE ICoreWebView2::*)(EventRegistrationToken)>);

TEST(WebView2Abi, MethodsSitInTheirPublishedSlots) {
    EXPECT_EQ(SlotOf(&ICoreWebView2Environment::CreateCoreWebView2Controller), 3);

    EXPECT_EQ(SlotOf(&ICoreWebView2Controller::put_IsVisible), 4);
    EXPECT_EQ(SlotOf(&ICoreWebView2Controller::put_Bounds), 6);
    EXPECT_EQ(SlotOf(&ICoreWebView2Controller::NotifyParentWindowPositionChanged), 23);
    EXPECT_EQ(SlotOf(&ICoreWebView2Controller::Close), 24);
    EXPECT_EQ(SlotOf(&ICoreWebView2Controller::get_CoreWebView2), 25);

    EXPECT_EQ(SlotOf(&ICoreWebView2::get_Settings), 3);
    EXPECT_EQ(SlotOf(&ICoreWebView2::Navigate), 5);
    EXPECT_EQ(SlotOf(&ICoreWebView2::add_NavigationStarting), 7);
    EXPECT_EQ(SlotOf(&ICoreWebView2::remove_NavigationStarting), 8);
    EXPECT_EQ(SlotOf(&ICoreWebView2::add_NavigationCompleted), 15);
    EXPECT_EQ(SlotOf(&ICoreWebView2::remove_NavigationCompleted), 16);
    EXPECT_EQ(SlotOf(&ICoreWebView2::add_ProcessFailed), 25);
    EXPECT_EQ(SlotOf(&ICoreWebView2::remove_ProcessFailed), 26);
    EXPECT_EQ(SlotOf(&ICoreWebView2::Reload), 31);
    EXPECT_EQ(SlotOf(&ICoreWebView2::add_NewWindowRequested), 44);
    EXPECT_EQ(SlotOf(&ICoreWebView2::remove_NewWindowRequested), 45);
    EXPECT_EQ(SlotOf(&ICoreWebView2::add_WebResourceRequested), 55);
    EXPECT_EQ(SlotOf(&ICoreWebView2::remove_WebResourceRequested), 56);
    EXPECT_EQ(SlotOf(&ICoreWebView2::AddWebResourceRequestedFilter), 57);
    EXPECT_EQ(SlotOf(&ICoreWebView2::RemoveWebResourceRequestedFilter), 58);

    EXPECT_EQ(SlotOf(&ICoreWebView2Settings::put_IsStatusBarEnabled), 10);
    EXPECT_EQ(SlotOf(&ICoreWebView2Settings::put_AreDevToolsEnabled), 12);

    EXPECT_EQ(SlotOf(&ICoreWebView2NavigationCompletedEventArgs::get_IsSuccess), 3);
    EXPECT_EQ(SlotOf(&ICoreWebView2NavigationStartingEventArgs::get_Uri), 3);
    EXPECT_EQ(SlotOf(&ICoreWebView2NavigationStartingEventArgs::get_IsUserInitiated), 4);
    EXPECT_EQ(SlotOf(&ICoreWebView2NavigationStartingEventArgs::put_Cancel), 8);
    EXPECT_EQ(SlotOf(&ICoreWebView2NewWindowRequestedEventArgs::get_Uri), 3);
    EXPECT_EQ(SlotOf(&ICoreWebView2NewWindowRequestedEventArgs::put_Handled), 6);
    EXPECT_EQ(SlotOf(&ICoreWebView2NewWindowRequestedEventArgs::get_IsUserInitiated), 8);
    EXPECT_EQ(SlotOf(&ICoreWebView2WebResourceRequestedEventArgs::get_Request), 3);
    EXPECT_EQ(SlotOf(&ICoreWebView2WebResourceRequest::get_Headers), 9);
    EXPECT_EQ(SlotOf(&ICoreWebView2HttpRequestHeaders::SetHeader), 6);
    EXPECT_EQ(SlotOf(&ICoreWebView2ProcessFailedEventArgs::get_ProcessFailedKind), 3);

    EXPECT_EQ(SlotOf(&ICoreWebView2NavigationStartingEventHandler::Invoke), 3);
    EXPECT_EQ(SlotOf(&ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler::Invoke), 3);
}

TEST(WebView2Abi, InterfaceIdsMatchTheirRegistryForm) {
    const std::pair<const IID*, const wchar_t*> ids[] = {
        {&webview2_iid::Environment, L"{B96D755E-0319-4E92-A296-23436F46A1FC}"},
        {&webview2_iid::Controller, L"{4D00C0D1-9434-4EB6-8078-8697A560334F}"},
        {&webview2_iid::WebView, L"{76ECEACB-0462-4D94-AC83-423A6793775E}"},
        {&webview2_iid::Settings, L"{E562E4F0-D7FA-43AC-8D71-C05150499F00}"},
        {&webview2_iid::NavigationCompletedEventArgs, L"{30D68B7D-20D9-4752-A9CA-EC8448FBB5C1}"},
        {&webview2_iid::NavigationStartingEventArgs, L"{5B495469-E119-438A-9B18-7604F25F2E49}"},
        {&webview2_iid::NewWindowRequestedEventArgs, L"{34ACB11C-FC37-4418-9132-F9C21D1EAFB9}"},
        {&webview2_iid::WebResourceRequestedEventArgs, L"{453E667F-12C7-49D4-BE6D-DDBE7956F57A}"},
        {&webview2_iid::WebResourceRequest, L"{97055CD4-512C-4264-8B5F-E3F446CEA6A5}"},
        {&webview2_iid::HttpRequestHeaders, L"{E86CAC0E-5523-465C-B536-8FB9FC8C8C60}"},
        {&webview2_iid::EnvironmentCompletedHandler, L"{4E8A3389-C9D8-4BD2-B6B5-124FEE6CC14D}"},
        {&webview2_iid::ControllerCompletedHandler, L"{6C4819F3-C9B7-4260-8127-C9F5BDE7F68C}"},
        {&webview2_iid::NavigationCompletedEventHandler, L"{D33A35BF-1C49-4F98-93AB-006E0533FE1C}"},
        {&webview2_iid::NavigationStartingEventHandler, L"{9ADBE429-F36D-432B-9DDC-F8881FBD76E3}"},
        {&webview2_iid::NewWindowRequestedEventHandler, L"{D4C185FE-C81C-4989-97AF-2D3FA7AB5651}"},
        {&webview2_iid::WebResourceRequestedEventHandler, L"{AB00B74C-15F1-4646-80E8-E76341D25D71}"},
        {&webview2_iid::ProcessFailedEventHandler, L"{79E0AEA4-990B-42D9-AA1D-0FCC2E5BC7F1}"},
    };
    for (const auto& [iid, text] : ids) {
        IID parsed{};
        ASSERT_EQ(IIDFromString(text, &parsed), S_OK);
        EXPECT_TRUE(IsEqualIID(*iid, parsed)) << testing::PrintToString(std::wstring(text));
    }
}

}  // namespace
