#pragma once
// The text an error shows: the rule the scheduler's error box and the companion lister share,
// kept apart from the box itself so that the lister needs no application shell.

#include <exception>
#include <string>
#include <string_view>

// The error's message with "." added when its last character sorts after ".".
std::string ErrorBoxText(std::string_view message);

// Message of an error kept for later, as CurrentErrorMessage gives it.
std::string ErrorMessageOf(std::exception_ptr error);

// Message of whatever was thrown: the text of an Exception, what() of other standard
// exceptions, and the empty text for anything else. Call from inside a catch block.
std::string CurrentErrorMessage();
