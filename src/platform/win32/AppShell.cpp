// The application object on Windows: one hidden window whose timers the thread's message
// loop dispatches, and the modal error box.

#include "platform/AppShell.h"

#include <windows.h>

#include <exception>
#include <map>
#include <utility>

#include "foundation/Exception.h"
#include "platform/win32/Win32Error.h"

namespace platform {

namespace {

constexpr const char* kWindowClassName = "HarbovaleSchedulerHiddenWindow";
constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";
constexpr UINT_PTR kFirstTimerId = 1;  // timer ids count up from here, one per StartTimer

class Win32AppShell;

class Win32Timer final : public Timer {
 public:
  Win32Timer(Win32AppShell& shell, UINT_PTR id) : shell_(shell), id_(id) {}
  ~Win32Timer() override;

 private:
  Win32AppShell& shell_;
  UINT_PTR id_;
};

class Win32AppShell final : public AppShell {
 public:
  Win32AppShell() {
    instance_ = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Win32AppShell::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = kWindowClassName;
    if (RegisterClassA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      throw Exception(Win32ErrorText("RegisterClassA", GetLastError()));
    taskbarCreated_ = RegisterWindowMessageA(kTaskbarCreatedMessage);
    // Top-level rather than message-only: only top-level windows receive broadcasts such as
    // WM_SETTINGCHANGE and "TaskbarCreated". It is never shown.
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, instance_, this);
    if (window_ == nullptr) throw Exception(Win32ErrorText("CreateWindowExA", GetLastError()));
  }

  ~Win32AppShell() override {
    for (const auto& [id, tick] : ticks_) KillTimer(window_, id);
    DestroyWindow(window_);
    UnregisterClassA(kWindowClassName, instance_);
  }

  void SetTitle(const std::string& title) override {
    title_ = title;
    SetWindowTextA(window_, title_.c_str());
  }
  const std::string& Title() const override { return title_; }

  std::unique_ptr<Timer> StartTimer(unsigned intervalMs, std::function<void()> onTick) override {
    const UINT_PTR id = nextTimerId_++;
    if (SetTimer(window_, id, intervalMs, nullptr) == 0)
      throw EOutOfResources("Not enough timers available");
    ticks_[id] = std::move(onTick);
    return std::make_unique<Win32Timer>(*this, id);
  }

  void StopTimer(UINT_PTR id) {
    // WM_TIMER messages already queued for it find no entry and are dropped.
    if (ticks_.erase(id) != 0) KillTimer(window_, id);
  }

  void OnSettingsChange(std::function<void()> handler) override {
    settingsChanged_ = std::move(handler);
  }

  int Run() override {
    MSG message;
    for (;;) {
      const BOOL got = GetMessageA(&message, nullptr, 0, 0);
      if (got == 0) return static_cast<int>(message.wParam);
      if (got == -1) throw Exception(Win32ErrorText("GetMessageA", GetLastError()));
      TranslateMessage(&message);
      DispatchMessageA(&message);
      if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
    }
  }

  void CloseMainForm() override {
    if (closing_) return;
    closing_ = true;
    PostQuitMessage(0);
  }

  void ShowErrorBox(const std::string& text, std::function<void()> onClosed) override {
    // The box's own modal loop goes on dispatching WM_TIMER to our window.
    MessageBoxA(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    onClosed();
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* shell = reinterpret_cast<Win32AppShell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (shell == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return shell->HandleMessage(window, message, wParam, lParam);
  }

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
      DispatchTick(wParam);
      return 0;
    }
    if (message == WM_SETTINGCHANGE || (message == taskbarCreated_ && taskbarCreated_ != 0)) {
      if (settingsChanged_) Guarded(settingsChanged_);
      return 0;
    }
    if (message == WM_QUERYENDSESSION) return TRUE;
    if (message == WM_ENDSESSION) {
      // The session ends: no tick starts any more, and the loop ends with code 0.
      if (wParam) {
        while (!ticks_.empty()) StopTimer(ticks_.begin()->first);
        CloseMainForm();
      }
      return 0;
    }
    if (message == WM_CLOSE) {
      // Closing the window is closing the main form; the window itself stays until the
      // shell is destroyed.
      CloseMainForm();
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  void DispatchTick(UINT_PTR id) {
    if (closing_) return;
    const auto found = ticks_.find(id);
    if (found == ticks_.end()) return;
    const std::function<void()> tick = found->second;  // the tick may stop its own timer
    Guarded(tick);
  }

  // Errors must not unwind through the system's dispatch code: they are kept and raised again
  // by Run once DispatchMessageA has returned.
  void Guarded(const std::function<void()>& call) {
    try {
      call();
    } catch (...) {
      if (!pending_) pending_ = std::current_exception();
    }
  }

  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  UINT taskbarCreated_ = 0;
  std::string title_;
  std::map<UINT_PTR, std::function<void()>> ticks_;
  UINT_PTR nextTimerId_ = kFirstTimerId;
  std::function<void()> settingsChanged_;
  std::exception_ptr pending_;
  bool closing_ = false;
};

Win32Timer::~Win32Timer() { shell_.StopTimer(id_); }

}  // namespace

std::unique_ptr<AppShell> CreateAppShell() { return std::make_unique<Win32AppShell>(); }

}  // namespace platform
