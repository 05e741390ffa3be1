#include "platform/posix/shell/SdBus.h"

#include <dlfcn.h>

namespace platform::posix {

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

}  // namespace

std::optional<SdBus> LoadSdBus() {
  void* library = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::nullopt;
  SdBus bus{};
  const bool found =
      Find(library, "sd_bus_open_user", bus.open_user) &&
      Find(library, "sd_bus_close_unref", bus.close_unref) &&
      Find(library, "sd_bus_get_n_queued_write", bus.get_n_queued_write) &&
      Find(library, "sd_bus_get_fd", bus.get_fd) &&
      Find(library, "sd_bus_get_events", bus.get_events) &&
      Find(library, "sd_bus_get_timeout", bus.get_timeout) &&
      Find(library, "sd_bus_process", bus.process) && Find(library, "sd_bus_wait", bus.wait) &&
      Find(library, "sd_bus_add_match_async", bus.add_match_async) &&
      Find(library, "sd_bus_message_new_method_call", bus.message_new_method_call) &&
      Find(library, "sd_bus_message_append", bus.message_append) &&
      Find(library, "sd_bus_message_unref", bus.message_unref) &&
      Find(library, "sd_bus_message_get_error", bus.message_get_error) &&
      Find(library, "sd_bus_message_read", bus.message_read) &&
      Find(library, "sd_bus_message_enter_container", bus.message_enter_container) &&
      Find(library, "sd_bus_message_get_cookie", bus.message_get_cookie) &&
      Find(library, "sd_bus_message_get_reply_cookie", bus.message_get_reply_cookie) &&
      Find(library, "sd_bus_call_async", bus.call_async);
  if (found) return bus;
  dlclose(library);
  return std::nullopt;
}

}  // namespace platform::posix
