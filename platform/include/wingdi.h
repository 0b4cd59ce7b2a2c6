/* gdi32: brushes and pixel formats. */
#pragma once

#include "windef.h"

WINGDIAPI HBRUSH WINAPI CreateSolidBrush(COLORREF color);
WINGDIAPI BOOL WINAPI DeleteObject(HGDIOBJ object);
