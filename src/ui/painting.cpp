// The window's own surface: a light background with white rounded cards
// behind the navigation list, the page area and the help view.
#include "ui/settings_window.h"

#include "base/base.h"
#include "base/phases.h"
#include "ui/scoped.h"
#include "ui/window_state.h"

#include <d2d1.h>

namespace {

constexpr D2D1_COLOR_F OpaqueColor(COLORREF color) {
    return {GetRValue(color) / 255.0f, GetGValue(color) / 255.0f, GetBValue(color) / 255.0f, 1.0f};
}

constexpr int kCardRadius = 12;
constexpr int kFooterHeight = 70;  // Save and Cancel sit on the background
constexpr int kHelpCardMinimumWidth = 850;
// The controls are placed in device pixels at every display scale (the
// program is system-DPI-aware and scales its layout itself), so one
// Direct2D unit must be one pixel.
constexpr float kOneUnitPerPixelDpi = 96.0f;

// The cards' Direct2D brush, coloured at each use: made with the render
// target, released with it.
ID2D1SolidColorBrush* cardFill = nullptr;

using CreateFactoryFunction = HRESULT(WINAPI*)(D2D1_FACTORY_TYPE, REFIID, const D2D1_FACTORY_OPTIONS*, void**);

// d2d1.dll is looked up once, in the system folder only (it is no KnownDLL).
// DirectWrite, which Direct2D loads for itself when it is first used, is
// loaded from there first: a loader that resolves Direct2D's delayed imports
// without the process's search order (Wine's does) then finds it loaded and
// never looks in the program's folder.
CreateFactoryFunction FactoryCreator() {
    static CreateFactoryFunction create = [] {
        LoadSystemLibrary(L"dwrite.dll");
        return ExportOf<CreateFactoryFunction>(LoadSystemLibrary(L"d2d1.dll"), "D2D1CreateFactory");
    }();
    return create;
}

// The cards behind the navigation list, the page area and, in the wide
// window, the help view; returns how many there are.
int CardRects(const RECT& client, RECT (&cards)[3]) {
    const int top = ToPixels(kPageArea.top), bottom = client.bottom - ToPixels(kFooterHeight);
    cards[0] = {ToPixels(15), top, ToPixels(165), bottom};
    cards[1] = {ToPixels(kPageArea.left), top, ToPixels(kPageArea.right), bottom};
    cards[2] = {ToPixels(kHelpViewBounds.left), top, client.right - ToPixels(15), bottom};
    return client.right <= ToPixels(kHelpCardMinimumWidth) ? 2 : 3;
}

// A DC render target drawing into the BeginPaint DC: the frame reaches the
// screen through GDI on this thread, like the controls' own painting. A
// window render target would present from a second thread, which under Wine
// leaves stale pages on screen and can deadlock with GDI text drawing.
bool EnsureRenderTarget() {
    if (!d2dFactory) {
        CreateFactoryFunction create = FactoryCreator();
        if (!create || FAILED(create(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                     reinterpret_cast<void**>(&d2dFactory)))) {
            d2dFactory = nullptr;
            return false;
        }
    }
    if (renderTarget) return true;
    // A DC target needs a pixel format GDI can take: 32-bit BGRA, alpha ignored.
    D2D1_RENDER_TARGET_PROPERTIES properties{};
    properties.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE};
    properties.dpiX = kOneUnitPerPixelDpi;
    properties.dpiY = kOneUnitPerPixelDpi;
    if (FAILED(d2dFactory->CreateDCRenderTarget(&properties, &renderTarget))) {
        renderTarget = nullptr;
        return false;
    }
    const D2D1_COLOR_F card = OpaqueColor(ColourOf(Colour::Card));
    if (FAILED(renderTarget->CreateSolidColorBrush(&card, nullptr, &cardFill)) || !cardFill) {
        cardFill = nullptr;
        ReleaseRenderTarget();
        return false;
    }
    return true;
}

// In high contrast a card is also outlined, one pixel inside its edge, as
// the background and the card share the system's window colour.
void FillCard(const RECT& rect) {
    const float radius = static_cast<float>(ToPixels(kCardRadius));
    D2D1_ROUNDED_RECT card = {{static_cast<float>(rect.left), static_cast<float>(rect.top),
                               static_cast<float>(rect.right), static_cast<float>(rect.bottom)},
                              radius, radius};
    const D2D1_COLOR_F fill = OpaqueColor(ColourOf(Colour::Card));
    cardFill->SetColor(&fill);
    renderTarget->FillRoundedRectangle(&card, cardFill);
    if (!IsHighContrast()) return;
    const D2D1_COLOR_F outline = OpaqueColor(ColourOf(Colour::CardOutline));
    cardFill->SetColor(&outline);
    D2D1_ROUNDED_RECT edge = {{card.rect.left + 0.5f, card.rect.top + 0.5f, card.rect.right - 0.5f,
                               card.rect.bottom - 0.5f},
                              radius, radius};
    renderTarget->DrawRoundedRectangle(&edge, cardFill, 1.0f);
}

bool DrawFrame(HDC dc, const RECT& client) {
    if (FAILED(renderTarget->BindDC(dc, &client))) return false;
    RECT cards[3];
    int count = CardRects(client, cards);
    renderTarget->BeginDraw();
    const D2D1_COLOR_F background = OpaqueColor(ColourOf(Colour::Background));
    renderTarget->Clear(&background);
    for (int i = 0; i < count; ++i) FillCard(cards[i]);
    if (renderTarget->EndDraw(nullptr, nullptr) == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) ReleaseRenderTarget();
    return true;
}

// The same frame without Direct2D (none on the machine, a broken graphics
// stack): better than the black client area a window without a background
// brush would show.
void DrawFrameWithGdi(HDC dc, const RECT& client) {
    FillRect(dc, &client, BrushOf(Colour::Background));
    HGDIOBJ oldBrush = SelectObject(dc, BrushOf(Colour::Card));
    // An outline in the card colour makes GDI cover the card's pixels from
    // left and top up to, but not including, right and bottom, as Direct2D
    // does; in high contrast it is the outline Direct2D draws.
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    COLORREF oldPenColor = SetDCPenColor(dc, ColourOf(IsHighContrast() ? Colour::CardOutline : Colour::Card));
    RECT cards[3];
    int count = CardRects(client, cards);
    for (int i = 0; i < count; ++i)
        RoundRect(dc, cards[i].left, cards[i].top, cards[i].right, cards[i].bottom, 2 * ToPixels(kCardRadius),
                  2 * ToPixels(kCardRadius));
    SetDCPenColor(dc, oldPenColor);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

}  // namespace

void PaintSettingsWindow(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc) {
        RECT client{};
        GetClientRect(window, &client);
        // Direct2D is tried again on every paint until it works.
        bool ready = EnsureRenderTarget();
        MarkPhase("paint: render target ready");
        if (!ready || !DrawFrame(dc, client)) DrawFrameWithGdi(dc, client);
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
    if (cardFill) cardFill->Release();
    cardFill = nullptr;
    renderTarget->Release();
    renderTarget = nullptr;
}

HBRUSH BrushBehind(HWND window, HWND control) {
    RECT client{}, rect{};
    GetClientRect(window, &client);
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    const bool inFooter = rect.top >= client.bottom - ToPixels(kFooterHeight);
    return BrushOf(inFooter ? Colour::Background : Colour::Card);
}

void PrintSettingsWindow(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    DrawFrameWithGdi(dc, client);
}

void ReleasePainting() {
    ReleaseRenderTarget();
    if (d2dFactory) {
        d2dFactory->Release();
        d2dFactory = nullptr;
    }
    ReleaseBrushes();
}
