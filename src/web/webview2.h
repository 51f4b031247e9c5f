// Our own minimal declarations of the WebView2 COM interfaces that the help
// view uses. Slot order follows the published interfaces exactly; methods we
// never call are declared as UnusedNN placeholders (NN = vtable slot) so that
// every method we do call sits where the runtime puts it. Every method is
// __stdcall (STDMETHODCALLTYPE) and no interface has a virtual destructor.
#pragma once

#include <windows.h>
#include <eventtoken.h>
#include <unknwn.h>

enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT : int {
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL = 0,
};

// Later runtimes add kinds past these; they ask nothing of the host.
enum COREWEBVIEW2_PROCESS_FAILED_KIND : int {
    COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED = 0,
    COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_EXITED = 1,
    COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE = 2,
};

#define WV2_METHOD(name) virtual HRESULT STDMETHODCALLTYPE name
#define WV2_UNUSED(slot) virtual HRESULT STDMETHODCALLTYPE Unused##slot() = 0

struct ICoreWebView2;
struct ICoreWebView2Controller;
struct ICoreWebView2Environment;
struct ICoreWebView2HttpRequestHeaders;
struct ICoreWebView2NavigationCompletedEventArgs;
struct ICoreWebView2NavigationStartingEventArgs;
struct ICoreWebView2NewWindowRequestedEventArgs;
struct ICoreWebView2ProcessFailedEventArgs;
struct ICoreWebView2Settings;
struct ICoreWebView2WebResourceRequest;
struct ICoreWebView2WebResourceRequestedEventArgs;

// Handlers, implemented by us: one method, Invoke, in slot 3.
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : IUnknown {
    WV2_METHOD(Invoke)(HRESULT errorCode, ICoreWebView2Environment* createdEnvironment) = 0;
};
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : IUnknown {
    WV2_METHOD(Invoke)(HRESULT errorCode, ICoreWebView2Controller* createdController) = 0;
};
struct ICoreWebView2NavigationCompletedEventHandler : IUnknown {
    WV2_METHOD(Invoke)(ICoreWebView2* sender, ICoreWebView2NavigationCompletedEventArgs* args) = 0;
};
struct ICoreWebView2NavigationStartingEventHandler : IUnknown {
    WV2_METHOD(Invoke)(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) = 0;
};
struct ICoreWebView2NewWindowRequestedEventHandler : IUnknown {
    WV2_METHOD(Invoke)(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) = 0;
};
struct ICoreWebView2WebResourceRequestedEventHandler : IUnknown {
    WV2_METHOD(Invoke)(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) = 0;
};
struct ICoreWebView2ProcessFailedEventHandler : IUnknown {
    WV2_METHOD(Invoke)(ICoreWebView2* sender, ICoreWebView2ProcessFailedEventArgs* args) = 0;
};

struct ICoreWebView2Environment : IUnknown {
    WV2_METHOD(CreateCoreWebView2Controller)(HWND parentWindow,
                                             ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
    // 4-7: CreateWebResourceResponse, get_BrowserVersionString, NewBrowserVersionAvailable.
};

struct ICoreWebView2Controller : IUnknown {
    WV2_METHOD(get_IsVisible)(BOOL* isVisible) = 0;
    WV2_METHOD(put_IsVisible)(BOOL isVisible) = 0;
    WV2_METHOD(get_Bounds)(RECT* bounds) = 0;
    WV2_METHOD(put_Bounds)(RECT bounds) = 0;  // by value: 16 bytes on the stack
    // 7-22: zoom, focus, accelerator-key and parent-window members.
    WV2_UNUSED(07); WV2_UNUSED(08); WV2_UNUSED(09); WV2_UNUSED(10); WV2_UNUSED(11); WV2_UNUSED(12);
    WV2_UNUSED(13); WV2_UNUSED(14); WV2_UNUSED(15); WV2_UNUSED(16); WV2_UNUSED(17); WV2_UNUSED(18);
    WV2_UNUSED(19); WV2_UNUSED(20); WV2_UNUSED(21); WV2_UNUSED(22);
    WV2_METHOD(NotifyParentWindowPositionChanged)() = 0;
    WV2_METHOD(Close)() = 0;
    WV2_METHOD(get_CoreWebView2)(ICoreWebView2** coreWebView2) = 0;  // the last slot, after Close
};

struct ICoreWebView2 : IUnknown {
    WV2_METHOD(get_Settings)(ICoreWebView2Settings** settings) = 0;
    WV2_UNUSED(04);  // get_Source
    WV2_METHOD(Navigate)(LPCWSTR uri) = 0;
    WV2_UNUSED(06);  // NavigateToString
    WV2_METHOD(add_NavigationStarting)(ICoreWebView2NavigationStartingEventHandler* handler,
                                       EventRegistrationToken* token) = 0;
    WV2_METHOD(remove_NavigationStarting)(EventRegistrationToken token) = 0;
    // 9-14: ContentLoading, SourceChanged, HistoryChanged.
    WV2_UNUSED(09); WV2_UNUSED(10); WV2_UNUSED(11); WV2_UNUSED(12); WV2_UNUSED(13); WV2_UNUSED(14);
    WV2_METHOD(add_NavigationCompleted)(ICoreWebView2NavigationCompletedEventHandler* handler,
                                        EventRegistrationToken* token) = 0;
    WV2_METHOD(remove_NavigationCompleted)(EventRegistrationToken token) = 0;
    // 17-24: frame navigation, script dialogs, permissions.
    WV2_UNUSED(17); WV2_UNUSED(18); WV2_UNUSED(19); WV2_UNUSED(20); WV2_UNUSED(21); WV2_UNUSED(22);
    WV2_UNUSED(23); WV2_UNUSED(24);
    WV2_METHOD(add_ProcessFailed)(ICoreWebView2ProcessFailedEventHandler* handler, EventRegistrationToken* token) = 0;
    WV2_METHOD(remove_ProcessFailed)(EventRegistrationToken token) = 0;
    // 27-30: scripts, preview capture.
    WV2_UNUSED(27); WV2_UNUSED(28); WV2_UNUSED(29); WV2_UNUSED(30);
    WV2_METHOD(Reload)() = 0;
    // 32-43: web messages, DevTools protocol, history and Stop.
    WV2_UNUSED(32); WV2_UNUSED(33); WV2_UNUSED(34);
    WV2_UNUSED(35); WV2_UNUSED(36); WV2_UNUSED(37); WV2_UNUSED(38); WV2_UNUSED(39); WV2_UNUSED(40);
    WV2_UNUSED(41); WV2_UNUSED(42); WV2_UNUSED(43);
    WV2_METHOD(add_NewWindowRequested)(ICoreWebView2NewWindowRequestedEventHandler* handler,
                                       EventRegistrationToken* token) = 0;
    WV2_METHOD(remove_NewWindowRequested)(EventRegistrationToken token) = 0;
    // 46-54: document title, host objects, DevTools window, full screen.
    WV2_UNUSED(46); WV2_UNUSED(47); WV2_UNUSED(48); WV2_UNUSED(49); WV2_UNUSED(50); WV2_UNUSED(51);
    WV2_UNUSED(52); WV2_UNUSED(53); WV2_UNUSED(54);
    WV2_METHOD(add_WebResourceRequested)(ICoreWebView2WebResourceRequestedEventHandler* handler,
                                         EventRegistrationToken* token) = 0;
    WV2_METHOD(remove_WebResourceRequested)(EventRegistrationToken token) = 0;
    WV2_METHOD(AddWebResourceRequestedFilter)(LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
    WV2_METHOD(RemoveWebResourceRequestedFilter)(LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT resourceContext) = 0;
};

struct ICoreWebView2Settings : IUnknown {
    // 3-9: script, web message and script dialog switches, get_IsStatusBarEnabled.
    WV2_UNUSED(03); WV2_UNUSED(04); WV2_UNUSED(05); WV2_UNUSED(06); WV2_UNUSED(07); WV2_UNUSED(08);
    WV2_UNUSED(09);
    WV2_METHOD(put_IsStatusBarEnabled)(BOOL isStatusBarEnabled) = 0;
    WV2_UNUSED(11);  // get_AreDevToolsEnabled
    WV2_METHOD(put_AreDevToolsEnabled)(BOOL areDevToolsEnabled) = 0;
};

struct ICoreWebView2NavigationCompletedEventArgs : IUnknown {
    WV2_METHOD(get_IsSuccess)(BOOL* isSuccess) = 0;
};

struct ICoreWebView2NavigationStartingEventArgs : IUnknown {
    WV2_METHOD(get_Uri)(LPWSTR* uri) = 0;  // freed with CoTaskMemFree
    WV2_METHOD(get_IsUserInitiated)(BOOL* isUserInitiated) = 0;
    // 5-7: get_IsRedirected, get_RequestHeaders, get_Cancel.
    WV2_UNUSED(05); WV2_UNUSED(06); WV2_UNUSED(07);
    WV2_METHOD(put_Cancel)(BOOL cancel) = 0;
};

struct ICoreWebView2NewWindowRequestedEventArgs : IUnknown {
    WV2_METHOD(get_Uri)(LPWSTR* uri) = 0;  // freed with CoTaskMemFree
    WV2_UNUSED(04);  // put_NewWindow (the put comes before the get here)
    WV2_UNUSED(05);  // get_NewWindow
    WV2_METHOD(put_Handled)(BOOL handled) = 0;
    WV2_UNUSED(07);  // get_Handled
    WV2_METHOD(get_IsUserInitiated)(BOOL* isUserInitiated) = 0;
};

struct ICoreWebView2ProcessFailedEventArgs : IUnknown {
    WV2_METHOD(get_ProcessFailedKind)(COREWEBVIEW2_PROCESS_FAILED_KIND* kind) = 0;
};

struct ICoreWebView2WebResourceRequestedEventArgs : IUnknown {
    WV2_METHOD(get_Request)(ICoreWebView2WebResourceRequest** request) = 0;
};

struct ICoreWebView2WebResourceRequest : IUnknown {
    // 3-8: Uri, Method and Content accessors.
    WV2_UNUSED(03); WV2_UNUSED(04); WV2_UNUSED(05); WV2_UNUSED(06); WV2_UNUSED(07); WV2_UNUSED(08);
    WV2_METHOD(get_Headers)(ICoreWebView2HttpRequestHeaders** headers) = 0;
};

struct ICoreWebView2HttpRequestHeaders : IUnknown {
    // 3-5: GetHeader, GetHeaders, Contains.
    WV2_UNUSED(03); WV2_UNUSED(04); WV2_UNUSED(05);
    WV2_METHOD(SetHeader)(LPCWSTR name, LPCWSTR value) = 0;
};

#undef WV2_METHOD
#undef WV2_UNUSED

// Interface identifiers, as the WebView2 SDK publishes them.
namespace webview2_iid {
constexpr IID Environment = {0xB96D755E, 0x0319, 0x4E92, {0xA2, 0x96, 0x23, 0x43, 0x6F, 0x46, 0xA1, 0xFC}};
constexpr IID Controller = {0x4D00C0D1, 0x9434, 0x4EB6, {0x80, 0x78, 0x86, 0x97, 0xA5, 0x60, 0x33, 0x4F}};
constexpr IID WebView = {0x76ECEACB, 0x0462, 0x4D94, {0xAC, 0x83, 0x42, 0x3A, 0x67, 0x93, 0x77, 0x5E}};
constexpr IID Settings = {0xE562E4F0, 0xD7FA, 0x43AC, {0x8D, 0x71, 0xC0, 0x51, 0x50, 0x49, 0x9F, 0x00}};
constexpr IID NavigationCompletedEventArgs = {0x30D68B7D, 0x20D9, 0x4752, {0xA9, 0xCA, 0xEC, 0x84, 0x48, 0xFB, 0xB5, 0xC1}};
constexpr IID NavigationStartingEventArgs = {0x5B495469, 0xE119, 0x438A, {0x9B, 0x18, 0x76, 0x04, 0xF2, 0x5F, 0x2E, 0x49}};
constexpr IID NewWindowRequestedEventArgs = {0x34ACB11C, 0xFC37, 0x4418, {0x91, 0x32, 0xF9, 0xC2, 0x1D, 0x1E, 0xAF, 0xB9}};
constexpr IID WebResourceRequestedEventArgs = {0x453E667F, 0x12C7, 0x49D4, {0xBE, 0x6D, 0xDD, 0xBE, 0x79, 0x56, 0xF5, 0x7A}};
constexpr IID WebResourceRequest = {0x97055CD4, 0x512C, 0x4264, {0x8B, 0x5F, 0xE3, 0xF4, 0x46, 0xCE, 0xA6, 0xA5}};
constexpr IID HttpRequestHeaders = {0xE86CAC0E, 0x5523, 0x465C, {0xB5, 0x36, 0x8F, 0xB9, 0xFC, 0x8C, 0x8C, 0x60}};
constexpr IID EnvironmentCompletedHandler = {0x4E8A3389, 0xC9D8, 0x4BD2, {0xB6, 0xB5, 0x12, 0x4F, 0xEE, 0x6C, 0xC1, 0x4D}};
constexpr IID ControllerCompletedHandler = {0x6C4819F3, 0xC9B7, 0x4260, {0x81, 0x27, 0xC9, 0xF5, 0xBD, 0xE7, 0xF6, 0x8C}};
constexpr IID NavigationCompletedEventHandler = {0xD33A35BF, 0x1C49, 0x4F98, {0x93, 0xAB, 0x00, 0x6E, 0x05, 0x33, 0xFE, 0x1C}};
constexpr IID NavigationStartingEventHandler = {0x9ADBE429, 0xF36D, 0x432B, {0x9D, 0xDC, 0xF8, 0x88, 0x1F, 0xBD, 0x76, 0xE3}};
constexpr IID NewWindowRequestedEventHandler = {0xD4C185FE, 0xC81C, 0x4989, {0x97, 0xAF, 0x2D, 0x3F, 0xA7, 0xAB, 0x56, 0x51}};
constexpr IID ProcessFailedEventHandler = {0x79E0AEA4, 0x990B, 0x42D9, {0xAA, 0x1D, 0x0F, 0xCC, 0x2E, 0x5B, 0xC7, 0xF1}};
constexpr IID WebResourceRequestedEventHandler = {0xAB00B74C, 0x15F1, 0x4646, {0x80, 0xE8, 0xE7, 0x63, 0x41, 0xD2, 0x5D, 0x71}};
}  // namespace webview2_iid

// The two loader exports we use (plain names, __stdcall).
using CreateCoreWebView2EnvironmentWithOptionsFunction = HRESULT(STDAPICALLTYPE*)(
    PCWSTR browserExecutableFolder, PCWSTR userDataFolder, IUnknown* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);
using GetAvailableCoreWebView2BrowserVersionStringFunction = HRESULT(STDAPICALLTYPE*)(PCWSTR browserExecutableFolder,
                                                                                     LPWSTR* versionInfo);
