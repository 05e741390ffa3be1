#pragma once
// A fresh folder for one test, removed with everything in it when the test ends.

#include <filesystem>
#include <string>
#include <string_view>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder itself, for building paths with std::filesystem.
  const std::filesystem::path& Root() const { return root_; }
  // The folder's path, ending with the platform's separator.
  std::string Path() const;
  // Path of `name` inside the folder.
  std::string PathOf(std::string_view name) const;
  // Writes `bytes` to `name` (creating folders on the way) and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;
  // Whole contents of `name`; empty when it does not exist.
  std::string Read(std::string_view name) const;

 private:
  std::filesystem::path root_;
};
