#pragma once
// A test of named mutexes: a name no other run uses and, on POSIX, a runtime folder of the
// test's own for the lock files, so that tests running at the same time never meet.

#include <gtest/gtest.h>

#include <string>

#include "fakes/TempFolder.h"
#include "platform/TestSupport.h"

class MutexFixture : public ::testing::Test {
 protected:
#ifndef _WIN32
  TempFolder runtime_;
  testsupport::ScopedEnvironment runtimeDir_{"XDG_RUNTIME_DIR", runtime_.Root().string()};
#endif
  const std::string name_ = testsupport::UniqueName("HarbovaleTest_");
};
