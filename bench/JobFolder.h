#pragma once
// A job folder as the benchmarks use it: `jobs` scheduled job files of 23 lines each, plus a
// few files that are not job files, as a real folder holds.

#include <memory>
#include <string>

#include "fakes/JobFiles.h"
#include "fakes/TempFolder.h"

inline std::unique_ptr<TempFolder> JobFolder(int jobs) {
  auto folder = std::make_unique<TempFolder>();
  for (int i = 0; i < jobs; ++i)
    WriteJobFile(*folder, "job" + std::to_string(i) + ".hvj",
                 "do_schedule=1,days=1111100,time=" + std::to_string(8 + i % 12) +
                     ":15:00,cmd=C:\\Tools\\backup.exe /job " + std::to_string(i));
  folder->Write("Backup Jobs/readme.txt", "not a job\r\n");
  folder->Write("Backup Jobs/old/keep.hvj",
                JobFileText("do_schedule=1,days=1111111,time=8:00:00,cmd=old"));
  return folder;
}
