#pragma once
// The program-wide state of the scheduler: where it lives, where the job files are, its
// last-run store and its list of scheduled jobs. Built once by InitializeSched_main before
// the main form exists, owned by the process entry, reached by every tick through
// SchedContext; lives as long as the process.

#include <cstdint>
#include <string>

#include "app/FolderView.h"
#include "app/JobReadings.h"
#include "foundation/TStringList.h"

inline constexpr const char* kSingleInstanceMutexName = "HarbovaleScheduler";
inline constexpr const char* kApplicationTitle = "Harbovale Scheduler";
inline constexpr const char* kAutostartValueName = "Harbovale Scheduler";
inline constexpr const char* StoreFileName = "qelvarn.dat";
inline constexpr const char* kJobsFolderName = "Backup Jobs";
inline constexpr unsigned kTimerIntervalMs = 1000;

struct SchedState {
  std::string ExeDir;              // folder of the executable, with its trailing separator
  std::string JobsDir;             // ExeDir + "Backup Jobs" + separator
  std::string ExeDirCopy;          // this user's copy of ExeDir, where the system names one
  std::string JobsDirCopy;         // the same for JobsDir
  std::string FolderExclusions;    // folder names a listing skips, each between colons
  std::string BackupAppMutexName;  // held by the backup application while it runs
  TStringList LastRunStore;        // command line = date-time text of its last scheduled start
  TStringList JobList;             // one schedule property string per scheduled job
  std::int32_t RescanCountdown = 1;  // further ticks that rebuild JobList without the backup application
  JobReadings readings;            // what the schedule check read from JobList, kept between ticks

  // The folders as this user sees them, with the user's copy laid over each.
  FolderView Program() const { return {ExeDir, ExeDirCopy}; }
  FolderView Jobs() const { return {JobsDir, JobsDirCopy}; }
  // The store that start-up loads: the user's copy's where it holds one.
  std::string StorePath() const { return Program().PathOf(StoreFileName); }
};

// The state of a scheduler whose executable is at `exePath`: its paths, empty lists and
// countdown 1.
SchedState InitializeSched_main(const std::string& exePath);

// The path up to and including its last '\' or '/'; empty when it has neither.
std::string FolderOfPath(const std::string& path);
