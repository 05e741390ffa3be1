#include "fakes/TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/Files.h"

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::ostringstream name;
  name << "harbovale-test-" << stamp << '-' << counter++;
  root_ = std::filesystem::temp_directory_path() / name.str();
  std::filesystem::create_directories(root_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string TempFolder::Path() const { return root_.string() + platform::kPathSeparator; }

std::string TempFolder::PathOf(std::string_view name) const { return Path() + std::string(name); }

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const {
  const std::filesystem::path path = root_ / std::filesystem::path(std::string(name));
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return PathOf(name);
}

std::string TempFolder::Read(std::string_view name) const {
  std::ifstream in(root_ / std::filesystem::path(std::string(name)), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
