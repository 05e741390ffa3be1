#pragma once
// An application shell without a loop: the test fires the timers itself with Tick(), and
// sees the error boxes shown and whether the main form was closed. A box closes before
// ShowErrorBox returns, as on Windows, unless closeLater is set: then it stays open until
// CloseBox(), as a notification does.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/AppShell.h"

class FakeShell : public platform::AppShell {
 public:
  void SetTitle(const std::string& title) override { title_ = title; }
  const std::string& Title() const override { return title_; }
  std::unique_ptr<platform::Timer> StartTimer(unsigned intervalMs,
                                              std::function<void()> onTick) override;
  void OnSettingsChange(std::function<void()>) override {}
  int Run() override { return 0; }
  void CloseMainForm() override { closed = true; }
  void ShowErrorBox(const std::string& text, std::function<void()> onClosed) override;
  // The person dismisses the box left open by closeLater.
  void CloseBox();

  // Fires every running timer once, as one pass of the message loop would.
  void Tick();
  std::size_t RunningTimers() const { return timers_.size(); }

  std::vector<std::string> boxes;
  bool closed = false;
  bool refuseTimers = false;
  unsigned lastInterval = 0;
  // Runs while a box is open, the way the box's own message loop dispatches timer ticks.
  std::function<void()> whileBoxOpen;
  bool closeLater = false;

 private:
  class FakeTimer;
  std::string title_;
  std::set<FakeTimer*> timers_;
  std::function<void()> pendingClose_;
};
