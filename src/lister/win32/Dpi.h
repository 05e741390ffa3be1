#pragma once
// Sizes and the font of the lister's window at the DPI of the monitor it is on. The program
// is per-monitor DPI aware through its manifest, so the system scales nothing for it.

#include <windows.h>

inline constexpr UINT kDefaultDpi = 96;

// The DPI of the window's monitor (GetDpiForWindow where the system has it, Windows 10 1607
// and later; the system DPI otherwise).
UINT DpiOf(HWND window);

// `size` in pixels at 96 DPI, at `dpi`.
inline int Scaled(int size, UINT dpi) { return MulDiv(size, static_cast<int>(dpi), kDefaultDpi); }

// The system's message font (SPI_GETNONCLIENTMETRICS) at `dpi`; the caller deletes it.
HFONT MessageFont(UINT dpi);
