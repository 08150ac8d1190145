// GDI half of Pixmap: a bitmap resource's size from its header at load, its GDI bitmap at the first
// drawing, and the plain, transparent and blended copies.
#include "gui/core/Pixmap.h"

#include <windows.h>

#include <cstring>

#include "gui/core/DrawSurface.h"
#include "gui/platform/win32/BlendLibrary.h"
#include "gui/platform/win32/Win32Handles.h"

using win32::asBitmap;
using win32::asDc;
using win32::toColorRef;

void Pixmap::loadResource() {
    // A bitmap resource is the file without its file header: it starts with the info header.
    HMODULE module = win32::moduleInstance();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(static_cast<WORD>(resourceId & 0xFFFF)), RT_BITMAP);
    HGLOBAL data = found ? LoadResource(module, found) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    BITMAPINFOHEADER header;
    if (!bytes || SizeofResource(module, found) < sizeof header) return;
    std::memcpy(&header, bytes, sizeof header);
    if (header.biSize < sizeof header || header.biWidth <= 0 || header.biHeight == 0) return;
    width = header.biWidth;
    height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    pixelsPending = true;
}

void Pixmap::decodeResource() {
    bitmap = LoadBitmapA(win32::moduleInstance(), MAKEINTRESOURCEA(static_cast<WORD>(resourceId & 0xFFFF)));
}

void Pixmap::loadScaledResource(int32_t id, ScaledArt& art) {
    HBITMAP loaded = LoadBitmapA(win32::moduleInstance(), MAKEINTRESOURCEA(static_cast<WORD>(id)));
    if (!loaded) return;
    BITMAP description;
    if (!GetObjectA(loaded, sizeof description, &description)) {
        DeleteObject(loaded);
        return;
    }
    art.bitmap = loaded;
    art.width = description.bmWidth;
    art.height = description.bmHeight;
}

void Pixmap::createBlank() {
    HDC screen = GetDC(nullptr);
    bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
}

void Pixmap::destroyBitmaps() {
    if (bitmap) DeleteObject(bitmap);
    if (mask) DeleteObject(mask);
    bitmap = nullptr;
    mask = nullptr;
    for (ScaledArt& art : scaledArt) {
        if (art.bitmap) DeleteObject(art.bitmap);
        art = ScaledArt{};
    }
}

namespace {

// A memory context compatible with the destination, holding a bitmap for the duration of one copy.
class SelectedBitmap {
public:
    SelectedBitmap(HDC compatibleWith, HBITMAP bitmap)
        : context(CreateCompatibleDC(compatibleWith)), previous(SelectObject(context, bitmap)) {}
    ~SelectedBitmap() {
        SelectObject(context, previous);
        DeleteDC(context);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;

    HDC context;

private:
    HGDIOBJ previous;
};

}  // namespace

void Pixmap::draw(DrawSurface* surface, const UiRect& area, const UiPoint& from) {
    PixmapBlit blit;
    if (!mapBlit(surface, area, from, blit)) return;
    HDC target = asDc(surface->deviceContext);
    SelectedBitmap source(target, asBitmap(blit.bitmap));
    BitBlt(target, blit.area.left, blit.area.top, blit.area.width(), blit.area.height(), source.context, blit.from.h,
           blit.from.v, SRCCOPY);
}

void Pixmap::drawTransparent(DrawSurface* surface, const UiRect& area, const UiPoint& requestedFrom) {
    PixmapBlit blit;
    if (!mapBlit(surface, area, requestedFrom, blit)) return;
    HDC target = asDc(surface->deviceContext);
    SelectedBitmap source(target, asBitmap(blit.bitmap));
    const UiPoint from = blit.from;
    const int h = blit.area.left, v = blit.area.top;
    const int w = blit.area.width(), ht = blit.area.height();

    // A mask describes the 100 % picture only; other scales leave the transparent colour out instead.
    if (mask && blit.bitmap == bitmap) {
        // (destination ^ source) & mask ^ source: mask 1 gives the destination back, 0 the source.
        SelectedBitmap maskSource(target, asBitmap(mask));
        HBITMAP scratch = CreateCompatibleBitmap(target, w, ht);
        {
            SelectedBitmap work(target, scratch);
            BitBlt(work.context, 0, 0, w, ht, target, h, v, SRCCOPY);
            BitBlt(work.context, 0, 0, w, ht, source.context, from.h, from.v, SRCINVERT);
            BitBlt(work.context, 0, 0, w, ht, maskSource.context, from.h, from.v, SRCAND);
            BitBlt(work.context, 0, 0, w, ht, source.context, from.h, from.v, SRCINVERT);
            BitBlt(target, h, v, w, ht, work.context, 0, 0, SRCCOPY);
        }
        DeleteObject(scratch);
        return;
    }

    if (BlendLibrary::transparentBlt) {
        BlendLibrary::transparentBlt(target, h, v, w, ht, source.context, from.h, from.v, w, ht,
                                     toColorRef(transparentColour));
        return;
    }

    // No mask and no TransparentBlt: a monochrome mask of the area, made on the spot. Colour-to-mono
    // copies give 1 where the source has its background colour; mono-to-colour copies expand 1 to the
    // destination's background colour (white, keeps) and 0 to its text colour (black, clears).
    const COLORREF savedBackground = SetBkColor(target, RGB(255, 255, 255));
    const COLORREF savedText = SetTextColor(target, RGB(0, 0, 0));
    HBITMAP monochrome = CreateBitmap(w, ht, 1, 1, nullptr);
    {
        SelectedBitmap maskWork(target, monochrome);
        SetBkColor(source.context, toColorRef(transparentColour));
        BitBlt(maskWork.context, 0, 0, w, ht, source.context, from.h, from.v, SRCCOPY);
        BitBlt(target, h, v, w, ht, source.context, from.h, from.v, SRCINVERT);
        BitBlt(target, h, v, w, ht, maskWork.context, 0, 0, SRCAND);
        BitBlt(target, h, v, w, ht, source.context, from.h, from.v, SRCINVERT);
    }
    DeleteObject(monochrome);
    SetBkColor(target, savedBackground);
    SetTextColor(target, savedText);
}

void Pixmap::drawBlended(DrawSurface* surface, const UiRect& area, const UiPoint& from, uint8_t alpha) {
    PixmapBlit blit;
    if (!BlendLibrary::alphaBlend || !mapBlit(surface, area, from, blit)) return;
    HDC target = asDc(surface->deviceContext);
    SelectedBitmap source(target, asBitmap(blit.bitmap));
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
    const UiRect& to = blit.area;
    BlendLibrary::alphaBlend(target, to.left, to.top, to.width(), to.height(), source.context, blit.from.h,
                             blit.from.v, to.width(), to.height(), blend);
}

void Pixmap::buildMask(DrawSurface* surface, const UiPoint& where) {
    if (mask) DeleteObject(mask);
    mask = nullptr;
    if (!surface) return;
    HDC target = asDc(surface->deviceContext);
    HBITMAP monochrome = CreateBitmap(width, height, 1, 1, nullptr);
    if (!monochrome) return;
    {
        SelectedBitmap maskWork(target, monochrome);
        const COLORREF savedBackground = SetBkColor(target, toColorRef(transparentColour));
        BitBlt(maskWork.context, 0, 0, width, height, target, where.h, where.v, SRCCOPY);
        SetBkColor(target, savedBackground);
    }
    mask = monochrome;
}
