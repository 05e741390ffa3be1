#pragma once
// Named mutexes that a test switches on and off.

#include <set>
#include <string>

#include "platform/NamedMutex.h"

class FakeMutexProbe : public platform::MutexProbe {
 public:
  bool IsHeldElsewhere(const std::string& name) override { return held.count(name) > 0; }

  std::set<std::string> held;
};
