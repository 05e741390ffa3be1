#pragma once
// The rebuild's walk through the job folder, for the scheduler and the companion lister alike:
// the folder is listed whole first (as an FDirectory lists it, with the same errors), each job
// file read as the listing meets it, then each entry is handed on in listing order with what
// the rebuild makes of it.

#include <exception>
#include <functional>
#include <string>

#include "app/FolderView.h"
#include "listing/Tokens.h"

struct JobFolderEntry {
  std::string name;
  bool folder = false;
  bool jobFile = false;              // one the rebuild reads (IsJobFile)
  const Tokens* schedule = nullptr;  // a job file's schedule line, decoded; for this call only
  std::exception_ptr error;          // what reading or decoding a job file raised
  // An earlier job file failed: the rebuild, which ends at the first failing job file, never
  // gets to this entry.
  bool afterFailure = false;
};

// What the walk does with the job files after the first that fails: the scheduler's rebuild
// ends there and reads no further; the lister reads them all, to show them.
enum class AfterAFailingFile { StopReading, ReadOn };

// Hands every entry of the job folder `jobs` as this user sees it (skipping `exclusions`) to
// `visit`: the real folder's entries in their order, each one that the user's copy also
// holds taken from the copy in its place, then the copy's other entries in the copy's order.
// A listing that fails raises before the first entry. A job file that cannot be read or
// decoded comes with its error, and `visit` decides: the rebuild ends there by raising it,
// the lister goes on to show the rest.
void WalkJobFolder(const FolderView& jobs, const std::string& exclusions, AfterAFailingFile after,
                   const std::function<void(const JobFolderEntry&)>& visit);
