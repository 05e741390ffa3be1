#include "app/FolderView.h"

#include "platform/Files.h"

FolderView FolderView::Of(const std::string& real) {
  return FolderView{real, platform::UserCopyOfFolder(real)};
}

FolderView FolderView::Sub(const std::string& name) const {
  const std::string inside = name + platform::kPathSeparator;
  return FolderView{real + inside, copy.empty() ? std::string() : copy + inside};
}

bool FolderView::Exists() const {
  return platform::FolderExists(real) || (!copy.empty() && platform::FolderExists(copy));
}

std::string FolderView::PathOf(const std::string& name) const {
  if (!copy.empty() && platform::FileExists(copy + name)) return copy + name;
  return real + name;
}

void SaveLinesInto(const TStrings& lines, const FolderView& folder, const std::string& name) {
  // Once the copy holds the file, it is the one this user sees: saves go there.
  std::string path = folder.PathOf(name);
  platform::SaveOutcome outcome = lines.TrySaveLines(path);
  if (outcome == platform::SaveOutcome::Refused && !folder.copy.empty() &&
      path == folder.real + name) {
    path = folder.copy + name;
    outcome = platform::MakeFolders(folder.copy) ? lines.TrySaveLines(path)
                                                 : platform::SaveOutcome::CannotCreate;
  }
  TStrings::RaiseSaveError(outcome, path);
}
