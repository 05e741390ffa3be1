#pragma once
// The error box of a Linux desktop: one notification through the session bus's
// notification server, open until the server says it closed (the person dismissed it) or
// the server leaves the bus. The bus is reached when the first error is shown, and the
// message loop waits on its descriptor (Descriptor, Events, Deadline) and hands it over
// with Process whenever it wakes. Nothing here waits for the bus, but Finish, and that for
// a moment at most.
//
// What runs only around an error is marked cold: the compiler puts it apart from the code
// the idle loop runs, so that the idle program touches no more pages than it did before.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/posix/shell/SdBus.h"

namespace platform::posix {

class DesktopNotice {
 public:
  explicit DesktopNotice(SdBusLoader load = LoadSdBus) : load_(load) {}
  DesktopNotice(const DesktopNotice&) = delete;
  DesktopNotice& operator=(const DesktopNotice&) = delete;
  [[gnu::cold]] ~DesktopNotice() { Finish(); }

  // Ends the connection. A box shown just before the process ends (an error at start-up)
  // still shows: the notification is sent and what is queued goes out first, all of it
  // within one short deadline; whatever the bus has not taken by then is given up.
  [[gnu::cold]] void Finish();

  // Sends the notification; true when it is on its way, and `onClosed` then runs once it
  // has closed. False, with `onClosed` not kept and nothing sent, while a notification is
  // open (one at a time, as the box; the open one keeps its own `onClosed`), when there is
  // no session bus, or when the call cannot be queued at once. The server is asked first
  // whether it reads markup in the body: if so the text is escaped, so that a path with
  // "&" or "<" shows as it is.
  [[gnu::cold]] bool Show(const std::string& title, const std::string& text, std::function<void()> onClosed);
  // Whether the last notification was refused or the server left the bus: a notification
  // shown now will most likely not reach anyone.
  bool ServerMissing() const { return serverMissing_; }
  bool Connected() const { return bus_ != nullptr; }
  // Whether a notification is on its way or showing.
  bool Open() const { return static_cast<bool>(onClosed_); }

  // With a connection: its descriptor, the poll events it waits for, and when the bus wants
  // Process called even without any (a call's reply that never came).
  int Descriptor() const;
  short Events() const;
  std::optional<std::chrono::steady_clock::time_point> Deadline() const;
  // Reads and handles whatever the bus has; a broken connection closes the notification
  // and is dropped (the next error connects anew).
  void Process();

 private:
  [[gnu::cold]] bool Connect();
  [[gnu::cold]] void Disconnect();
  [[gnu::cold]] void Closed();
  [[gnu::cold]] void Notify(bool markup);
  [[gnu::cold]] bool Call(const char* method, const std::string* body, sd_bus_message_handler_t onReply);
  [[gnu::cold]] bool Expected(sd_bus_message* reply) const;
  [[gnu::cold]] bool WritesQueued() const;
  [[gnu::cold]] static int OnCapabilities(sd_bus_message* reply, void* self, sd_bus_error*);
  [[gnu::cold]] static int OnReply(sd_bus_message* reply, void* self, sd_bus_error*);
  [[gnu::cold]] static int OnNotificationClosed(sd_bus_message* signal, void* self, sd_bus_error*);
  [[gnu::cold]] static int OnOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error*);

  SdBusLoader load_;
  std::optional<SdBus> sd_;
  bool loadTried_ = false;
  sd_bus* bus_ = nullptr;
  std::function<void()> onClosed_;  // set while a notification is open
  std::string title_, text_;         // of the notification waiting for the capabilities
  bool waitingForCapabilities_ = false;
  std::uint64_t expectedReply_ = 0;  // the cookie of the call whose reply counts; a reply
                                     // to an earlier notification's call changes nothing
  bool idKnown_ = false;
  std::uint32_t id_ = 0;
  bool serverMissing_ = false;
};

}  // namespace platform::posix
