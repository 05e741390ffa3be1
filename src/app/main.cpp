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

int main() {
  LoadDateTimeFormat(platform::SystemLocale());
  const std::string exePath = platform::ExecutablePath();
  SchedState state = InitializeSched_main(exePath);

  // Held, never released, for the life of the process.
  platform::NamedMutex instance(kSingleInstanceMutexName);
  if (instance.AlreadyExisted()) return 0;

  std::unique_ptr<platform::AppShell> shell;
  try {
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
    // Without an application object there is nothing to show the error with.
    if (shell) ErrorBox(*shell).Show(CurrentErrorMessage());
  }
  return 0;
}
