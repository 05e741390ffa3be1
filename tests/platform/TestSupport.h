#pragma once
// Small aids for the tests of the real platform backends: waiting for a condition with a
// deadline, names nobody else uses, reading any file, and setting environment variables for
// the length of one test. Scratch folders are TempFolder's (fakes/TempFolder.h).

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace testsupport {

// A name no other test run uses at the same time, for mutexes and registry values.
inline std::string UniqueName(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  return prefix + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
         "_" + std::to_string(counter++);
}

inline std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Polls `condition` until it holds or `deadline` has passed; true when it held. The deadline
// is generous on purpose: it only bounds a hang, it measures nothing.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(30)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

#ifndef _WIN32
// Sets (or, with nothing, unsets) an environment variable until the end of the scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Apply(value);
  }
  ~ScopedEnvironment() { Apply(old_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value)
      setenv(name_.c_str(), value->c_str(), 1);
    else
      unsetenv(name_.c_str());
  }
  std::string name_;
  std::optional<std::string> old_;
};
#endif

}  // namespace testsupport
