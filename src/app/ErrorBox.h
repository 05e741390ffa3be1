#pragma once
// The standard error box: the error's message, "." added when its last character sorts
// after ".", the application title as caption. Only one box is ever open: an error raised
// while a box is open (ticks go on meanwhile) is not shown.

#include <exception>
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
  void Show(std::string_view message);

 private:
  platform::AppShell& shell_;
  bool open_ = false;
};
