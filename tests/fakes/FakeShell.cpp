#include "fakes/FakeShell.h"

#include <utility>

#include "foundation/Exception.h"

class FakeShell::FakeTimer : public platform::Timer {
 public:
  FakeTimer(FakeShell& shell, std::function<void()> onTick)
      : shell_(shell), onTick_(std::move(onTick)) {
    shell_.timers_.insert(this);
  }
  ~FakeTimer() override { shell_.timers_.erase(this); }
  void Fire() { onTick_(); }

 private:
  FakeShell& shell_;
  std::function<void()> onTick_;
};

std::unique_ptr<platform::Timer> FakeShell::StartTimer(unsigned intervalMs,
                                                       std::function<void()> onTick) {
  if (refuseTimers) throw EOutOfResources("Not enough timers available");
  lastInterval = intervalMs;
  return std::make_unique<FakeTimer>(*this, std::move(onTick));
}

void FakeShell::ShowErrorBox(const std::string& text, std::function<void()> onClosed) {
  boxes.push_back(text);
  if (whileBoxOpen) whileBoxOpen();
  if (closeLater)
    pendingClose_ = std::move(onClosed);
  else
    onClosed();
}

void FakeShell::CloseBox() {
  if (const auto close = std::exchange(pendingClose_, nullptr)) close();
}

void FakeShell::Tick() {
  const std::set<FakeTimer*> running = timers_;
  for (FakeTimer* timer : running)
    if (timers_.count(timer)) timer->Fire();
}
