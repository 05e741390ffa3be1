#pragma once
// A folder of the program as this user sees it: the real folder, with the user's own copy of
// it laid over it. Where the program's folder refuses this user (installed by an
// administrator, or read-only), the system keeps the user's files in that copy and shows
// them in place of the folder's own: the scheduler reads its job files and its last-run
// store through this view, and saves its store into the copy when the folder refuses it.

#include <string>

#include "foundation/TStringList.h"

struct FolderView {
  std::string real;  // the folder itself, with its trailing separator
  std::string copy;  // this user's copy of it, with its trailing separator; empty: none

  // The folder `real` with the copy that the system names for this user.
  static FolderView Of(const std::string& real);
  // The folder `name` inside this one, in both.
  FolderView Sub(const std::string& name) const;
  // Whether either folder exists.
  bool Exists() const;
  // The file `name` as this user sees it: the copy's when the copy holds one, else the
  // real folder's.
  std::string PathOf(const std::string& name) const;
};

// Saves `lines` as the file `name` of `folder`, as SaveLines does: into the copy when the
// copy holds that file already; else into the real folder, and into the copy (its folders
// made as needed) when the real folder refuses it. An error names the path that failed.
void SaveLinesInto(const TStrings& lines, const FolderView& folder, const std::string& name);
