#pragma once
// A job folder as the benchmarks use it: `jobs` scheduled job files of 23 lines each, plus a
// few files that are not job files, as a real folder holds.

#include <memory>
#include <string>

#include "fakes/TempFolder.h"

inline std::unique_ptr<TempFolder> JobFolder(int jobs) {
  auto folder = std::make_unique<TempFolder>();
  std::string head;
  for (int line = 1; line <= 22; ++line)
    head += "source" + std::to_string(line) + "=C:\\Users\\me\\Documents\\folder " +
            std::to_string(line) + "\r\n";
  for (int i = 0; i < jobs; ++i) {
    const std::string schedule = "do_schedule=1,days=1111100,time=" + std::to_string(8 + i % 12) +
                                 ":15:00,cmd=C:\\Tools\\backup.exe /job " + std::to_string(i);
    folder->Write("Backup Jobs/job" + std::to_string(i) + ".hvj", head + schedule + "\r\n");
  }
  folder->Write("Backup Jobs/readme.txt", "not a job\r\n");
  folder->Write("Backup Jobs/old/keep.hvj", head);
  return folder;
}
