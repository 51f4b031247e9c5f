// The embedded help view. Its data live in a State shared with the WebView2
// callbacks, so a callback that arrives after the view was closed still finds
// valid, closed data and does nothing.
#include "web/web.h"

#include "i18n/i18n.h"
#include "settings/settings.h"
#include "web/loader.h"
#include "web/webview2.h"

#include <atomic>
#include <functional>

namespace web {

namespace {

constexpr wchar_t kHelpSectionMarker[] = L"/slatewash/help/";
constexpr wchar_t kWebView2DataFolder[] = L"\\WebView2Data";
constexpr wchar_t kHttpsPrefix[] = L"https://";
constexpr wchar_t kHttpPrefix[] = L"http://";
// A runtime that keeps failing is not restarted for ever.
constexpr int kMaxRecoveries = 3;

// A reference-counted COM handler object around a function. It answers only
// IUnknown and its own handler IID; Release at zero frees the function and
// with it the captures.
template <typename Handler, typename First, typename Second>
class HandlerObject final : public Handler {
public:
    using Function = std::function<HRESULT(First, Second)>;

    HandlerObject(const IID& iid, Function function) : iid_(iid), function_(std::move(function)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, iid_)) return E_NOINTERFACE;
        *object = static_cast<Handler*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG count = --count_;
        if (count == 0) delete this;
        return count;
    }
    // A handler that removes itself (a view created anew) lives until it returns.
    HRESULT STDMETHODCALLTYPE Invoke(First first, Second second) override {
        AddRef();
        HRESULT result = E_UNEXPECTED;  // nothing may unwind into the runtime
        try {
            result = function_(first, second);
        } catch (...) {
        }
        Release();
        return result;
    }

private:
    IID iid_;
    Function function_;
    std::atomic<ULONG> count_{1};
};

// Creation-completed handlers: Invoke(error code, created object).
template <typename Handler, typename Result>
using Callback = HandlerObject<Handler, HRESULT, Result*>;

// Event handlers: Invoke(sender, event arguments).
template <typename Handler, typename Args>
using EventCallback = HandlerObject<Handler, ICoreWebView2*, Args*>;

// Reads an [out] string and frees the runtime's buffer.
template <typename Args>
bool TakeUri(Args* args, std::wstring& uri) {
    LPWSTR raw = nullptr;
    if (FAILED(args->get_Uri(&raw)) || !raw) return false;
    uri = raw;
    CoTaskMemFree(raw);
    return true;
}

template <typename Args>
bool IsUserInitiated(Args* args) {
    BOOL userInitiated = FALSE;
    return SUCCEEDED(args->get_IsUserInitiated(&userInitiated)) && userInitiated;
}

std::wstring HelpResourceFilter() {
    return std::wstring(kHelpBaseUrl) + L"*";
}

// %LOCALAPPDATA%\Korvenda\Slatewash\WebView2Data, each level created.
std::wstring PrepareUserDataFolder() {
    std::wstring folder = EnsureAppDataFolder() + kWebView2DataFolder;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

bool IsWebUrl(const std::wstring& uri) {
    return StartsWithIgnoringAsciiCase(uri, kHttpsPrefix) || StartsWithIgnoringAsciiCase(uri, kHttpPrefix);
}

struct Registration {
    EventRegistrationToken token{};
    bool registered = false;
};

struct PageView::State : std::enable_shared_from_this<PageView::State> {
    HWND parent = nullptr;
    RECT bounds{};
    std::wstring url;
    std::wstring allowedPrefix;
    NavigatedCallback onNavigated = nullptr;
    ICoreWebView2Controller* controller = nullptr;
    ICoreWebView2* webView = nullptr;
    bool closed = false;
    Registration navigationCompleted;
    Registration navigationStarting;
    Registration newWindowRequested;
    Registration webResourceRequested;
    Registration processFailed;
    int recoveries = 0;

    ~State() { Shutdown(); }

    void Report(bool succeeded) const {
        if (!closed && onNavigated) onNavigated(succeeded);
    }

    bool IsInsideHelp(const std::wstring& uri) const { return StartsWithIgnoringAsciiCase(uri, allowedPrefix); }

    void Shutdown() {
        if (webView && navigationCompleted.registered) webView->remove_NavigationCompleted(navigationCompleted.token);
        if (webView && navigationStarting.registered) webView->remove_NavigationStarting(navigationStarting.token);
        if (webView && newWindowRequested.registered) webView->remove_NewWindowRequested(newWindowRequested.token);
        if (webView && processFailed.registered) webView->remove_ProcessFailed(processFailed.token);
        if (webView && webResourceRequested.registered) {
            webView->remove_WebResourceRequested(webResourceRequested.token);
            webView->RemoveWebResourceRequestedFilter(HelpResourceFilter().c_str(),
                                                      COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
        }
        for (Registration* r :
             {&navigationCompleted, &navigationStarting, &newWindowRequested, &webResourceRequested, &processFailed})
            r->registered = false;
        if (controller) controller->Close();
        if (webView) {
            webView->Release();
            webView = nullptr;
        }
        if (controller) {
            controller->Release();
            controller = nullptr;
        }
    }

    void CreateEnvironment();
    HRESULT OnEnvironmentCreated(HRESULT error, ICoreWebView2Environment* environment);
    HRESULT OnControllerCreated(HRESULT error, ICoreWebView2Controller* createdController);
    void ConfigureAndRegister();
    HRESULT OnNavigationStarting(ICoreWebView2NavigationStartingEventArgs* args);
    HRESULT OnNewWindowRequested(ICoreWebView2NewWindowRequestedEventArgs* args);
    HRESULT OnProcessFailed(ICoreWebView2ProcessFailedEventArgs* args);
};

namespace {

using State = PageView::State;

HRESULT OnNavigationCompleted(State& state, ICoreWebView2NavigationCompletedEventArgs* args) {
    BOOL success = FALSE;
    if (args && FAILED(args->get_IsSuccess(&success))) success = FALSE;
    state.Report(success != FALSE);
    return S_OK;
}

// The outgoing request into the help section must never come from a cache.
HRESULT OnWebResourceRequested(ICoreWebView2WebResourceRequestedEventArgs* args) {
    ICoreWebView2WebResourceRequest* request = nullptr;
    if (!args || FAILED(args->get_Request(&request)) || !request) return S_OK;
    ICoreWebView2HttpRequestHeaders* headers = nullptr;
    if (SUCCEEDED(request->get_Headers(&headers)) && headers) {
        headers->SetHeader(L"Cache-Control", L"no-cache, no-store, max-age=0");
        headers->SetHeader(L"Pragma", L"no-cache");
        headers->Release();
    }
    request->Release();
    return S_OK;
}

// Registers one event handler; the token and flag land in `registration`.
template <typename Handler, typename Args, typename Add>
void Register(const IID& iid, std::function<HRESULT(ICoreWebView2*, Args*)> function, Registration& registration,
              Add add) {
    auto* handler = new EventCallback<Handler, Args>(iid, std::move(function));
    registration.registered = SUCCEEDED(add(handler, &registration.token));
    handler->Release();
}

}  // namespace

// Asks the runtime for a new environment; the view follows in its callbacks.
void State::CreateEnvironment() {
    auto self = shared_from_this();
    auto* handler = new Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler, ICoreWebView2Environment>(
        webview2_iid::EnvironmentCompletedHandler,
        [self](HRESULT error, ICoreWebView2Environment* environment) {
            return self->OnEnvironmentCreated(error, environment);
        });
    std::wstring userDataFolder = PrepareUserDataFolder();
    WebView2Loader loader = CurrentWebView2Loader();
    HRESULT hr = loader.createEnvironment
                     ? loader.createEnvironment(nullptr, userDataFolder.c_str(), nullptr, handler)
                     : HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    handler->Release();
    if (FAILED(hr)) Report(false);
}

HRESULT State::OnEnvironmentCreated(HRESULT error, ICoreWebView2Environment* environment) {
    if (closed) return S_OK;
    if (FAILED(error) || !environment) {
        Report(false);
        return S_OK;
    }
    auto self = shared_from_this();
    auto* handler = new Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler, ICoreWebView2Controller>(
        webview2_iid::ControllerCompletedHandler,
        [self](HRESULT result, ICoreWebView2Controller* created) { return self->OnControllerCreated(result, created); });
    HRESULT hr = environment->CreateCoreWebView2Controller(parent, handler);
    handler->Release();
    if (FAILED(hr)) Report(false);
    return S_OK;
}

HRESULT State::OnControllerCreated(HRESULT error, ICoreWebView2Controller* createdController) {
    if (closed) return S_OK;
    if (FAILED(error) || !createdController) {
        Report(false);
        return S_OK;
    }
    controller = createdController;
    controller->AddRef();

    ICoreWebView2* view = nullptr;
    if (FAILED(controller->get_CoreWebView2(&view)) || !view) {
        Report(false);  // the controller keeps its reference until Shutdown
        return S_OK;
    }
    webView = view;
    ConfigureAndRegister();
    webView->Navigate(url.c_str());
    return S_OK;
}

void State::ConfigureAndRegister() {
    controller->put_Bounds(bounds);
    controller->put_IsVisible(TRUE);

    ICoreWebView2Settings* settings = nullptr;
    if (SUCCEEDED(webView->get_Settings(&settings)) && settings) {
        settings->put_AreDevToolsEnabled(FALSE);
        settings->put_IsStatusBarEnabled(FALSE);
        settings->Release();
    }

    auto self = shared_from_this();
    ICoreWebView2* view = webView;
    Register<ICoreWebView2NavigationCompletedEventHandler, ICoreWebView2NavigationCompletedEventArgs>(
        webview2_iid::NavigationCompletedEventHandler,
        [self](ICoreWebView2*, ICoreWebView2NavigationCompletedEventArgs* args) {
            return OnNavigationCompleted(*self, args);
        },
        navigationCompleted, [view](auto* h, auto* t) { return view->add_NavigationCompleted(h, t); });
    Register<ICoreWebView2NavigationStartingEventHandler, ICoreWebView2NavigationStartingEventArgs>(
        webview2_iid::NavigationStartingEventHandler,
        [self](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
            return self->OnNavigationStarting(args);
        },
        navigationStarting, [view](auto* h, auto* t) { return view->add_NavigationStarting(h, t); });
    Register<ICoreWebView2NewWindowRequestedEventHandler, ICoreWebView2NewWindowRequestedEventArgs>(
        webview2_iid::NewWindowRequestedEventHandler,
        [self](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
            return self->OnNewWindowRequested(args);
        },
        newWindowRequested, [view](auto* h, auto* t) { return view->add_NewWindowRequested(h, t); });
    Register<ICoreWebView2ProcessFailedEventHandler, ICoreWebView2ProcessFailedEventArgs>(
        webview2_iid::ProcessFailedEventHandler,
        [self](ICoreWebView2*, ICoreWebView2ProcessFailedEventArgs* args) { return self->OnProcessFailed(args); },
        processFailed, [view](auto* h, auto* t) { return view->add_ProcessFailed(h, t); });

    webView->AddWebResourceRequestedFilter(HelpResourceFilter().c_str(), COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
    Register<ICoreWebView2WebResourceRequestedEventHandler, ICoreWebView2WebResourceRequestedEventArgs>(
        webview2_iid::WebResourceRequestedEventHandler,
        [](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) { return OnWebResourceRequested(args); },
        webResourceRequested, [view](auto* h, auto* t) { return view->add_WebResourceRequested(h, t); });
}

// Navigations leave the help section only for the browser, and only when
// the user clicked a web link.
HRESULT State::OnNavigationStarting(ICoreWebView2NavigationStartingEventArgs* args) {
    std::wstring uri;
    if (!args || !TakeUri(args, uri)) return S_OK;
    if (IsInsideHelp(uri)) return S_OK;
    args->put_Cancel(TRUE);
    if (IsUserInitiated(args) && IsWebUrl(uri)) OpenInBrowserLater(uri);
    return S_OK;
}

// The view never opens a window of its own.
HRESULT State::OnNewWindowRequested(ICoreWebView2NewWindowRequestedEventArgs* args) {
    if (!args) return S_OK;
    args->put_Handled(TRUE);
    std::wstring uri;
    if (!TakeUri(args, uri)) return S_OK;
    if (IsInsideHelp(uri)) {
        if (webView) webView->Navigate(uri.c_str());
    } else if (IsUserInitiated(args) && IsWebUrl(uri)) {
        OpenInBrowserLater(uri);
    }
    return S_OK;
}

// A browser process that ended closed the view for good: it is made anew on
// the same bounds, showing the page it showed. A render process that ended
// or hangs is reloaded. Either counts as one of the few recoveries a window
// gets, so a runtime that keeps failing cannot keep us busy.
HRESULT State::OnProcessFailed(ICoreWebView2ProcessFailedEventArgs* args) {
    COREWEBVIEW2_PROCESS_FAILED_KIND kind{};
    if (closed || !args || FAILED(args->get_ProcessFailedKind(&kind))) return S_OK;
    if (kind > COREWEBVIEW2_PROCESS_FAILED_KIND_RENDER_PROCESS_UNRESPONSIVE || recoveries == kMaxRecoveries) return S_OK;
    ++recoveries;
    if (kind != COREWEBVIEW2_PROCESS_FAILED_KIND_BROWSER_PROCESS_EXITED) {
        if (webView) webView->Reload();
        return S_OK;
    }
    Shutdown();
    CreateEnvironment();
    return S_OK;
}

PageView::PageView() : state_(std::make_shared<State>()) {}

PageView::~PageView() {
    Stop();
    state_.reset();
}

void PageView::Start(HWND parent, const RECT& bounds, std::wstring url, NavigatedCallback onNavigated) {
    Stop();
    state_ = std::make_shared<State>();
    state_->bounds = bounds;
    state_->url = std::move(url);
    size_t marker = state_->url.find(kHelpSectionMarker);
    state_->allowedPrefix = marker == std::wstring::npos
                                ? state_->url
                                : state_->url.substr(0, marker + std::size(kHelpSectionMarker) - 1);
    state_->onNavigated = onNavigated;
    state_->parent = parent;
    state_->CreateEnvironment();
}

void PageView::Navigate(std::wstring url) {
    if (!state_ || state_->closed) return;
    state_->url = std::move(url);
    if (state_->webView) state_->webView->Navigate(state_->url.c_str());
}

void PageView::ParentMoved() {
    if (state_ && !state_->closed && state_->controller) state_->controller->NotifyParentWindowPositionChanged();
}

void PageView::Stop() {
    if (!state_) return;
    state_->closed = true;
    state_->Shutdown();
}

}  // namespace web
