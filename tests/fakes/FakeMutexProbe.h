#pragma once
// Named mutexes that a test switches on and off, counting the probes.

#include <set>
#include <string>

#include "platform/NamedMutex.h"

class FakeMutexProbe : public platform::MutexProbe {
 public:
  bool IsHeldElsewhere(const std::string& name) override {
    ++probes;
    return held.count(name) > 0;
  }

  std::set<std::string> held;
  int probes = 0;
};
