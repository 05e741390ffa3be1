#pragma once
// Test support: the message of the error a call raises, so that a test compares the exact
// text the error box would show.

#include <string>

#include "foundation/Exception.h"

// The message of the error of kind `Error` that `call` raises, or "(no error)".
template <typename Error = Exception, typename Call>
std::string MessageOf(Call&& call) {
  try {
    call();
  } catch (const Error& error) {
    return error.Message();
  }
  return "(no error)";
}
