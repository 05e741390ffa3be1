#include "platform/posix/shell/DesktopNotice.h"

#include <poll.h>
#include <time.h>

#include <cstring>
#include <utility>

namespace platform::posix {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kIcon = "dialog-error";
constexpr std::uint8_t kUrgencyCritical = 2;
constexpr std::int32_t kNeverExpires = 0;
// A server that has not answered by then is taken as absent. Queuing the call is what must
// happen at once; the reply may take as long as starting a server on demand takes.
constexpr std::uint64_t kReplyTimeoutUs = 10'000'000;
// How long a process that ends waits, at most, for the server's answer and for the bus to
// take its last notification.
constexpr auto kLastNotificationWait = std::chrono::seconds(2);

// The body markup's escapes for the characters it reads as markup.
std::string EscapeMarkup(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '&')
      escaped += "&amp;";
    else if (c == '<')
      escaped += "&lt;";
    else if (c == '>')
      escaped += "&gt;";
    else
      escaped += c;
  }
  return escaped;
}

}  // namespace

void DesktopNotice::Finish() {
  // The library's own flush would wait without a deadline (for as long as a bus that does
  // not answer takes to time out the connection): the waiting is done here instead, and
  // the connection closed without a flush.
  const auto end = std::chrono::steady_clock::now() + kLastNotificationWait;
  for (;;) {
    Process();
    if (bus_ == nullptr || !(waitingForCapabilities_ || WritesQueued())) break;
    const auto left = end - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) break;
    sd_->wait(bus_, std::chrono::duration_cast<std::chrono::microseconds>(left).count());
  }
  Disconnect();
}

bool DesktopNotice::WritesQueued() const {
  std::uint64_t queued = 0;
  return sd_->get_n_queued_write(bus_, &queued) >= 0 && queued > 0;
}

bool DesktopNotice::Connect() {
  if (bus_ != nullptr) return true;
  if (!loadTried_) {
    loadTried_ = true;
    sd_ = load_();
  }
  if (!sd_) return false;
  if (sd_->open_user(&bus_) < 0) {
    bus_ = nullptr;
    return false;
  }
  // Both matches are installed asynchronously; the server's signals come after the reply
  // that gave the notification's id, by which time the matches are in place.
  const bool matched =
      sd_->add_match_async(bus_, nullptr,
                           "type='signal',sender='org.freedesktop.Notifications',"
                           "interface='org.freedesktop.Notifications',member='NotificationClosed'",
                           &DesktopNotice::OnNotificationClosed, nullptr, this) >= 0 &&
      sd_->add_match_async(bus_, nullptr,
                           "type='signal',sender='org.freedesktop.DBus',"
                           "interface='org.freedesktop.DBus',member='NameOwnerChanged',"
                           "arg0='org.freedesktop.Notifications'",
                           &DesktopNotice::OnOwnerChanged, nullptr, this) >= 0;
  if (!matched) Disconnect();
  return bus_ != nullptr;
}

void DesktopNotice::Disconnect() {
  if (bus_ != nullptr) sd_->close_unref(bus_);
  bus_ = nullptr;
  Closed();
}

void DesktopNotice::Closed() {
  idKnown_ = false;
  waitingForCapabilities_ = false;
  if (auto onClosed = std::exchange(onClosed_, nullptr)) onClosed();
}

bool DesktopNotice::Show(const std::string& title, const std::string& text,
                         std::function<void()> onClosed) {
  if (Open()) return false;
  if (!Connect()) return false;
  if (!Call("GetCapabilities", nullptr, &DesktopNotice::OnCapabilities)) return false;
  onClosed_ = std::move(onClosed);
  idKnown_ = false;
  waitingForCapabilities_ = true;
  title_ = title;
  text_ = text;
  return true;
}

void DesktopNotice::Notify(bool markup) {
  const std::string body = markup ? EscapeMarkup(text_) : text_;
  // Standard error has the text already.
  if (!Call("Notify", &body, &DesktopNotice::OnReply)) Closed();
}

// Queues a call to the server (Notify when `body` is given); its reply is the one expected.
bool DesktopNotice::Call(const char* method, const std::string* body,
                         sd_bus_message_handler_t onReply) {
  sd_bus_message* call = nullptr;
  int result = sd_->message_new_method_call(bus_, &call, kService, kPath, kService, method);
  if (result >= 0 && body != nullptr)
    result = sd_->message_append(call, "susssasa{sv}i", title_.c_str(), std::uint32_t{0}, kIcon,
                                 title_.c_str(), body->c_str(), 0, 1, "urgency", "y",
                                 kUrgencyCritical, kNeverExpires);
  if (result >= 0) result = sd_->call_async(bus_, nullptr, call, onReply, this, kReplyTimeoutUs);
  if (result >= 0) result = sd_->message_get_cookie(call, &expectedReply_);
  if (call != nullptr) sd_->message_unref(call);
  return result >= 0;
}

bool DesktopNotice::Expected(sd_bus_message* reply) const {
  std::uint64_t cookie = 0;
  return onClosed_ && sd_->message_get_reply_cookie(reply, &cookie) >= 0 &&
         cookie == expectedReply_;
}

int DesktopNotice::OnCapabilities(sd_bus_message* reply, void* self, sd_bus_error*) {
  auto& notice = *static_cast<DesktopNotice*>(self);
  if (!notice.Expected(reply)) return 0;
  notice.waitingForCapabilities_ = false;
  if (notice.sd_->message_get_error(reply) != nullptr ||
      notice.sd_->message_enter_container(reply, 'a', "s") < 0) {
    // No server: nothing will be shown.
    notice.serverMissing_ = true;
    notice.Closed();
    return 0;
  }
  bool markup = false;
  const char* capability = nullptr;
  while (notice.sd_->message_read(reply, "s", &capability) > 0)
    if (std::strcmp(capability, "body-markup") == 0) markup = true;
  notice.Notify(markup);
  return 0;
}

int DesktopNotice::Descriptor() const { return bus_ != nullptr ? sd_->get_fd(bus_) : -1; }

short DesktopNotice::Events() const {
  if (bus_ == nullptr) return 0;
  const int events = sd_->get_events(bus_);
  return events < 0 ? POLLIN : static_cast<short>(events);
}

std::optional<std::chrono::steady_clock::time_point> DesktopNotice::Deadline() const {
  std::uint64_t at = 0;
  if (bus_ == nullptr || sd_->get_timeout(bus_, &at) < 0 || at == UINT64_MAX) return std::nullopt;
  // The bus counts on CLOCK_MONOTONIC, which is what steady_clock reads here too.
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto nowUs = std::uint64_t(now.tv_sec) * 1'000'000 + std::uint64_t(now.tv_nsec) / 1000;
  const auto left = std::chrono::microseconds(at > nowUs ? at - nowUs : 0);
  return std::chrono::steady_clock::now() + left;
}

void DesktopNotice::Process() {
  if (bus_ == nullptr) return;
  int result;
  while ((result = sd_->process(bus_, nullptr)) > 0) {
    if (bus_ == nullptr) return;
  }
  if (result < 0) Disconnect();
}

int DesktopNotice::OnReply(sd_bus_message* reply, void* self, sd_bus_error*) {
  auto& notice = *static_cast<DesktopNotice*>(self);
  if (!notice.Expected(reply)) return 0;
  std::uint32_t id = 0;
  if (notice.sd_->message_get_error(reply) != nullptr ||
      notice.sd_->message_read(reply, "u", &id) < 0) {
    // No server, or one that refused: the notification was never shown.
    notice.serverMissing_ = true;
    notice.Closed();
    return 0;
  }
  notice.serverMissing_ = false;
  notice.idKnown_ = true;
  notice.id_ = id;
  return 0;
}

int DesktopNotice::OnNotificationClosed(sd_bus_message* signal, void* self, sd_bus_error*) {
  auto& notice = *static_cast<DesktopNotice*>(self);
  std::uint32_t id = 0, reason = 0;
  if (notice.sd_->message_read(signal, "uu", &id, &reason) < 0) return 0;
  if (notice.onClosed_ && notice.idKnown_ && id == notice.id_) notice.Closed();
  return 0;
}

int DesktopNotice::OnOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error*) {
  auto& notice = *static_cast<DesktopNotice*>(self);
  const char* name = nullptr;
  const char* oldOwner = nullptr;
  const char* newOwner = nullptr;
  if (notice.sd_->message_read(signal, "sss", &name, &oldOwner, &newOwner) < 0) return 0;
  if (std::strcmp(name, kService) != 0) return 0;
  notice.serverMissing_ = *newOwner == '\0';
  // The server left: whatever it showed has gone with it.
  if (notice.serverMissing_) notice.Closed();
  return 0;
}

}  // namespace platform::posix
