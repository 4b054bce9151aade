#include "platform/Canvas.h"

#include <windows.h>

#include <vector>

namespace {

RECT ToRect(const CanvasRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Draws on the window's device context. Every pen and brush made is kept
// until End deletes it, after the window's own have been selected back.
class GdiCanvas final : public Canvas {
public:
    CanvasSize OuterSize(NativeHandle window) override
    {
        RECT outer{};
        if (!window || !GetWindowRect(static_cast<HWND>(window), &outer)) return {0, 0};
        return {outer.right - outer.left, outer.bottom - outer.top};
    }

    int Dpi(NativeHandle window) override
    {
        // GetDpiForWindow where the system has it (Windows 10, Wine), else
        // the screen's.
        using DpiForWindow = UINT(WINAPI*)(HWND);
        static const auto forWindow = reinterpret_cast<DpiForWindow>(
            reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
        if (window && forWindow)
            if (const UINT dpi = forWindow(static_cast<HWND>(window))) return static_cast<int>(dpi);
        HDC screen = GetDC(nullptr);
        const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
        if (screen) ReleaseDC(nullptr, screen);
        return dpi > 0 ? dpi : CanvasBaseDpi;
    }

    bool Begin(NativeHandle window, const CanvasRect& area) override
    {
        if (!window || dc_) return false;
        window_ = static_cast<HWND>(window);
        const RECT rect = ToRect(area);
        RedrawWindow(window_, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
        dc_ = GetDC(window_);
        if (!dc_) return false;
        made_ = 0;
        originalPen_ = nullptr;
        originalBrush_ = nullptr;
        originalFont_ = nullptr;
        ScaleFont(Dpi(window));
        return true;
    }

    void End() override
    {
        if (!dc_) return;
        if (originalPen_) SelectObject(dc_, originalPen_);
        if (originalBrush_) SelectObject(dc_, originalBrush_);
        if (originalFont_) SelectObject(dc_, originalFont_);
        for (int i = 0; i < made_; ++i) DeleteObject(objects_[i]);
        made_ = 0;
        ReleaseDC(window_, dc_);
        dc_ = nullptr;
    }

    void UsePen(int width, CanvasColor color) override
    {
        if (made_ == MaxObjects) return;
        HGDIOBJ previous = SelectObject(dc_, Keep(CreatePen(PS_SOLID, width, color)));
        if (!originalPen_) originalPen_ = previous;
    }

    void UseBrush(CanvasColor color) override
    {
        if (made_ == MaxObjects) return;
        HGDIOBJ previous = SelectObject(dc_, Keep(CreateSolidBrush(color)));
        if (!originalBrush_) originalBrush_ = previous;
    }

    void Polygon(const CanvasPoint* points, int count) override
    {
        std::vector<POINT> corners;
        for (int i = 0; i < count; ++i) corners.push_back(POINT{points[i].x, points[i].y});
        ::Polygon(dc_, corners.data(), count);
    }

    void Rectangle(const CanvasRect& rect) override { ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom); }

    void MoveTo(const CanvasPoint& point) override { MoveToEx(dc_, point.x, point.y, nullptr); }

    void LineTo(const CanvasPoint& point) override { ::LineTo(dc_, point.x, point.y); }

    void Fill(const CanvasRect& rect, CanvasColor color) override
    {
        const RECT r = ToRect(rect);
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc_, &r, brush);
        DeleteObject(brush);
    }

    void SetTextColors(CanvasColor text, CanvasColor background) override
    {
        SetTextColor(dc_, text);
        SetBkColor(dc_, background);
    }

    void Text(const char* text, const CanvasRect& rect) override
    {
        RECT r = ToRect(rect);
        DrawTextA(dc_, text, -1, &r, DT_NOCLIP);
    }

private:
    // The device context's font (the system font, 16 pixels high at 96
    // DPI) at the height of the window's DPI, where it is not already.
    void ScaleFont(int dpi)
    {
        constexpr int SystemFontHeight = 16;
        TEXTMETRICA metrics{};
        LOGFONTA font{};
        if (dpi == CanvasBaseDpi || !GetTextMetricsA(dc_, &metrics) ||
            !GetObjectA(GetCurrentObject(dc_, OBJ_FONT), sizeof font, &font))
            return;
        const int wanted = CanvasScaled(SystemFontHeight, dpi);
        if (metrics.tmHeight == wanted) return;
        font.lfHeight = wanted;
        font.lfWidth = 0;
        if (HFONT scaled = CreateFontIndirectA(&font)) originalFont_ = SelectObject(dc_, Keep(scaled));
    }

    // Callers make sure there is room.
    HGDIOBJ Keep(HGDIOBJ object)
    {
        objects_[made_++] = object;
        return object;
    }

    // Pens and brushes of one drawing; more are not made.
    static constexpr int MaxObjects = 16;
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ originalPen_ = nullptr;
    HGDIOBJ originalBrush_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    HGDIOBJ objects_[MaxObjects] = {};
    int made_ = 0;
};

} // namespace

Canvas& SystemCanvas()
{
    static GdiCanvas canvas;
    return canvas;
}
