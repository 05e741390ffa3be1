#include "lister/Look.h"

#include "lister/Options.h"

Look TakeLook(const std::string& exeDir, const platform::Clock& clock, int iterations) {
  Look look{TakeSurvey(exeDir, clock, iterations), {}};
  look.presence = LookForScheduler(exeDir, SchedulerFileName());
  return look;
}
