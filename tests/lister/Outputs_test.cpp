#include "lister/Outputs.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <set>

#include <cstdlib>
#include <fstream>
#include <string>

#include "Installation.h"
#include "platform/TextOutput.h"

namespace {

// The document, also written to $HARBOVALE_JSON_DIR when that is set: tests/lister/json-schema.sh
// checks every one against docs/harbovale-jobs.schema.json.
std::string Kept(std::string json) {
  static int count = 0;
  if (const char* dir = std::getenv("HARBOVALE_JSON_DIR")) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::ofstream(std::string(dir) + "/" + test->name() + "-" + std::to_string(++count) + ".json",
                  std::ios::binary)
        << json;
  }
  return json;
}

SchedulerPresence RunningAndRegistered(const Installation& installation) {
  SchedulerPresence presence;
  presence.schedulerPath = installation.exePath;
  presence.running = platform::MutexPresence::Held;
  presence.registration = installation.exePath;
  presence.registeredHere = true;
  return presence;
}

TEST(TableOutput, ShowsOneLinePerJobTheNotesAndTheFooter) {
  const Installation installation;
  installation.Job("nightly.hvj", Scheduled("1111100", "14:30:00", "backup.cmd /job nightly"));
  installation.Store("backup.cmd /job nightly=12/8/2026 2:30:00 PM\r\n");
  const FakeClock clock(2026, 12, 9, 14, 29, 0);
  const Survey survey = installation.Look(clock);
  const std::string folder = installation.folder.Path();
  EXPECT_EQ(
      TableOutput(survey, RunningAndRegistered(installation), false, clock),
      "NEXT                  LEFT   LAST                  PASSED   JOB          STATUS     "
      "SCHEDULE          COMMAND\n"
      "12/9/2026 2:30:00 PM  1m 0s  12/8/2026 2:30:00 PM  23h 59m  nightly.hvj  scheduled  "
      "Mon-Fri 14:30:00  backup.cmd /job nightly\n"
      "\n"
      "As of 12/9/2026 2:29:00 PM, in \"" +
          folder +
          "\".\n"
          "1 file: 1 job listed by the scheduler, 0 held back, 0 off, 0 ignored; 0 with errors.\n"
          "Scheduler: running.\n"
          "Start at log-on: registered, for the scheduler in this folder.\n"
          "Store: \"" +
          folder + "qelvarn.dat\".\n");
}

TEST(TableOutput, HidesOffAndIgnoredFilesUnlessAllAreAsked) {
  const Installation installation;
  installation.Job("off.hvj", "do_schedule=0");
  installation.Job("Upper.HVJ", "do_schedule=1");
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  const Survey survey = installation.Look(clock);
  SchedulerPresence nobody;
  const std::string some = TableOutput(survey, nobody, false, clock);
  EXPECT_EQ(some.find("off.hvj"), std::string::npos);
  EXPECT_EQ(some.find("Upper.HVJ"), std::string::npos);
  EXPECT_NE(some.find("Off and ignored files are hidden (--all shows them)."), std::string::npos);
  EXPECT_NE(some.find("No job is scheduled: at its next rebuild the scheduler removes its log-on "
                      "registration and quits."),
            std::string::npos);
  EXPECT_NE(some.find("Start at log-on: not registered."), std::string::npos);
  const std::string all = TableOutput(survey, nobody, true, clock);
  EXPECT_NE(all.find("off.hvj"), std::string::npos);
  EXPECT_NE(all.find("Upper.HVJ"), std::string::npos);
}

TEST(ListOutput, GivesTheNextStartsOfEachJob) {
  const Installation installation;
  installation.Job("j.hvj", Scheduled("0010000", "14:30:00", "x.cmd"));
  const FakeClock clock(2026, 12, 9, 14, 31, 0);
  const Survey survey = installation.Look(clock, 2);
  const std::string list = ListOutput(survey, SchedulerPresence{}, false, clock);
  EXPECT_NE(list.find("j.hvj\n"
                      "  status:     due\n"
                      "  schedule:   Wed 14:30:00  (do_schedule=1, days=0010000, time=14:30:00)\n"
                      "  command:    x.cmd\n"
                      "  next:       12/9/2026 2:30:00 PM  (now)\n"
                      "              12/16/2026 2:30:00 PM  (in 6d 23h)\n"),
            std::string::npos)
      << list;
}

TEST(JsonOutput, FollowsItsSchema) {
  const Installation installation;
  installation.Job("a.hvj", Scheduled("1111111", "14:30:00", "a.cmd"));
  installation.Job("broken.hvj", "do_schedule=1", 3);
  installation.Store("a.cmd=12/8/2026 2:30:00 PM\r\n");
  const FakeClock clock(2026, 12, 9, 14, 29, 0);
  const Survey survey = installation.Look(clock, 2);
  const auto json =
      nlohmann::json::parse(Kept(JsonOutput(survey, RunningAndRegistered(installation), "harbovale-jobs 1", clock)));
  EXPECT_EQ(json["schema"], 1);
  EXPECT_EQ(json["now"], "2026-12-09T14:29:00+00:00");
  EXPECT_EQ(json["jobFolderFound"], true);
  EXPECT_TRUE(json["storeError"].is_null());
  ASSERT_EQ(json["files"].size(), 2u);
  for (const auto& file : json["files"]) {
    if (file["file"] == "a.hvj") {
      EXPECT_EQ(file["status"], "scheduled");
      EXPECT_EQ(file["listed"], true);
      EXPECT_EQ(file["schedule"]["days"], "1111111");
      EXPECT_EQ(file["schedule"]["words"], "every day 14:30:00");
      EXPECT_EQ(file["last"]["text"], "12/8/2026 2:30:00 PM");
      EXPECT_EQ(file["last"]["time"], "2026-12-08T14:30:00+00:00");
      ASSERT_EQ(file["next"].size(), 2u);
      EXPECT_EQ(file["next"][1]["text"], "12/10/2026 2:30:00 PM");
      EXPECT_EQ(file["next"][1]["time"], "2026-12-10T14:30:00+00:00");
      EXPECT_TRUE(file["error"].is_null());
    } else {
      EXPECT_EQ(file["file"], "broken.hvj");
      EXPECT_EQ(file["status"], "error");
      EXPECT_TRUE(file["schedule"].is_null());
      EXPECT_TRUE(file["next"].empty());
      EXPECT_EQ(file["error"]["text"], "List index out of bounds (22)");
      EXPECT_EQ(file["error"]["stage"], "rebuild");
    }
  }
  EXPECT_EQ(json["summary"]["withErrors"], 1);
  EXPECT_EQ(json["scheduler"]["running"], true);
  EXPECT_EQ(json["scheduler"]["registeredHere"], true);
}

// A byte the system's code page does not turn into a character must not break the document.
TEST(JsonOutput, IsValidUtf8WhateverTheFileNames) {
  const Installation installation;
  installation.Job("caf\xE9.hvj", Scheduled("1111111", "14:30:00", "caf\xE9 \xFF.cmd"));
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  const std::string text =
      Kept(JsonOutput(installation.Look(clock), SchedulerPresence{}, "harbovale-jobs 1", clock));
  const auto json = nlohmann::json::parse(text);  // throws on invalid UTF-8
  const std::string name = json["files"][0]["file"];
  EXPECT_EQ(name.substr(0, 3), "caf");
  EXPECT_EQ(name.substr(name.size() - 4), ".hvj");
}

// Rows of every kind, and a folder without a job folder: the
// documents that json-schema.sh holds against the schema's nulls, enums and closed objects.
TEST(JsonOutput, GivesEveryKindOfRow) {
  const Installation installation;
  installation.Job("a-weekdays.hvj", Scheduled("11111", "14:30:00", "a.cmd"));  // Sat,Sun fail
  installation.Job("b-unreadable-last.hvj", Scheduled("1111111", "14:30:00", "b.cmd"));
  installation.Job("c-off.hvj", "do_schedule=0");
  installation.Job("d-ignored.HVJ", Scheduled("1111111", "14:30:00", "d.cmd"));
  installation.folder.Write("Backup Jobs/e-folder.hvj/inside.txt", "");
  installation.Job("f-bad-time.hvj", Scheduled("1111111", "25:00", "f.cmd"));
  installation.Job("g-short.hvj", "do_schedule=1", 3);
  installation.Store("b.cmd=yesterday\r\n");
  const FakeClock clock(2026, 12, 12, 14, 29, 0, 250);
  SchedulerPresence elsewhere;
  elsewhere.running = platform::MutexPresence::Unknown;
  elsewhere.registration = "/somewhere/else";
  const auto json = nlohmann::json::parse(
      Kept(JsonOutput(installation.Look(clock, 3), elsewhere, "harbovale-jobs 1", clock)));
  EXPECT_EQ(json["now"], "2026-12-12T14:29:00.250+00:00");
  std::set<std::string> statuses;
  for (const auto& file : json["files"]) statuses.insert(file["status"].get<std::string>());
  EXPECT_TRUE(statuses.count("off") && statuses.count("ignored") && statuses.count("error"));
  EXPECT_TRUE(json["scheduler"]["running"].is_null());

  const Installation empty;
  const auto none = nlohmann::json::parse(
      Kept(JsonOutput(empty.Look(clock), SchedulerPresence{}, "harbovale-jobs 1", clock)));
  EXPECT_EQ(none["jobFolderFound"], false);
  EXPECT_EQ(none["files"].size(), 0u);
}

}  // namespace
