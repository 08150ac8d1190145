// GDI half of DrawSurface: pens, brushes and fonts made by the setters, shapes, text and input polling.
#include "gui/core/DrawSurface.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "gui/platform/win32/Win32Handles.h"
#include "gui/platform/win32/WindowClass.h"

using win32::asDc;
using win32::toColorRef;

namespace {

// Polylines and polygons up to this many points use a stack buffer; longer ones allocate.
constexpr int32_t localPointCount = 30;

// Device copy of a point list: the local buffer, or a heap array the caller frees (null on failure).
POINT* shiftPoints(const DrawSurface& surface, const UiPoint* points, int32_t count, POINT* local) {
    POINT* shifted = count > localPointCount ? new (std::nothrow) POINT[count] : local;
    if (!shifted) return nullptr;
    for (int32_t i = 0; i < count; ++i) shifted[i] = POINT{surface.deviceX(points[i].h), surface.deviceY(points[i].v)};
    return shifted;
}

}  // namespace

void DrawSurface::attachNative() {
    HDC dc = asDc(deviceContext);
    if (!dc) return;
    savedBrush = GetCurrentObject(dc, OBJ_BRUSH);
    savedPen = GetCurrentObject(dc, OBJ_PEN);
    savedFont = GetCurrentObject(dc, OBJ_FONT);
    SetBkMode(dc, TRANSPARENT);
    setFrameColour(frameColour);
    setLineStyle(lineStyle);
    setFillColour(fillColour);
    setFontColour(fontColour);
}

void DrawSurface::detachNative() {
    HDC dc = asDc(deviceContext);
    if (dc) {
        if (savedBrush) SelectObject(dc, savedBrush);
        if (savedPen) SelectObject(dc, savedPen);
        if (savedFont) SelectObject(dc, savedFont);
    }
    if (ownBrush) DeleteObject(ownBrush);
    if (ownPen) DeleteObject(ownPen);
    if (ownFont) DeleteObject(ownFont);
    ownBrush = ownPen = ownFont = nullptr;
}

UiPoint DrawSurface::getWindowScreenOrigin() const {
    // An offscreen surface keeps its bitmap in this slot: it has no screen position.
    if (!windowHandle || GetObjectType(windowHandle) == OBJ_BITMAP) return UiPoint{};
    RECT frame;
    if (!GetWindowRect(win32::asWindow(windowHandle), &frame)) return UiPoint{};
    return UiPoint{frame.left, frame.top};
}

void DrawSurface::moveTo(const UiPoint& point) {
    MoveToEx(asDc(deviceContext), deviceX(point.h), deviceY(point.v), nullptr);
}

void DrawSurface::lineTo(const UiPoint& point) { LineTo(asDc(deviceContext), deviceX(point.h), deviceY(point.v)); }

void DrawSurface::drawPolyline(const UiPoint* points, int32_t count) {
    if (!points || count <= 0) return;
    POINT local[localPointCount];
    POINT* shifted = shiftPoints(*this, points, count, local);
    if (!shifted) return;
    Polyline(asDc(deviceContext), shifted, count);
    if (shifted != local) delete[] shifted;
}

void DrawSurface::fillPolygon(const UiPoint* points, int32_t count) {
    if (!points || count <= 0) return;
    POINT local[localPointCount];
    POINT* shifted = shiftPoints(*this, points, count, local);
    if (!shifted) return;
    HDC dc = asDc(deviceContext);
    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, shifted, count);
    SelectObject(dc, previousPen);
    if (shifted != local) delete[] shifted;
}

void DrawSurface::drawFrame(const UiRect& area) {
    HDC dc = asDc(deviceContext);
    const int left = deviceX(area.left), top = deviceY(area.top);
    const int right = deviceX(area.right), bottom = deviceY(area.bottom);
    MoveToEx(dc, left, top, nullptr);
    LineTo(dc, right, top);
    LineTo(dc, right, bottom);
    LineTo(dc, left, bottom);
    LineTo(dc, left, top);
}

void DrawSurface::fillArea(const UiRect& area) {
    HDC dc = asDc(deviceContext);
    RECT r{deviceX(area.left + 1), deviceY(area.top + 1), deviceX(area.right), deviceY(area.bottom)};
    // The fill brush is the surface's own; if it could never be made, whatever brush is selected.
    HBRUSH brush = static_cast<HBRUSH>(ownBrush ? ownBrush : GetCurrentObject(dc, OBJ_BRUSH));
    FillRect(dc, &r, brush);
}

void DrawSurface::drawEllipse(const UiRect& area) {
    // Start and end on the same point of the top edge: the whole outline.
    const int startH = deviceX(area.left + (area.right - area.left) / 2);
    const int startV = deviceY(area.top);
    Arc(asDc(deviceContext), deviceX(area.left), deviceY(area.top), deviceX(area.right + 1),
        deviceY(area.bottom + 1), startH, startV, startH, startV);
}

void DrawSurface::fillEllipse(const UiRect& area) {
    HDC dc = asDc(deviceContext);
    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, deviceX(area.left + 1), deviceY(area.top + 1), deviceX(area.right + 1),
            deviceY(area.bottom + 1));
    SelectObject(dc, previousPen);
}

void DrawSurface::drawArc(const UiRect& area, const UiPoint& from, const UiPoint& to) {
    Arc(asDc(deviceContext), deviceX(area.left), deviceY(area.top), deviceX(area.right + 1),
        deviceY(area.bottom + 1), deviceX(from.h), deviceY(from.v), deviceX(to.h), deviceY(to.v));
}

void DrawSurface::fillArc(const UiRect& area, const UiPoint& from, const UiPoint& to) {
    HDC dc = asDc(deviceContext);
    HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Pie(dc, deviceX(area.left + 1), deviceY(area.top + 1), deviceX(area.right), deviceY(area.bottom),
        deviceX(from.h), deviceY(from.v), deviceX(to.h), deviceY(to.v));
    SelectObject(dc, previousPen);
}

void DrawSurface::drawPixel(const UiPoint& point, UiColor colour) {
    SetPixel(asDc(deviceContext), deviceX(point.h), deviceY(point.v), toColorRef(colour));
}

UiColor DrawSurface::getPixel(const UiPoint& point) {
    return win32::fromColorRef(GetPixel(asDc(deviceContext), deviceX(point.h), deviceY(point.v)));
}

void DrawSurface::floodFill(const UiPoint& point) {
    HDC dc = asDc(deviceContext);
    const int h = deviceX(point.h), v = deviceY(point.v);
    ExtFloodFill(dc, h, v, GetPixel(dc, h, v), FLOODFILLSURFACE);
}

namespace {

// A new pen of the surface's style, width and colour replaces (and deletes) its previous own pen.
void recreatePen(const DrawSurface& surface, NativeHandle& ownPen) {
    // A pen of one pixel at 100 % stays one pixel (cosmetic) at every scale; wider pens grow with it.
    LOGPEN description{static_cast<UINT>(surface.penStyle), POINT{surface.devicePenWidth(), 0},
                       toColorRef(surface.frameColour)};
    HDC dc = asDc(surface.deviceContext);
    HPEN pen = CreatePenIndirect(&description);
    if (!pen) return;
    if (dc) SelectObject(dc, pen);
    if (ownPen) DeleteObject(ownPen);
    ownPen = pen;
}

}  // namespace

void DrawSurface::setLineStyle(int32_t style) {
    lineStyle = style;
    penStyle = style == LineDotted ? PS_DOT : PS_SOLID;
    recreatePen(*this, ownPen);
}

void DrawSurface::setLineWidth(int32_t width) {
    lineWidth = width;
    recreatePen(*this, ownPen);
}

void DrawSurface::setFrameColour(UiColor colour) {
    frameColour = colour;
    recreatePen(*this, ownPen);
}

void DrawSurface::setFillColour(UiColor colour) {
    fillColour = colour;
    HDC dc = asDc(deviceContext);
    SetBkColor(dc, toColorRef(colour));  // also the colour behind opaque text
    LOGBRUSH description{BS_SOLID, toColorRef(colour), 0};
    HBRUSH brush = CreateBrushIndirect(&description);
    if (!brush) return;  // the previous brush stays selected
    if (dc) SelectObject(dc, brush);
    if (ownBrush) DeleteObject(ownBrush);
    ownBrush = brush;
}

void DrawSurface::setFontColour(UiColor colour) {
    fontColour = colour;
    SetTextColor(asDc(deviceContext), toColorRef(colour));
}

void DrawSurface::setDrawMode(int32_t mode) {
    if (mode == drawMode) return;
    drawMode = mode;
    const int operation = mode == DrawOr ? R2_MERGEPEN : mode == DrawXor ? R2_NOTXORPEN : R2_COPYPEN;
    SetROP2(asDc(deviceContext), operation);
}

void DrawSurface::setClipArea(const UiRect& area) {
    clipArea = area;
    const UiRect device = uiscale::toDevice(area, scale);
    HRGN region = CreateRectRgn(device.left, device.top, device.right, device.bottom);
    SelectClipRgn(asDc(deviceContext), region);  // the context keeps a copy
    DeleteObject(region);
}

void DrawSurface::setFont(int32_t id, int32_t size, int32_t style) {
    fontId = normaliseFontId(id);
    const FontSpec& spec = fontTable[fontId];
    fontSize = size == 0 ? spec.defaultSize : size;

    LOGFONTA description{};
    description.lfHeight = -deviceFontSize(fontSize);  // character height, not cell height; text at a scale is drawn at its size
    description.lfWeight = spec.alwaysBold || (style & FontBold) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (style & FontItalic) ? 1 : 0;
    description.lfUnderline = (style & FontUnderline) ? 1 : 0;
    description.lfCharSet = ANSI_CHARSET;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = spec.pitchAndFamily;
    std::strncpy(description.lfFaceName, spec.face, LF_FACESIZE - 1);

    HFONT font = CreateFontIndirectA(&description);
    if (!font) return;
    if (deviceContext) SelectObject(asDc(deviceContext), font);
    if (ownFont) DeleteObject(ownFont);
    ownFont = font;
}

int32_t DrawSurface::getTextWidth(const char* text) {
    if (!text) return 0;
    SIZE extent{0, 0};
    GetTextExtentPoint32A(asDc(deviceContext), text, static_cast<int>(std::strlen(text)), &extent);
    return panelLength(extent.cx);
}

void DrawSurface::drawText(const char* text, const UiRect& area, bool opaque, int32_t align) {
    if (!text) return;
    HDC dc = asDc(deviceContext);
    RECT r{deviceX(area.left), deviceY(area.top), deviceX(area.right), deviceY(area.bottom)};
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (align == AlignCentre) {
        format |= DT_CENTER;
    } else if (align == AlignRight) {
        format |= DT_RIGHT;
    } else {
        format |= DT_LEFT;
        r.left += 1;
    }
    DrawTextA(dc, text, -1, &r, format);
    SetBkMode(dc, TRANSPARENT);
}

int32_t DrawSurface::getMouseButtons() {
    auto down = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
    const bool swapped = WindowClass::buttonsSwapped();
    int32_t buttons = 0;
    if (down(VK_LBUTTON)) buttons |= swapped ? MouseRight : MouseLeft;
    if (down(VK_MBUTTON)) buttons |= MouseMiddle;
    if (down(VK_RBUTTON)) buttons |= swapped ? MouseLeft : MouseRight;
    if (down(VK_SHIFT)) buttons |= KeyShift;
    if (down(VK_CONTROL)) buttons |= KeyControl;
    if (down(VK_MENU)) buttons |= KeyAlt;
    return buttons;
}

void DrawSurface::getMousePosition(UiPoint& where) {
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    where = panelPoint(UiPoint{cursor.x, cursor.y}, screenOrigin, scale);
}

bool DrawSurface::waitForDoubleClick() {
    // Only a click on this surface's own window is taken: clicks meant for the host's windows stay queued.
    HWND own = static_cast<HWND>(windowHandle);
    if (!own) return false;
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    const UiRect box{cursor.x - 2, cursor.y - 2, cursor.x + 2, cursor.y + 2};
    const DWORD deadline = static_cast<DWORD>(GetMessageTime()) + GetDoubleClickTime();
    while (static_cast<int32_t>(deadline - GetTickCount()) > 0) {  // also across the tick count's wrap
        GetCursorPos(&cursor);
        if (!box.contains(UiPoint{cursor.x, cursor.y})) return false;
        MSG message;
        if (PeekMessageA(&message, own, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE | PM_NOYIELD)) return true;
    }
    return false;
}

void DrawSurface::copyFromSurface(DrawSurface* source, const UiRect& area, int32_t x, int32_t y) {
    if (!source) return;
    const UiRect from = source->toDevice(area);
    BitBlt(asDc(deviceContext), uiscale::toDevice(x, scale), uiscale::toDevice(y, scale), from.width(), from.height(),
           asDc(source->deviceContext), from.left, from.top, SRCCOPY);
}
