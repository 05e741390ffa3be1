#pragma once
// The few functions of sd-bus (libsystemd) that the desktop notification uses, loaded when
// the first error is shown rather than linked: mapping the library and the ones it needs at
// start would cost the idle scheduler about 0.8 MB of resident memory for an error that may
// never come.

#include <systemd/sd-bus.h>

#include <optional>

namespace platform::posix {

struct SdBus {
  decltype(&::sd_bus_open_user) open_user;
  decltype(&::sd_bus_close_unref) close_unref;
  decltype(&::sd_bus_get_n_queued_write) get_n_queued_write;
  decltype(&::sd_bus_get_fd) get_fd;
  decltype(&::sd_bus_get_events) get_events;
  decltype(&::sd_bus_get_timeout) get_timeout;
  decltype(&::sd_bus_process) process;
  decltype(&::sd_bus_wait) wait;
  decltype(&::sd_bus_add_match_async) add_match_async;
  decltype(&::sd_bus_message_new_method_call) message_new_method_call;
  decltype(&::sd_bus_message_append) message_append;
  decltype(&::sd_bus_message_unref) message_unref;
  decltype(&::sd_bus_message_get_error) message_get_error;
  decltype(&::sd_bus_message_read) message_read;
  decltype(&::sd_bus_message_enter_container) message_enter_container;
  decltype(&::sd_bus_message_get_cookie) message_get_cookie;
  decltype(&::sd_bus_message_get_reply_cookie) message_get_reply_cookie;
  decltype(&::sd_bus_call_async) call_async;
};

// The functions of the system's libsystemd.so.0, or nothing when it or one of them is
// missing. The library stays loaded for the life of the process.
[[gnu::cold]] std::optional<SdBus> LoadSdBus();

// Where the table comes from: LoadSdBus, or a test's table of fakes.
using SdBusLoader = std::optional<SdBus> (*)();

}  // namespace platform::posix
