// The DPI the window is laid out for, and the system's measures at that DPI.
// The per-monitor functions exist from Windows 10 (1607) on and are looked up
// at run time; before that every monitor has the system DPI.
#include "ui/settings_window.h"

#include "base/base.h"
#include "ui/scoped.h"
#include "ui/window_state.h"

namespace {

using DpiForWindowFunction = UINT(WINAPI*)(HWND);
using MetricsForDpiFunction = int(WINAPI*)(int, UINT);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Function>
Function User32Export(const char* name) {
    return ExportOf<Function>(GetModuleHandleW(L"user32.dll"), name);
}

}  // namespace

int SystemDpi() {
    Scoped screen(GetDC(nullptr), [](HDC dc) { ReleaseDC(nullptr, dc); });
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kLayoutDpi;
}

int WindowDpi(HWND window) {
    static const auto dpiForWindow = User32Export<DpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : SystemDpi();
}

int MetricAtDisplayDpi(int index) {
    static const auto metricsForDpi = User32Export<MetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (metricsForDpi) return metricsForDpi(index, displayDpi);
    return MulDiv(GetSystemMetrics(index), displayDpi, SystemDpi());
}

SIZE OuterSizeAtDisplayDpi(SIZE client, DWORD style, DWORD extendedStyle) {
    static const auto adjustForDpi = User32Export<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT rect = {0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, extendedStyle, displayDpi))
        AdjustWindowRectEx(&rect, style, FALSE, extendedStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}
