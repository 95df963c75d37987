#pragma once
// The few GDI objects the shell touches: window device contexts, the stock
// background brush, and the optional offscreen bitmap with its memory context.
#include "platform/win32/Types.h"

struct HDC__;
typedef HDC__* HDC;
struct HGDIOBJ__;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HBITMAP;
typedef HGDIOBJ HBRUSH;

#ifndef BLACK_BRUSH
#define BLACK_BRUSH 4
#endif
#ifndef SRCCOPY
#define SRCCOPY ((DWORD)0x00CC0020)
#endif

HGDIOBJ GetStockObject(int object);

// Memory device contexts and bitmaps live in main memory (32-bit pixels).
HDC CreateCompatibleDC(HDC dc);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ object);
// Copies between the bitmaps selected into two memory contexts. A window's
// context has no pixels of its own here (the device draws the window), so a
// copy to or from it fails.
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
