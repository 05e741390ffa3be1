// The probe of another program's mutex, the same on every platform: create it, look whether
// it was there already, and close it at once.

#include "platform/NamedMutex.h"

namespace platform {

namespace {

class SystemProbe final : public MutexProbe {
 public:
  bool IsHeldElsewhere(const std::string& name) override {
    const NamedMutex probe(name);
    return probe.AlreadyExisted();
  }
};

}  // namespace

MutexProbe& SystemMutexProbe() {
  static SystemProbe probe;
  return probe;
}

}  // namespace platform
