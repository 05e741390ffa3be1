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
  // The font (and the DPI) of its texts, from its next Fit on.
  void SetFont(HFONT font, UINT dpi);
  // Takes the bottom of its parent and lays its parts out for its font and width.
  void Fit();

 private:
  void SetParts();
  void SetText(std::size_t part);

  HWND bar_ = nullptr;
  HFONT font_ = nullptr;
  HFONT barFont_ = nullptr;  // the font the bar has been given
  UINT dpi_ = 96;
  std::vector<std::string> texts_;
};
