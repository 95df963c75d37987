#include "platform/win32/Gdi.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "platform/win32/Window.h"

struct HGDIOBJ__ {
    bool stock = false;
    bool bitmap = false;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

struct HDC__ {
    HWND window = nullptr;  // null for a memory context
    HGDIOBJ selected = nullptr;
};

namespace {

HGDIOBJ__ g_blackBrush{true, false, 0, 0, {}};
// A new memory context holds a 1 x 1 bitmap, as on Windows.
HGDIOBJ__ g_defaultBitmap{true, true, 1, 1, std::vector<uint32_t>(1, 0)};
std::set<HDC> g_dcs;
std::set<HGDIOBJ> g_objects;

bool IsDc(HDC dc) { return dc && g_dcs.count(dc); }
bool IsObject(HGDIOBJ o) { return o == &g_blackBrush || o == &g_defaultBitmap || (o && g_objects.count(o)); }

}  // namespace

HGDIOBJ GetStockObject(int object) { return object == BLACK_BRUSH ? &g_blackBrush : nullptr; }

HDC GetDC(HWND window) {
    if (!window) return nullptr;
    RECT r;
    if (!GetClientRect(window, &r)) return nullptr;
    HDC dc = new HDC__;
    dc->window = window;
    g_dcs.insert(dc);
    return dc;
}

int ReleaseDC(HWND window, HDC dc) {
    if (!IsDc(dc) || dc->window != window || !window) return 0;
    g_dcs.erase(dc);
    delete dc;
    return 1;
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !IsDc(dc)) return nullptr;
    HDC memory = new HDC__;
    memory->selected = &g_defaultBitmap;
    g_dcs.insert(memory);
    return memory;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!IsDc(dc) || width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
    HGDIOBJ bitmap = new HGDIOBJ__;
    bitmap->bitmap = true;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->pixels.assign(static_cast<size_t>(width) * height, 0);
    g_objects.insert(bitmap);
    return bitmap;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!IsDc(dc) || !IsObject(object)) return nullptr;
    if (!object->bitmap) return nullptr;  // brushes are never selected by the shell
    if (dc->window) return nullptr;       // a window's context takes no bitmap
    HGDIOBJ previous = dc->selected;
    dc->selected = object;
    return previous;
}

BOOL DeleteDC(HDC dc) {
    if (!IsDc(dc) || dc->window) return FALSE;
    g_dcs.erase(dc);
    delete dc;
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!IsObject(object)) return FALSE;
    if (object->stock) return TRUE;
    for (HDC dc : g_dcs)
        if (dc->selected == object) return FALSE;  // still selected: Windows refuses too
    g_objects.erase(object);
    delete object;
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    if (!IsDc(dest) || !IsDc(source) || rop != SRCCOPY) return FALSE;
    if (dest->window || source->window) return FALSE;
    HGDIOBJ d = dest->selected;
    HGDIOBJ s = source->selected;
    for (int row = 0; row < height; ++row) {
        const int dy = y + row, syy = sy + row;
        if (dy < 0 || dy >= d->height || syy < 0 || syy >= s->height) continue;
        for (int col = 0; col < width; ++col) {
            const int dx = x + col, sxx = sx + col;
            if (dx < 0 || dx >= d->width || sxx < 0 || sxx >= s->width) continue;
            d->pixels[static_cast<size_t>(dy) * d->width + dx] = s->pixels[static_cast<size_t>(syy) * s->width + sxx];
        }
    }
    return TRUE;
}
