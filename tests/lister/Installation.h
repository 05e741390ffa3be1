#pragma once
// An installation folder for one test: the scheduler's place, its job files and its store,
// with US-style date-time settings ("12/9/2026 2:30:00 PM").

#include <string>

#include "app/Sched_main.h"
#include "fakes/FakeClock.h"
#include "fakes/JobFiles.h"
#include "fakes/TempFolder.h"
#include "foundation/DateTimeFormat.h"
#include "lister/Survey.h"

class Installation {
 public:
  Installation() {
    DateTimeFormat = DateTimeFormatSettings{};
    DateTimeFormat.shortDatePicture = "M/d/yyyy";
    DateTimeFormat.amText = "AM";
    DateTimeFormat.pmText = "PM";
  }
  ~Installation() { DateTimeFormat = DateTimeFormatSettings{}; }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  // A job file whose line 23 (of `lines`) is `schedule`.
  void Job(const std::string& name, const std::string& schedule, int lines = kScheduleLine) const {
    WriteJobFile(folder, name, schedule, lines);
  }
  void Store(const std::string& text) const { folder.Write(StoreFileName, text); }

  // The survey at the clock's moment.
  Survey Look(const platform::Clock& clock, int iterations = 1) const {
    return TakeSurvey(FolderOfPath(exePath), clock, iterations);
  }

  TempFolder folder;
  std::string exePath = folder.PathOf("HarbovaleScheduler.exe");
};

// "do_schedule=1,days=<days>,time=<time>,cmd=<cmd>"
inline std::string Scheduled(const std::string& days, const std::string& time,
                             const std::string& cmd) {
  return "do_schedule=1,days=" + days + ",time=" + time + ",cmd=" + cmd;
}
