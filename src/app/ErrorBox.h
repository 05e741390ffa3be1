#pragma once
// The standard error box: the error's message, "." added when its last character sorts
// after ".", the application title as caption. Only one box is ever open: an error raised
// while a box is open (ticks go on meanwhile) is not shown. The shell says when the box has
// closed, which may be long after Show has returned (a notification on a Linux desktop).

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "platform/AppShell.h"

std::string ErrorBoxText(std::string_view message);

// Message of whatever was thrown: the text of an Exception, what() of other standard
// exceptions, and the empty text for anything else. Call from inside a catch block.
std::string CurrentErrorMessage();

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
