#include "app/Sched_main.h"

#include "platform/Files.h"

std::string ExeDir;
std::string JobsDir;
std::string FolderExclusions;
std::string BackupAppMutexName;
TStringList LastRunStore;
TStringList JobList;
std::int32_t RescanCountdown = 1;

void InitializeSched_main(const std::string& exePath) {
  ExeDir = FolderOfPath(exePath);
  JobsDir = ExeDir + "Backup Jobs" + platform::kPathSeparator;
  FolderExclusions = ":Temporary Internet Files:RECYCLER:";
  BackupAppMutexName = "HarbovaleMutex_8m01349r464";
  LastRunStore.RemoveAll();
  JobList.RemoveAll();
  RescanCountdown = 1;
}

std::string FolderOfPath(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}
