// The window's own surface: a light background with white rounded cards
// behind the navigation list, the page area and the help view.
#include "ui/settings_window.h"

#include "app/process_state.h"

#include <d2d1.h>

namespace {

constexpr D2D1_COLOR_F kBackground = {244.0f / 255.0f, 247.0f / 255.0f, 251.0f / 255.0f, 1.0f};
constexpr D2D1_COLOR_F kCard = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kCardRadius = 12.0f;
constexpr float kFooterHeight = 70.0f;  // Save and Cancel sit on the background
constexpr float kHelpCardMinimumWidth = 850.0f;

bool EnsureRenderTarget(HWND window) {
    if (!d2dFactory &&
        FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                 reinterpret_cast<void**>(&d2dFactory)))) {
        d2dFactory = nullptr;
        return false;
    }
    if (renderTarget) return true;
    RECT client{};
    GetClientRect(window, &client);
    D2D1_RENDER_TARGET_PROPERTIES properties{};
    D2D1_HWND_RENDER_TARGET_PROPERTIES windowProperties{};
    windowProperties.hwnd = window;
    windowProperties.pixelSize = {static_cast<UINT32>(client.right), static_cast<UINT32>(client.bottom)};
    windowProperties.presentOptions = D2D1_PRESENT_OPTIONS_NONE;
    if (FAILED(d2dFactory->CreateHwndRenderTarget(&properties, &windowProperties, &renderTarget))) {
        renderTarget = nullptr;
        return false;
    }
    return true;
}

void FillCard(const D2D1_RECT_F& rect) {
    ID2D1SolidColorBrush* brush = nullptr;
    if (FAILED(renderTarget->CreateSolidColorBrush(&kCard, nullptr, &brush)) || !brush) return;
    D2D1_ROUNDED_RECT card = {rect, kCardRadius, kCardRadius};
    renderTarget->FillRoundedRectangle(&card, brush);
    brush->Release();
}

void DrawFrame(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    float width = static_cast<float>(client.right);
    float height = static_cast<float>(client.bottom);

    renderTarget->BeginDraw();
    renderTarget->Clear(&kBackground);
    FillCard({15.0f, 10.0f, 165.0f, height - kFooterHeight});
    FillCard({175.0f, 10.0f, 665.0f, height - kFooterHeight});
    if (width > kHelpCardMinimumWidth) FillCard({675.0f, 10.0f, width - 15.0f, height - kFooterHeight});
    if (renderTarget->EndDraw(nullptr, nullptr) == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) ReleaseRenderTarget();
}

}  // namespace

void PaintSettingsWindow(HWND window) {
    PAINTSTRUCT paint{};
    BeginPaint(window, &paint);
    if (EnsureRenderTarget(window)) DrawFrame(window);
    EndPaint(window, &paint);
}

void ResizeRenderTarget(UINT width, UINT height) {
    if (!renderTarget) return;
    D2D1_SIZE_U size = {width, height};
    renderTarget->Resize(&size);
    InvalidateRect(mainWindow, nullptr, FALSE);
}

void ReleaseRenderTarget() {
    if (!renderTarget) return;
    renderTarget->Release();
    renderTarget = nullptr;
}
