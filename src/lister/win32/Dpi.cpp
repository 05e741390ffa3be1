#include "lister/win32/Dpi.h"

namespace {

UINT SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT DpiOf(HWND window) {
  // Looked up by name: the program also runs on Windows 7 and 8.
  using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  const auto getDpi = user32 != nullptr
                          ? reinterpret_cast<GetDpiForWindowCall>(
                                reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                          : nullptr;
  const UINT dpi = getDpi != nullptr && window != nullptr ? getDpi(window) : 0;
  return dpi != 0 ? dpi : SystemDpi();
}

HFONT MessageFont(UINT dpi) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // The metrics are given at the system DPI; the window may be on a monitor of another.
  LOGFONTA font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  return CreateFontIndirectA(&font);
}
