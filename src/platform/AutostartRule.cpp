#include "platform/AutostartRule.h"

#include "foundation/Exception.h"

namespace platform {

void WriteRegistration(AutostartStore& store, const std::string& valueName,
                       const std::string& data) {
  if (store.Write(valueName, data)) return;
  if (store.Read(valueName) == data) return;
  throw ERegistryException("Failed to set data for '" + valueName + "'");
}

}  // namespace platform
