// Control interface of the fake WebView2Loader.dll used by the tests. The
// fake records every call it receives, one line each, in order.
#pragma once

#include <windows.h>

enum FakeWebView2Failure : unsigned {
    kFailEnvironmentAtOnce = 1u << 0,
    kFailEnvironmentCompletion = 1u << 1,
    kFailControllerAtOnce = 1u << 2,
    kFailControllerCompletion = 1u << 3,
    kFailGetCoreWebView2 = 1u << 4,
    kFailVersion = 1u << 5,
    kVersionNull = 1u << 6,
    // The getters of event arguments fail: get_Uri and get_IsSuccess with an
    // error but a result written all the same (only the HRESULT may be
    // trusted), get_Headers with success but no object.
    kFailEventGetters = 1u << 7,
};

// The view window's property that counts NotifyParentWindowPositionChanged.
constexpr wchar_t kMovesProperty[] = L"FakeWebView2Moves";

// Function types of the exports, looked up by the tests with GetProcAddress.
extern "C" {
using FakeResetFunction = void (*)(unsigned failures);
using FakeLogFunction = const char* (*)();
using FakeCountFunction = int (*)();
// Fire an event on the current web view; -1 when no handler is registered,
// otherwise the flag the handler set (cancel or handled; for web resource
// requests, the number of headers set).
using FakeFireFunction = int (*)(const wchar_t* uri, int userInitiated);
using FakeFireCompletedFunction = int (*)(int success);
}
