// A fake WebView2 runtime behind the two loader exports, or (built as
// EmbeddedBrowserWebView.dll) behind the installed runtime's own entry point.
// Creation completes through the message loop, as the real runtime does; every
// call is logged; object lifetimes are counted so tests can find leaks and
// double releases on either side.
#include "fake_webview2.h"

#include "base/base.h"
#include "web/webview2.h"

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kRunPending = WM_APP + 1;
constexpr wchar_t kViewClass[] = L"FakeWebView2";

struct Handlers {
    ICoreWebView2NavigationCompletedEventHandler* navigationCompleted = nullptr;
    ICoreWebView2NavigationStartingEventHandler* navigationStarting = nullptr;
    ICoreWebView2NewWindowRequestedEventHandler* newWindowRequested = nullptr;
    ICoreWebView2WebResourceRequestedEventHandler* webResourceRequested = nullptr;
    ICoreWebView2ProcessFailedEventHandler* processFailed = nullptr;
};

struct Runtime {
    unsigned failures = 0;
    std::string log;
    int liveObjects = 0;
    int heldHandlers = 0;
    int errors = 0;
    long long nextToken = 100;
    HWND messageWindow = nullptr;
    std::vector<std::function<void()>> pending;
    Handlers handlers;
    std::vector<std::wstring> filters;
    ICoreWebView2* view = nullptr;  // the latest web view, not owned
    HWND viewWindow = nullptr;      // the latest view's window; its text is the page shown
    IUnknown* invoking = nullptr;   // the handler being invoked, which may remove itself
};

Runtime runtime;
HMODULE thisModule = nullptr;

void Log(const std::string& line) {
    runtime.log += line;
    runtime.log += '\n';
}

HRESULT Logged(const std::string& line) {
    Log(line);
    return S_OK;
}

bool Fails(unsigned failure) {
    return (runtime.failures & failure) != 0;
}

LRESULT CALLBACK MessageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunPending) {
        std::vector<std::function<void()>> work;
        work.swap(runtime.pending);
        for (auto& step : work) step();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Later(std::function<void()> step) {
    if (!runtime.messageWindow) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = MessageWindowProc;
        wc.hInstance = thisModule;
        wc.lpszClassName = L"FakeWebView2Messages";
        RegisterClassW(&wc);
        WNDCLASSW view{};
        view.lpfnWndProc = DefWindowProcW;
        view.hInstance = thisModule;
        view.lpszClassName = kViewClass;
        view.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        RegisterClassW(&view);
        runtime.messageWindow = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                thisModule, nullptr);
    }
    runtime.pending.push_back(std::move(step));
    PostMessageW(runtime.messageWindow, kRunPending, 0, 0);
}

void Check(bool condition, const std::string& what) {
    if (condition) return;
    ++runtime.errors;
    Log("ERROR " + what);
}

// Takes a reference to a handler the program hands us, after checking that
// it answers QueryInterface for IUnknown and its own IID only.
template <typename Handler>
Handler* Hold(Handler* handler, const IID& iid) {
    void* object = nullptr;
    Check(handler->QueryInterface(IID_IUnknown, &object) == S_OK && object, "handler refuses IUnknown");
    if (object) static_cast<IUnknown*>(object)->Release();
    object = nullptr;
    Check(handler->QueryInterface(iid, &object) == S_OK && object == handler, "handler refuses its own IID");
    if (object) static_cast<IUnknown*>(object)->Release();
    object = reinterpret_cast<void*>(1);
    Check(handler->QueryInterface(webview2_iid::WebView, &object) == E_NOINTERFACE && !object,
          "handler accepts a foreign IID");
    Check(handler->QueryInterface(iid, nullptr) == E_POINTER, "handler accepts a null out-pointer");
    handler->AddRef();
    ++runtime.heldHandlers;
    return handler;
}

// Drops our reference; the program must have dropped its own already, but
// for the one it holds while that handler runs.
template <typename Handler>
void Drop(Handler*& handler, const char* what) {
    if (!handler) return;
    ULONG left = handler->Release();
    --runtime.heldHandlers;
    Check(left == (handler == runtime.invoking ? 1u : 0u),
          std::string(what) + " handler still referenced: " + std::to_string(left));
    handler = nullptr;
}

template <typename Interface>
class FakeObject : public Interface {
public:
    explicit FakeObject(const IID& iid) : iid_(iid) { ++runtime.liveObjects; }
    virtual ~FakeObject() { --runtime.liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, iid_)) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (count_ <= 0) {
            ++runtime.errors;
            Log("ERROR release of a freed object");
            return 0;
        }
        ULONG left = static_cast<ULONG>(--count_);
        if (left == 0) delete this;
        return left;
    }

private:
    IID iid_;
    long count_ = 1;
};

#define UNUSED_SLOT(n) \
    HRESULT STDMETHODCALLTYPE Unused##n() override { return E_NOTIMPL; }

LPWSTR CoTaskString(const std::wstring& text) {
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    wcscpy(copy, text.c_str());
    return copy;
}

class FakeSettings : public FakeObject<ICoreWebView2Settings> {
public:
    FakeSettings() : FakeObject(webview2_iid::Settings) {}
    UNUSED_SLOT(03) UNUSED_SLOT(04) UNUSED_SLOT(05) UNUSED_SLOT(06) UNUSED_SLOT(07) UNUSED_SLOT(08) UNUSED_SLOT(09)
    UNUSED_SLOT(11)
    HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL value) override {
        return Logged("put_IsStatusBarEnabled " + std::to_string(value));
    }
    HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL value) override {
        return Logged("put_AreDevToolsEnabled " + std::to_string(value));
    }
};

class FakeHeaders : public FakeObject<ICoreWebView2HttpRequestHeaders> {
public:
    explicit FakeHeaders(int& count) : FakeObject(webview2_iid::HttpRequestHeaders), count_(count) {}
    UNUSED_SLOT(03) UNUSED_SLOT(04) UNUSED_SLOT(05)
    HRESULT STDMETHODCALLTYPE SetHeader(LPCWSTR name, LPCWSTR value) override {
        Log("SetHeader " + WideToUtf8(name) + ": " + WideToUtf8(value));
        ++count_;
        return S_OK;
    }

private:
    int& count_;
};

class FakeRequest : public FakeObject<ICoreWebView2WebResourceRequest> {
public:
    explicit FakeRequest(int& count) : FakeObject(webview2_iid::WebResourceRequest), count_(count) {}
    UNUSED_SLOT(03) UNUSED_SLOT(04) UNUSED_SLOT(05) UNUSED_SLOT(06) UNUSED_SLOT(07) UNUSED_SLOT(08)
    HRESULT STDMETHODCALLTYPE get_Headers(ICoreWebView2HttpRequestHeaders** headers) override {
        *headers = Fails(kFailEventGetters) ? nullptr : new FakeHeaders(count_);
        return S_OK;
    }

private:
    int& count_;
};

// An event's args; `answer` is what the handler told the runtime through
// them, which the Fire exports return.
template <typename Interface>
class FakeArgs : public FakeObject<Interface> {
public:
    using FakeObject<Interface>::FakeObject;
    int answer = 0;
};

class FakeResourceArgs : public FakeArgs<ICoreWebView2WebResourceRequestedEventArgs> {
public:
    FakeResourceArgs() : FakeArgs(webview2_iid::WebResourceRequestedEventArgs) {}
    HRESULT STDMETHODCALLTYPE get_Request(ICoreWebView2WebResourceRequest** request) override {
        *request = new FakeRequest(answer);  // the headers set
        return S_OK;
    }
};

// The args of a navigation or a new window, which a user or a script started.
template <typename Interface>
class FakeUriArgs : public FakeArgs<Interface> {
public:
    FakeUriArgs(const IID& iid, std::wstring uri, BOOL userInitiated)
        : FakeArgs<Interface>(iid), uri_(std::move(uri)), user_(userInitiated) {}
    HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) override {
        *uri = CoTaskString(uri_);
        return Fails(kFailEventGetters) ? E_FAIL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* user) override {
        *user = user_;
        return S_OK;
    }

protected:
    // The host's one answer: cancel the navigation, or the new window handled.
    HRESULT Answer(const char* method, BOOL value) {
        this->answer = value;
        return Logged(std::string(method) + " " + std::to_string(value));
    }

private:
    std::wstring uri_;
    BOOL user_;
};

class FakeStartingArgs : public FakeUriArgs<ICoreWebView2NavigationStartingEventArgs> {
public:
    FakeStartingArgs(std::wstring uri, BOOL user)
        : FakeUriArgs(webview2_iid::NavigationStartingEventArgs, std::move(uri), user) {}
    UNUSED_SLOT(05) UNUSED_SLOT(06) UNUSED_SLOT(07)
    HRESULT STDMETHODCALLTYPE put_Cancel(BOOL cancel) override { return Answer("put_Cancel", cancel); }
};

class FakeNewWindowArgs : public FakeUriArgs<ICoreWebView2NewWindowRequestedEventArgs> {
public:
    FakeNewWindowArgs(std::wstring uri, BOOL user)
        : FakeUriArgs(webview2_iid::NewWindowRequestedEventArgs, std::move(uri), user) {}
    UNUSED_SLOT(04) UNUSED_SLOT(05) UNUSED_SLOT(07)
    HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) override { return Answer("put_Handled", handled); }
};

class FakeCompletedArgs : public FakeArgs<ICoreWebView2NavigationCompletedEventArgs> {
public:
    explicit FakeCompletedArgs(BOOL success) : FakeArgs(webview2_iid::NavigationCompletedEventArgs), success_(success) {}
    HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* success) override {
        *success = success_;
        return Fails(kFailEventGetters) ? E_FAIL : S_OK;
    }

private:
    BOOL success_;
};

// The args carry no IID of their own in our declarations; nobody asks.
class FakeProcessFailedArgs : public FakeArgs<ICoreWebView2ProcessFailedEventArgs> {
public:
    explicit FakeProcessFailedArgs(int kind) : FakeArgs(IID_IUnknown), kind_(kind) {}
    HRESULT STDMETHODCALLTYPE get_ProcessFailedKind(COREWEBVIEW2_PROCESS_FAILED_KIND* kind) override {
        *kind = static_cast<COREWEBVIEW2_PROCESS_FAILED_KIND>(kind_);
        return S_OK;
    }

private:
    int kind_;
};

std::string TokenText(EventRegistrationToken token) {
    return std::to_string(static_cast<long long>(token.value));
}

// add_ and remove_ of an event whose handler the runtime keeps in `slot`.
#define FAKE_EVENT(Name, slot)                                                                                  \
    HRESULT STDMETHODCALLTYPE add_##Name(ICoreWebView2##Name##EventHandler* handler, EventRegistrationToken* token) \
        override {                                                                                              \
        return Add(#Name, handler, webview2_iid::Name##EventHandler, runtime.handlers.slot, token);            \
    }                                                                                                           \
    HRESULT STDMETHODCALLTYPE remove_##Name(EventRegistrationToken token) override {                            \
        return Remove(#Name, runtime.handlers.slot, token);                                                     \
    }

class FakeWebView : public FakeObject<ICoreWebView2> {
public:
    FakeWebView() : FakeObject(webview2_iid::WebView) { runtime.view = this; }
    ~FakeWebView() override {
        if (runtime.view == this) runtime.view = nullptr;
    }
    UNUSED_SLOT(04) UNUSED_SLOT(06) UNUSED_SLOT(09) UNUSED_SLOT(10) UNUSED_SLOT(11) UNUSED_SLOT(12) UNUSED_SLOT(13)
    UNUSED_SLOT(14) UNUSED_SLOT(17) UNUSED_SLOT(18) UNUSED_SLOT(19) UNUSED_SLOT(20) UNUSED_SLOT(21) UNUSED_SLOT(22)
    UNUSED_SLOT(23) UNUSED_SLOT(24) UNUSED_SLOT(27) UNUSED_SLOT(28) UNUSED_SLOT(29) UNUSED_SLOT(30) UNUSED_SLOT(32) UNUSED_SLOT(33) UNUSED_SLOT(34) UNUSED_SLOT(35) UNUSED_SLOT(36)
    UNUSED_SLOT(37) UNUSED_SLOT(38) UNUSED_SLOT(39) UNUSED_SLOT(40) UNUSED_SLOT(41) UNUSED_SLOT(42) UNUSED_SLOT(43)
    UNUSED_SLOT(46) UNUSED_SLOT(47) UNUSED_SLOT(48) UNUSED_SLOT(49) UNUSED_SLOT(50) UNUSED_SLOT(51) UNUSED_SLOT(52)
    UNUSED_SLOT(53) UNUSED_SLOT(54)

    HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) override {
        Log("get_Settings");
        *settings = new FakeSettings();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) override {
        Log("Navigate " + WideToUtf8(uri));
        if (runtime.viewWindow) SetWindowTextW(runtime.viewWindow, uri);
        return S_OK;
    }
    FAKE_EVENT(NavigationStarting, navigationStarting)
    FAKE_EVENT(NavigationCompleted, navigationCompleted)
    FAKE_EVENT(NewWindowRequested, newWindowRequested)
    FAKE_EVENT(WebResourceRequested, webResourceRequested)
    FAKE_EVENT(ProcessFailed, processFailed)
    HRESULT STDMETHODCALLTYPE Reload() override { return Logged("Reload"); }
    HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter(LPCWSTR uri,
                                                            COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) override {
        runtime.filters.push_back(uri);
        return Logged("AddWebResourceRequestedFilter " + WideToUtf8(uri) + " " + std::to_string(context));
    }
    HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilter(LPCWSTR uri,
                                                               COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) override {
        Log("RemoveWebResourceRequestedFilter " + WideToUtf8(uri) + " " + std::to_string(context));
        for (auto it = runtime.filters.begin(); it != runtime.filters.end(); ++it) {
            if (*it == uri) {
                runtime.filters.erase(it);
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }

private:
    template <typename Handler>
    HRESULT Add(const char* event, Handler* handler, const IID& iid, Handler*& slot, EventRegistrationToken* token) {
        Drop(slot, event);
        slot = Hold(handler, iid);
        *token = EventRegistrationToken{runtime.nextToken++};
        tokens_.push_back(token->value);
        Log(std::string("add_") + event + " " + TokenText(*token));
        return S_OK;
    }
    template <typename Handler>
    HRESULT Remove(const char* event, Handler*& slot, EventRegistrationToken token) {
        Log(std::string("remove_") + event + " " + TokenText(token));
        bool known = false;
        for (long long value : tokens_) known |= value == token.value;
        if (!known || !slot) {
            ++runtime.errors;
            Log("ERROR unknown token");
            return E_INVALIDARG;
        }
        Drop(slot, event);
        return S_OK;
    }
    std::vector<long long> tokens_;
};

class FakeController : public FakeObject<ICoreWebView2Controller> {
public:
    explicit FakeController(HWND parent) : FakeObject(webview2_iid::Controller), parent_(parent) {}
    ~FakeController() override {
        if (runtime.viewWindow == window_) runtime.viewWindow = nullptr;
        if (view_) view_->Release();
        if (window_) DestroyWindow(window_);
    }
    UNUSED_SLOT(07) UNUSED_SLOT(08) UNUSED_SLOT(09) UNUSED_SLOT(10) UNUSED_SLOT(11) UNUSED_SLOT(12) UNUSED_SLOT(13)
    UNUSED_SLOT(14) UNUSED_SLOT(15) UNUSED_SLOT(16) UNUSED_SLOT(17) UNUSED_SLOT(18) UNUSED_SLOT(19) UNUSED_SLOT(20)
    UNUSED_SLOT(21) UNUSED_SLOT(22)

    // Counted on the view window too, where another process can read it.
    HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() override {
        Log("NotifyParentWindowPositionChanged");
        if (window_) SetPropW(window_, kMovesProperty, reinterpret_cast<HANDLE>(++moves_));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* visible) override {
        *visible = window_ && IsWindowVisible(window_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL visible) override {
        if (window_) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
        return Logged("put_IsVisible " + std::to_string(visible));
    }
    HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) override {
        *bounds = bounds_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) override {
        bounds_ = bounds;
        Log("put_Bounds " + std::to_string(bounds.left) + "," + std::to_string(bounds.top) + "," +
            std::to_string(bounds.right) + "," + std::to_string(bounds.bottom));
        if (!window_ && IsWindow(parent_)) {
            window_ = CreateWindowExW(0, kViewClass, L"", WS_CHILD, 0, 0, 0, 0, parent_, nullptr, thisModule, nullptr);
            runtime.viewWindow = window_;
        }
        if (window_) {
            MoveWindow(window_, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        Log("Close");
        if (runtime.viewWindow == window_) runtime.viewWindow = nullptr;
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** view) override {
        Log("get_CoreWebView2");
        if (Fails(kFailGetCoreWebView2)) {
            *view = nullptr;
            return E_FAIL;
        }
        if (!view_) view_ = new FakeWebView();
        view_->AddRef();
        *view = view_;
        return S_OK;
    }

private:
    HWND parent_;
    HWND window_ = nullptr;
    RECT bounds_{};
    FakeWebView* view_ = nullptr;
    INT_PTR moves_ = 0;
};

class FakeEnvironment : public FakeObject<ICoreWebView2Environment> {
public:
    FakeEnvironment() : FakeObject(webview2_iid::Environment) {}
    HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parent, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override {
        Log("CreateCoreWebView2Controller");
        if (Fails(kFailControllerAtOnce)) return E_FAIL;
        Hold(handler, webview2_iid::ControllerCompletedHandler);
        Later([parent, handler]() mutable {
            if (Fails(kFailControllerCompletion)) {
                handler->Invoke(E_FAIL, nullptr);
            } else {
                auto* controller = new FakeController(parent);
                handler->Invoke(S_OK, controller);
                controller->Release();
            }
            Drop(handler, "controller-created");
        });
        return S_OK;
    }
};

// Fires the event at its handler with `args` (released here): -1 when no
// handler is registered, else the args' answer.
template <typename Handler, typename Args>
int Fire(Handler* handler, Args* args) {
    int answer = -1;
    if (handler) {
        runtime.invoking = handler;
        handler->Invoke(runtime.view, args);
        runtime.invoking = nullptr;
        answer = args->answer;
    }
    args->Release();
    return answer;
}

bool MatchesFilter(const std::wstring& uri) {
    for (const std::wstring& filter : runtime.filters) {
        if (!filter.empty() && filter.back() == L'*') {
            if (uri.compare(0, filter.size() - 1, filter, 0, filter.size() - 1) == 0) return true;
        } else if (uri == filter) {
            return true;
        }
    }
    return false;
}

void CompleteEnvironment(ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    if (Fails(kFailEnvironmentCompletion)) {
        handler->Invoke(E_FAIL, nullptr);
        return;
    }
    auto* environment = new FakeEnvironment();
    handler->Invoke(S_OK, environment);
    environment->Release();
}

}  // namespace

extern "C" {

#ifdef FAKE_WEBVIEW2_RUNTIME_DLL

extern "C" __declspec(dllimport) int FakeRuntimePartReady();

// The installed runtime's own entry point. It completes before it returns,
// which the real runtime may also do, while the loader below completes
// through the message loop.
__declspec(dllexport) HRESULT STDAPICALLTYPE CreateWebViewEnvironmentWithOptionsInternal(
    BOOL checkRunningInstance, int runtimeType, PCWSTR userDataFolder, IUnknown* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    Log("CreateWebViewEnvironmentWithOptionsInternal check=" + std::to_string(checkRunningInstance) +
        " type=" + std::to_string(runtimeType) + " data=" + WideToUtf8(userDataFolder ? userDataFolder : L"") +
        " options=" + (options ? "set" : "null"));
    if (checkRunningInstance != TRUE || runtimeType != 0 || !handler) return E_INVALIDARG;
    if (Fails(kFailEnvironmentAtOnce) || !FakeRuntimePartReady()) return E_FAIL;
    CompleteEnvironment(handler);
    return S_OK;
}

#else

__declspec(dllexport) HRESULT STDAPICALLTYPE CreateCoreWebView2EnvironmentWithOptions(
    PCWSTR browserFolder, PCWSTR userDataFolder, IUnknown* options,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
    Log("CreateCoreWebView2EnvironmentWithOptions browser=" + std::string(browserFolder ? "set" : "null") +
        " data=" + WideToUtf8(userDataFolder ? userDataFolder : L"") + " options=" + (options ? "set" : "null"));
    if (Fails(kFailEnvironmentAtOnce)) return E_FAIL;
    Hold(handler, webview2_iid::EnvironmentCompletedHandler);
    Later([handler]() mutable {
        CompleteEnvironment(handler);
        Drop(handler, "environment-created");
    });
    return S_OK;
}

// A loader without this export is broken; the program must not trust it.
#ifndef FAKE_WEBVIEW2_WITHOUT_VERSION
__declspec(dllexport) HRESULT STDAPICALLTYPE GetAvailableCoreWebView2BrowserVersionString(PCWSTR browserFolder,
                                                                                       LPWSTR* version) {
    Log(std::string("GetAvailableCoreWebView2BrowserVersionString browser=") + (browserFolder ? "set" : "null"));
    if (Fails(kFailVersion)) return E_FAIL;
    *version = Fails(kVersionNull) ? nullptr : CoTaskString(L"120.0.2210.91");
    return S_OK;
}

#endif

#endif

__declspec(dllexport) void FakeWebView2_Reset(unsigned failures) {
    runtime.failures = failures;
    runtime.log.clear();
    runtime.errors = 0;
}

__declspec(dllexport) const char* FakeWebView2_Log() {
    return runtime.log.c_str();
}

__declspec(dllexport) int FakeWebView2_LiveObjects() {
    return runtime.liveObjects;
}

__declspec(dllexport) int FakeWebView2_HeldHandlers() {
    return runtime.heldHandlers;
}

__declspec(dllexport) int FakeWebView2_Errors() {
    return runtime.errors;
}

__declspec(dllexport) int FakeWebView2_PendingSteps() {
    return static_cast<int>(runtime.pending.size());
}

__declspec(dllexport) int FakeWebView2_FireNavigationStarting(const wchar_t* uri, int userInitiated) {
    return Fire(runtime.handlers.navigationStarting, new FakeStartingArgs(uri, userInitiated));
}

__declspec(dllexport) int FakeWebView2_FireNewWindowRequested(const wchar_t* uri, int userInitiated) {
    return Fire(runtime.handlers.newWindowRequested, new FakeNewWindowArgs(uri, userInitiated));
}

// Only requests that match a registered filter reach the handler, as in the
// real runtime.
__declspec(dllexport) int FakeWebView2_FireWebResourceRequested(const wchar_t* uri, int) {
    return MatchesFilter(uri) ? Fire(runtime.handlers.webResourceRequested, new FakeResourceArgs()) : -1;
}

__declspec(dllexport) int FakeWebView2_FireProcessFailed(int kind) {
    return Fire(runtime.handlers.processFailed, new FakeProcessFailedArgs(kind));
}

__declspec(dllexport) int FakeWebView2_FireNavigationCompleted(int success) {
    return Fire(runtime.handlers.navigationCompleted, new FakeCompletedArgs(success));
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) thisModule = instance;
    return TRUE;
}
