#pragma once
// The standard error box: the error's text (ErrorBoxText), the application title as caption.
// Only one box is ever open: an error raised while a box is open (ticks go on meanwhile) is
// not shown. The shell says when the box has
// closed, which may be long after Show has returned (a notification on a Linux desktop).

#include <memory>
#include <string_view>

#include "app/ErrorText.h"
#include "platform/AppShell.h"

class ErrorBox {
 public:
  explicit ErrorBox(platform::AppShell& shell) : shell_(shell) {}
  // The shell may report the close after this object is gone (the process ends with the
  // box still open): the flag the report clears is shared, not a member.
  void Show(std::string_view message);

 private:
  platform::AppShell& shell_;
  std::shared_ptr<bool> open_ = std::make_shared<bool>(false);
};
