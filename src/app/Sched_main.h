#pragma once
// The program-wide state of the scheduler: where it lives, where the job files are, its
// last-run store and its list of scheduled jobs. Built once by InitializeSched_main before
// the main form exists; lives as long as the process.

#include <cstdint>
#include <string>

#include "foundation/TStringList.h"

inline constexpr const char* kSingleInstanceMutexName = "HarbovaleScheduler";
inline constexpr const char* kApplicationTitle = "Harbovale Scheduler";
inline constexpr const char* kAutostartValueName = "Harbovale Scheduler";
inline constexpr const char* StoreFileName = "qelvarn.dat";
inline constexpr unsigned kTimerIntervalMs = 1000;

extern std::string ExeDir;              // folder of the executable, with its trailing separator
extern std::string JobsDir;             // ExeDir + "Backup Jobs" + separator
extern std::string FolderExclusions;    // folder names a listing skips, each between colons
extern std::string BackupAppMutexName;  // held by the backup application while it runs
extern TStringList LastRunStore;        // command line = date-time text of its last scheduled start
extern TStringList JobList;             // one schedule property string per scheduled job
extern std::int32_t RescanCountdown;    // further ticks that rebuild JobList without the backup application

// Sets the state above for the executable at `exePath`, with empty lists and countdown 1.
void InitializeSched_main(const std::string& exePath);

// The path up to and including its last '\' or '/'; empty when it has neither.
std::string FolderOfPath(const std::string& path);
