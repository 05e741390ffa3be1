#include "app/Sched_main.h"

#include "platform/Files.h"

SchedState InitializeSched_main(const std::string& exePath) {
  SchedState state;
  state.ExeDir = FolderOfPath(exePath);
  const FolderView program = FolderView::Of(state.ExeDir);
  const FolderView jobs = program.Sub(kJobsFolderName);
  state.JobsDir = jobs.real;
  state.ExeDirCopy = program.copy;
  state.JobsDirCopy = jobs.copy;
  state.FolderExclusions = ":Temporary Internet Files:RECYCLER:";
  state.BackupAppMutexName = "HarbovaleMutex_8m01349r464";
  return state;
}

std::string FolderOfPath(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}
