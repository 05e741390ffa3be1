#include "app/ErrorBox.h"

void ErrorBox::Show(std::string_view message) {
  if (*open_) return;
  *open_ = true;
  try {
    shell_.ShowErrorBox(ErrorBoxText(message), [open = open_] { *open = false; });
  } catch (...) {
    *open_ = false;
    throw;
  }
}
