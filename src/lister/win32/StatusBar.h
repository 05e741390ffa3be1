#pragma once
// The lister window's status bar: one part per status text, each as wide as its text, set
// again only when its text changed.

#include <windows.h>

#include <string>
#include <vector>

class StatusBar {
 public:
  // Creates the bar at the bottom of `parent`; false when the system could not.
  bool Create(HWND parent, HINSTANCE instance, int id);
  HWND Handle() const { return bar_; }

  void Show(const std::vector<std::string>& texts);
  // Lays the parts out again for another font, DPI or width of the window.
  void Fit(HFONT font, UINT dpi);

 private:
  void SetParts();
  void SetText(std::size_t part);

  HWND bar_ = nullptr;
  HFONT font_ = nullptr;
  UINT dpi_ = 96;
  std::vector<std::string> texts_;
};
