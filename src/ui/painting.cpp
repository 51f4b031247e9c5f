// The window's own surface: a light background with white rounded cards
// behind the navigation list, the page area and the help view.
#include "ui/settings_window.h"

#include "base/phases.h"
#include "ui/window_state.h"

#include <d2d1.h>

namespace {

constexpr COLORREF kBackgroundColor = RGB(244, 247, 251);
constexpr COLORREF kCardColor = RGB(255, 255, 255);

constexpr D2D1_COLOR_F OpaqueColor(COLORREF color) {
    return {GetRValue(color) / 255.0f, GetGValue(color) / 255.0f, GetBValue(color) / 255.0f, 1.0f};
}

constexpr D2D1_COLOR_F kBackground = OpaqueColor(kBackgroundColor);
constexpr D2D1_COLOR_F kCard = OpaqueColor(kCardColor);
constexpr float kCardRadius = 12.0f;
constexpr float kFooterHeight = 70.0f;  // Save and Cancel sit on the background
constexpr float kHelpCardMinimumWidth = 850.0f;

// What shows behind the text of static texts and check boxes, all of which
// sit on a card.
HBRUSH cardBrush = nullptr;

// A DC render target drawing into the BeginPaint DC: the frame reaches the
// screen through GDI on this thread, like the controls' own painting. A
// window render target would present from a second thread, which under Wine
// leaves stale pages on screen and can deadlock with GDI text drawing.
bool EnsureRenderTarget() {
    if (!d2dFactory && FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                                reinterpret_cast<void**>(&d2dFactory)))) {
        d2dFactory = nullptr;
        return false;
    }
    if (renderTarget) return true;
    // A DC target needs a pixel format GDI can take: 32-bit BGRA, alpha ignored.
    D2D1_RENDER_TARGET_PROPERTIES properties{};
    properties.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE};
    if (FAILED(d2dFactory->CreateDCRenderTarget(&properties, &renderTarget))) {
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

void DrawFrame(HDC dc, const RECT& client) {
    if (FAILED(renderTarget->BindDC(dc, &client))) return;
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
    HDC dc = BeginPaint(window, &paint);
    if (dc && EnsureRenderTarget()) {
        MarkPhase("paint: render target ready");
        RECT client{};
        GetClientRect(window, &client);
        DrawFrame(dc, client);
        MarkPhase("paint: frame drawn");
    }
    EndPaint(window, &paint);
}

// The DC target takes the client size at every BindDC, so a new size only
// needs a whole new frame.
void ResizeRenderTarget(UINT, UINT) {
    if (!renderTarget) return;
    InvalidateRect(mainWindow, nullptr, FALSE);
}

void ReleaseRenderTarget() {
    if (!renderTarget) return;
    renderTarget->Release();
    renderTarget = nullptr;
}

HBRUSH CardBrush() {
    if (!cardBrush) cardBrush = CreateSolidBrush(kCardColor);
    return cardBrush;
}

void ReleasePainting() {
    ReleaseRenderTarget();
    if (d2dFactory) {
        d2dFactory->Release();
        d2dFactory = nullptr;
    }
    if (cardBrush) {
        DeleteObject(cardBrush);
        cardBrush = nullptr;
    }
}
