#include "lister/win32/StatusBar.h"

// commctrl.h needs windows.h before it.
#include <commctrl.h>

#include <algorithm>

#include "lister/win32/Dpi.h"

namespace {

constexpr int kPadding = 24;  // around a part's text, at 96 DPI

}  // namespace

bool StatusBar::Create(HWND parent, HINSTANCE instance, int id) {
  bar_ = CreateWindowExA(
      0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS, 0, 0, 0, 0,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  return bar_ != nullptr;
}

void StatusBar::Show(const std::vector<std::string>& texts) {
  if (texts == texts_) return;
  bool resize = texts.size() != texts_.size();
  for (std::size_t i = 0; !resize && i < texts.size(); ++i)
    resize = texts[i].size() != texts_[i].size();
  const std::vector<std::string> old = std::move(texts_);
  texts_ = texts;
  if (resize) {
    SetParts();
    return;
  }
  for (std::size_t i = 0; i < texts_.size(); ++i)
    if (old[i] != texts_[i]) SetText(i);
}

void StatusBar::SetFont(HFONT font, UINT dpi) {
  font_ = font;
  dpi_ = dpi;
}

void StatusBar::Fit() {
  // A new font is given to the bar here, once its parent has its new size: the bar places
  // itself again when it gets one, and would do so at the size the parent had before.
  if (barFont_ != font_) {
    SendMessageA(bar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    barFont_ = font_;
  }
  SendMessageA(bar_, WM_SIZE, 0, 0);
  SetParts();
}

// A part's text, and the same as its tip for when the part is too narrow for it.
void StatusBar::SetText(std::size_t part) {
  const char* text = texts_[part].c_str();
  SendMessageA(bar_, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
  SendMessageA(bar_, SB_SETTIPTEXTA, part, reinterpret_cast<LPARAM>(text));
}

// One part per text, each as wide as its text; the last takes the rest.
void StatusBar::SetParts() {
  if (texts_.empty()) {
    int whole = -1;
    SendMessageA(bar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
    return;
  }
  const HDC dc = GetDC(bar_);
  const HGDIOBJ before = SelectObject(dc, font_);
  std::vector<int> edges;
  int right = 0;
  for (const std::string& text : texts_) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    right += size.cx + Scaled(kPadding, dpi_);
    edges.push_back(right);
  }
  SelectObject(dc, before);
  ReleaseDC(bar_, dc);
  // When they do not all fit, the first part (the moment and the folder, which the caption
  // also names) gives up the room; its whole text shows as a tip.
  RECT bar;
  GetClientRect(bar_, &bar);
  const int excess = right - bar.right;
  if (excess > 0 && edges.size() > 1) {
    const int first = std::max(edges.front() - excess, edges.front() / 4);
    const int shift = edges.front() - first;
    for (int& edge : edges) edge -= shift;
  }
  edges.back() = -1;
  SendMessageA(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t i = 0; i < texts_.size(); ++i) SetText(i);
}
