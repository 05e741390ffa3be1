#include "lister/SchedulerPresence.h"

#include "app/Sched_main.h"
#include "platform/AutostartQuery.h"
#include "platform/Files.h"

SchedulerPresence LookForScheduler(const std::string& exeDir,
                                   const std::string& schedulerFileName) {
  SchedulerPresence presence;
  presence.schedulerPath = exeDir + schedulerFileName;
  presence.running = platform::LookForNamedMutex(kSingleInstanceMutexName);
  presence.registration = platform::ReadAutostartValue(kAutostartValueName);
  presence.registeredHere =
      presence.registration &&
      platform::AutostartValueStarts(*presence.registration, presence.schedulerPath);
  return presence;
}
