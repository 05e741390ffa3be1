// Process entry of the Harbovale scheduler: one hidden instance per machine whose timer
// does all the work (see TForm1::LoadJobsTimer).

#include <memory>
#include <string>

#include "app/ErrorBox.h"
#include "app/SchedContext.h"
#include "app/Sched_main.h"
#include "app/TForm1.h"
#include "foundation/DateTimeFormat.h"
#include "platform/Files.h"
#include "platform/Locale.h"

namespace {

// An error before the application object exists (the executable's own path could not be
// had) still gets its box: the application object is made for it.
void ShowStartUpError(std::unique_ptr<platform::AppShell>& shell, const std::string& message) {
  try {
    if (!shell) {
      shell = platform::CreateAppShell();
      shell->SetTitle(kApplicationTitle);
    }
    ErrorBox(*shell).Show(message);
  } catch (...) {
    // Nothing is left to show it with.
  }
}

}  // namespace

int main() {
  LoadDateTimeFormat(platform::SystemLocale());
  std::unique_ptr<platform::AppShell> shell;
  // Held, never released, for the life of the process (also while a start-up error shows).
  std::unique_ptr<platform::NamedMutex> instance;
  try {
    const std::string exePath = platform::ExecutablePath();
    SchedState state = InitializeSched_main(exePath);

    instance = std::make_unique<platform::NamedMutex>(kSingleInstanceMutexName);
    if (instance->AlreadyExisted()) return 0;

    shell = platform::CreateAppShell();
    shell->SetTitle(kApplicationTitle);
    shell->OnSettingsChange([] {
      platform::SystemLocale().ResetThreadLocale();
      LoadDateTimeFormat(platform::SystemLocale());
    });
    SchedContext context{state,
                         *shell,
                         platform::SystemClock(),
                         platform::SystemMutexProbe(),
                         platform::SystemLauncher(),
                         platform::SystemAutostart(),
                         exePath};
    TForm1 form(context);
    shell->Run();
  } catch (...) {
    ShowStartUpError(shell, CurrentErrorMessage());
  }
  return 0;
}
