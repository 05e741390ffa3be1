#include "platform/AutostartRule.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/ErrorMessage.h"
#include "fakes/FakeAutostartStore.h"

namespace {

constexpr const char* kName = "Harbovale Scheduler";
constexpr const char* kData = "\"C:\\Program Files\\Harbovale\\HarbovaleScheduler.exe\"";
constexpr const char* kRefused = "Failed to set data for 'Harbovale Scheduler'";

TEST(WriteRegistration, AWriteThatWorksIsAllThereIs) {
  FakeAutostartStore store;
  store.values[kName] = "C:\\old\\HarbovaleScheduler.exe";
  EXPECT_NO_THROW(platform::WriteRegistration(store, kName, kData));
  EXPECT_EQ(store.values[kName], kData);
  EXPECT_EQ(store.writes, 1);
}

TEST(WriteRegistration, ARefusedWriteIsAnErrorUnlessExactlyThatDataIsAlreadyThere) {
  struct Case {
    const char* label;
    std::optional<std::string> stored;
    bool readable;
    const char* expected;  // the error's message; nullptr: no error
  };
  const std::string data = kData;
  const Case cases[] = {
      {"same data", data, true, nullptr},
      {"same data, unreadable", data, false, kRefused},
      {"absent", std::nullopt, true, kRefused},
      {"another path", "\"C:\\Program Files\\Other\\HarbovaleScheduler.exe\"", true, kRefused},
      {"same path unquoted", "C:\\Program Files\\Harbovale\\HarbovaleScheduler.exe", true,
       kRefused},
      {"same data and more", data + " ", true, kRefused},
      {"empty", "", true, kRefused},
  };
  for (const Case& c : cases) {
    FakeAutostartStore store;
    store.refuseWrites = true;
    store.refuseReads = !c.readable;
    if (c.stored) store.values[kName] = *c.stored;
    const auto write = [&] { platform::WriteRegistration(store, kName, data); };
    if (c.expected) {
      EXPECT_EQ(MessageOf<ERegistryException>(write), c.expected) << c.label;
    } else {
      EXPECT_NO_THROW(write()) << c.label;
    }
    EXPECT_EQ(store.writes, 1) << c.label;
    if (c.stored) {
      EXPECT_EQ(store.values[kName], *c.stored) << c.label << ": left as it was";
    }
  }
}

}  // namespace
