#pragma once
// A session bus behind the table of sd-bus functions (platform/posix/shell/SdBus.h), for the
// desktop notice's own rules: it records every call queued and every wait, and the test plays
// the notification server (replies and signals, handed over at the next process) and the
// bus taking what is queued. One at a time: the table's functions reach the one alive.

#ifndef _WIN32

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/shell/SdBus.h"

class FakeSdBus {
 public:
  FakeSdBus();
  ~FakeSdBus();
  FakeSdBus(const FakeSdBus&) = delete;
  FakeSdBus& operator=(const FakeSdBus&) = delete;

  // The table, for DesktopNotice's loader.
  static std::optional<platform::posix::SdBus> Load();

  struct Call {
    std::string method;
    std::string body;  // Notify's
  };
  std::vector<Call> calls;           // every call queued, in order
  std::vector<std::uint64_t> waits;  // the timeout of every wait, in microseconds
  int closes = 0;
  // Calls queued and not yet written: each process writes them all unless `stuck`.
  std::uint64_t unwritten = 0;
  bool stuck = false;
  // What the bus does while a wait lasts (the server answering meanwhile).
  std::function<void()> duringWait;

  // The server's part, each handed over at the next process: the reply to call `call` with
  // its capabilities, with a notification's id, or an error (no server); a notification
  // closed.
  void ReplyCapabilities(std::size_t call, std::vector<std::string> capabilities);
  void ReplyId(std::size_t call, std::uint32_t id);
  void ReplyError(std::size_t call);
  void SignalClosed(std::uint32_t id);

 private:
  struct Message;
  struct Handler {
    sd_bus_message_handler_t function = nullptr;
    void* userdata = nullptr;
  };
  struct Delivery {
    Handler handler;
    Message* message;
  };
  Message* NewMessage();
  void Reply(std::size_t call, Message* reply);

  std::vector<std::unique_ptr<Message>> messages_;
  std::vector<Handler> replyHandlers_;  // by call
  std::vector<std::uint64_t> cookies_;  // by call
  Handler closedSignal_;
  std::deque<Delivery> pending_;

  static FakeSdBus* current_;
  static int OpenUser(sd_bus** bus);
  static sd_bus* CloseUnref(sd_bus* bus);
  static int QueuedWrites(sd_bus* bus, std::uint64_t* count);
  static int Fd(sd_bus* bus);
  static int Events(sd_bus* bus);
  static int Timeout(sd_bus* bus, std::uint64_t* at);
  static int Process(sd_bus* bus, sd_bus_message** message);
  static int Wait(sd_bus* bus, std::uint64_t timeout);
  static int AddMatch(sd_bus* bus, sd_bus_slot** slot, const char* match,
                      sd_bus_message_handler_t callback, sd_bus_message_handler_t installed,
                      void* userdata);
  static int NewMethodCall(sd_bus* bus, sd_bus_message** message, const char* destination,
                           const char* path, const char* interface, const char* member);
  static int Append(sd_bus_message* message, const char* types, ...);
  static sd_bus_message* Unref(sd_bus_message* message);
  static const sd_bus_error* Error(sd_bus_message* message);
  static int Read(sd_bus_message* message, const char* types, ...);
  static int EnterContainer(sd_bus_message* message, char type, const char* contents);
  static int Cookie(sd_bus_message* message, std::uint64_t* cookie);
  static int ReplyCookie(sd_bus_message* message, std::uint64_t* cookie);
  static int CallAsync(sd_bus* bus, sd_bus_slot** slot, sd_bus_message* message,
                       sd_bus_message_handler_t callback, void* userdata, std::uint64_t usec);
};

#endif
