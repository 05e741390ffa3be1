#pragma once
// Test support: the message of the error a call raises, so that a test compares the exact
// text the error box would show. A test to which only the failure matters says so with
// EXPECT_THROW.

#include <gtest/gtest.h>

#include <string>

#include "foundation/Exception.h"

// The message of the error of kind `Error` that `call` raises; errors of other kinds pass
// through. A call that raises nothing fails the test (and gives the empty text).
template <typename Error = Exception, typename Call>
std::string MessageOf(Call&& call) {
  try {
    call();
  } catch (const Error& error) {
    return error.Message();
  }
  ADD_FAILURE() << "no error was raised";
  return {};
}
