#ifndef _WIN32

#include "fakes/FakeSdBus.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <utility>

struct FakeSdBus::Message {
  std::string member;
  std::uint64_t cookie = 0, replyCookie = 0;
  bool error = false;
  std::vector<std::string> strings;
  std::vector<std::uint32_t> numbers;
  std::size_t stringsRead = 0, numbersRead = 0;
  std::string body;
};

FakeSdBus* FakeSdBus::current_ = nullptr;

namespace {

const sd_bus_error kNoServer =
    SD_BUS_ERROR_MAKE_CONST("org.freedesktop.DBus.Error.ServiceUnknown", "no server");

sd_bus* Handle(FakeSdBus* bus) { return reinterpret_cast<sd_bus*>(bus); }

}  // namespace

FakeSdBus::FakeSdBus() { current_ = this; }
FakeSdBus::~FakeSdBus() { current_ = nullptr; }

std::optional<platform::posix::SdBus> FakeSdBus::Load() {
  platform::posix::SdBus table{};
  table.open_user = &OpenUser;
  table.close_unref = &CloseUnref;
  table.get_n_queued_write = &QueuedWrites;
  table.get_fd = &Fd;
  table.get_events = &Events;
  table.get_timeout = &Timeout;
  table.process = &Process;
  table.wait = &Wait;
  table.add_match_async = &AddMatch;
  table.message_new_method_call = &NewMethodCall;
  table.message_append = &Append;
  table.message_unref = &Unref;
  table.message_get_error = &Error;
  table.message_read = &Read;
  table.message_enter_container = &EnterContainer;
  table.message_get_cookie = &Cookie;
  table.message_get_reply_cookie = &ReplyCookie;
  table.call_async = &CallAsync;
  return table;
}

FakeSdBus::Message* FakeSdBus::NewMessage() {
  messages_.push_back(std::make_unique<Message>());
  return messages_.back().get();
}

void FakeSdBus::Reply(std::size_t call, Message* reply) {
  reply->replyCookie = cookies_.at(call);
  pending_.push_back({replyHandlers_.at(call), reply});
}

void FakeSdBus::ReplyCapabilities(std::size_t call, std::vector<std::string> capabilities) {
  Message* reply = NewMessage();
  reply->strings.assign(capabilities.begin(), capabilities.end());
  Reply(call, reply);
}

void FakeSdBus::ReplyId(std::size_t call, std::uint32_t id) {
  Message* reply = NewMessage();
  reply->numbers.push_back(id);
  Reply(call, reply);
}

void FakeSdBus::ReplyError(std::size_t call) {
  Message* reply = NewMessage();
  reply->error = true;
  Reply(call, reply);
}

void FakeSdBus::SignalClosed(std::uint32_t id) {
  Message* signal = NewMessage();
  signal->numbers = {id, 2};  // dismissed by the person
  pending_.push_back({closedSignal_, signal});
}

int FakeSdBus::OpenUser(sd_bus** bus) {
  *bus = Handle(current_);
  return 0;
}

sd_bus* FakeSdBus::CloseUnref(sd_bus*) {
  ++current_->closes;
  return nullptr;
}

int FakeSdBus::QueuedWrites(sd_bus*, std::uint64_t* count) {
  *count = current_->unwritten;
  return 0;
}

int FakeSdBus::Fd(sd_bus*) { return -1; }
int FakeSdBus::Events(sd_bus*) { return 0; }

int FakeSdBus::Timeout(sd_bus*, std::uint64_t* at) {
  *at = UINT64_MAX;
  return 0;
}

int FakeSdBus::Process(sd_bus*, sd_bus_message**) {
  FakeSdBus& bus = *current_;
  if (!bus.stuck) bus.unwritten = 0;
  if (bus.pending_.empty()) return 0;
  const Delivery delivery = bus.pending_.front();
  bus.pending_.pop_front();
  if (delivery.handler.function != nullptr)
    delivery.handler.function(reinterpret_cast<sd_bus_message*>(delivery.message),
                              delivery.handler.userdata, nullptr);
  return 1;
}

int FakeSdBus::Wait(sd_bus*, std::uint64_t timeout) {
  current_->waits.push_back(timeout);
  if (current_->duringWait) current_->duringWait();
  return 0;
}

int FakeSdBus::AddMatch(sd_bus*, sd_bus_slot**, const char* match,
                        sd_bus_message_handler_t callback, sd_bus_message_handler_t,
                        void* userdata) {
  if (std::strstr(match, "member='NotificationClosed'") != nullptr)
    current_->closedSignal_ = {callback, userdata};
  return 0;
}

int FakeSdBus::NewMethodCall(sd_bus*, sd_bus_message** message, const char*, const char*,
                             const char*, const char* member) {
  Message* call = current_->NewMessage();
  call->member = member;
  *message = reinterpret_cast<sd_bus_message*>(call);
  return 0;
}

// Only Notify's arguments are appended: "susssasa{sv}i", the body fifth.
int FakeSdBus::Append(sd_bus_message* message, const char* types, ...) {
  if (std::strcmp(types, "susssasa{sv}i") != 0) return -EINVAL;
  va_list arguments;
  va_start(arguments, types);
  va_arg(arguments, const char*);
  va_arg(arguments, unsigned);
  va_arg(arguments, const char*);
  va_arg(arguments, const char*);
  reinterpret_cast<Message*>(message)->body = va_arg(arguments, const char*);
  va_end(arguments);
  return 0;
}

sd_bus_message* FakeSdBus::Unref(sd_bus_message*) { return nullptr; }

const sd_bus_error* FakeSdBus::Error(sd_bus_message* message) {
  return reinterpret_cast<Message*>(message)->error ? &kNoServer : nullptr;
}

// Strings ('s') and numbers ('u') in the order the message holds them; 0 at its end.
int FakeSdBus::Read(sd_bus_message* message, const char* types, ...) {
  Message& m = *reinterpret_cast<Message*>(message);
  va_list arguments;
  va_start(arguments, types);
  int result = 1;
  for (const char* type = types; *type != '\0' && result > 0; ++type) {
    if (*type == 's' && m.stringsRead < m.strings.size()) {
      *va_arg(arguments, const char**) = m.strings[m.stringsRead++].c_str();
    } else if (*type == 'u' && m.numbersRead < m.numbers.size()) {
      *va_arg(arguments, std::uint32_t*) = m.numbers[m.numbersRead++];
    } else {
      result = type == types ? 0 : -EBADMSG;
    }
  }
  va_end(arguments);
  return result;
}

int FakeSdBus::EnterContainer(sd_bus_message*, char, const char*) { return 1; }

int FakeSdBus::Cookie(sd_bus_message* message, std::uint64_t* cookie) {
  *cookie = reinterpret_cast<Message*>(message)->cookie;
  return 0;
}

int FakeSdBus::ReplyCookie(sd_bus_message* message, std::uint64_t* cookie) {
  *cookie = reinterpret_cast<Message*>(message)->replyCookie;
  return 0;
}

int FakeSdBus::CallAsync(sd_bus*, sd_bus_slot**, sd_bus_message* message,
                         sd_bus_message_handler_t callback, void* userdata, std::uint64_t) {
  FakeSdBus& bus = *current_;
  Message& call = *reinterpret_cast<Message*>(message);
  call.cookie = bus.cookies_.size() + 1;
  bus.calls.push_back({call.member, call.body});
  bus.replyHandlers_.push_back({callback, userdata});
  bus.cookies_.push_back(call.cookie);
  ++bus.unwritten;
  return 0;
}

#endif
