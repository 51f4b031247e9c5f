// The floors for the settings program, built twice from this file:
// - baseline.exe: one window of its own class, shown and painted by the
//   system, and a message loop that ends when the window is closed;
// - baseline_d2d.exe (SLATEWASH_BASELINE_D2D): the same window painted the
//   way the program paints its own surface: a single-threaded Direct2D
//   factory kept for the process, a DC render target per window bound to the
//   BeginPaint DC, one background clear and one rounded card per frame.
// Both rebuild on request (kRebuildMessage): the window is destroyed and a
// new one created, shown and painted, in the same process.
#include <windows.h>

#ifdef SLATEWASH_BASELINE_D2D
#include <d2d1.h>
#endif

namespace {

constexpr UINT kRebuildMessage = WM_APP + 1;
constexpr int kWidth = 685;
constexpr int kHeight = 690;

HINSTANCE instance;
bool rebuilding = false;

#ifdef SLATEWASH_BASELINE_D2D
constexpr wchar_t kClassName[] = L"SlatewashBaselineD2D";
ID2D1Factory* factory = nullptr;
ID2D1DCRenderTarget* target = nullptr;

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (!factory) D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                    reinterpret_cast<void**>(&factory));
    if (factory && !target) {
        D2D1_RENDER_TARGET_PROPERTIES properties{};
        properties.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE};
        properties.dpiX = properties.dpiY = 96.0f;
        if (FAILED(factory->CreateDCRenderTarget(&properties, &target))) target = nullptr;
    }
    RECT client{};
    GetClientRect(window, &client);
    if (target && SUCCEEDED(target->BindDC(dc, &client))) {
        const D2D1_COLOR_F background = {0.95686275f, 0.96862745f, 0.98431373f, 1.0f};
        const D2D1_COLOR_F card = {1.0f, 1.0f, 1.0f, 1.0f};
        target->BeginDraw();
        target->Clear(&background);
        ID2D1SolidColorBrush* brush = nullptr;
        if (SUCCEEDED(target->CreateSolidColorBrush(&card, nullptr, &brush))) {
            D2D1_ROUNDED_RECT rect = {{175.0f, 10.0f, 665.0f, client.bottom - 70.0f}, 12.0f, 12.0f};
            target->FillRoundedRectangle(&rect, brush);
            brush->Release();
        }
        if (target->EndDraw(nullptr, nullptr) == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
            target->Release();
            target = nullptr;
        }
    }
    EndPaint(window, &paint);
}

void ReleaseTarget() {
    if (!target) return;
    target->Release();
    target = nullptr;
}
#else
constexpr wchar_t kClassName[] = L"SlatewashBaseline";
#endif

HWND CreateBaselineWindow() {
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, L"Baseline",
                                  WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                                  kHeight, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
#ifdef SLATEWASH_BASELINE_D2D
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(window); return 0;
#endif
    case kRebuildMessage:
        rebuilding = true;
        DestroyWindow(window);
        rebuilding = false;
        CreateBaselineWindow();
        return 0;
    case WM_DESTROY:
#ifdef SLATEWASH_BASELINE_D2D
        ReleaseTarget();
#endif
        if (!rebuilding) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int) {
    instance = module;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BaselineProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
#ifndef SLATEWASH_BASELINE_D2D
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
#endif
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    CreateBaselineWindow();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
#ifdef SLATEWASH_BASELINE_D2D
    if (factory) factory->Release();
#endif
    return 0;
}
