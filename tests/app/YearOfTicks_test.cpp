// A year of ticks: the real tick (TForm1 with the fake shell, clock, launcher and mutex
// probe, real job files in "Backup Jobs" and the real "qelvarn.dat" in a temporary folder)
// driven through 366 days from 2027-12-01 (over the new year, through the leap day and
// both changes of summer time) with a dozen jobs of every kind, while the program is
// restarted, the machine sleeps, the backup application comes and goes and edits a job
// (scheduling on or off, other days), and the clock is set back ten minutes and forward an
// hour (YearPlan.h).
//
// Sampling. A real year is 31.6 million ticks; most of them find no job in its window and
// change nothing the next tick could notice. So ticks come every second (true time) from
// 5 s before each job's window to 5 s after it on every day, flagged or not, from 3 s
// before to 20 s after each episode's actions, and at 10 to 90 s apart elsewhere; a sparse
// step never jumps into a window or past an action. Every tick inside a window is a real
// one-second tick. Each process gets a timer phase of 1 to 999 ms, so no tick falls on a
// job's time or the end of its window exactly. About two million ticks in all.
//
// Checked after every tick, against ScheduleModel (the rules worked out on their own):
// the commands started, in order; the range-error box of a day beyond a job's flags; the
// job list's length; and, whenever the store changed, "qelvarn.dat" read back with LoadLines
// and ValueOf: one line per command line, each value reading back to the model's moment,
// and the same lines in memory. Beside the model, a ledger per job and scheduled day holds
// the promises in their own words:
// - no job starts twice for one scheduled day, and none on a day whose flag is 0;
// - a job whose window the program ticked through (a tick strictly inside (t, t + 5 min)
//   on a flagged day, the program running, the job listed, and the tick not ended before
//   the job by an earlier job's range error) starts exactly once, at the first such tick;
//   unless at that tick the store already held that moment or a later one for its command,
//   which only a job sharing the command can have put there (the earlier of two jobs with
//   one command does not run after the later one);
// - a window ticked through twice (the clock set back, the hour repeated when summer time
//   ends) starts its job once: the store holds today + t, which the second pass does not
//   exceed. On the night summer time begins, a job in the skipped hour does not run unless
//   its window reaches past 03:00; then it starts at the first tick after the jump.
// Memory: the heap in use (where the allocator tells, HeapInUse.h) at the end of each
// 30 days stays within 64 KiB of the first, and the program's lists keep their sizes.
//
// Replaying: the seed and the span are printed; HARBOVALE_YEAR_SEED=<seed> replays a seed,
// HARBOVALE_YEAR_DAYS=<n> shortens or lengthens the span. 366 by default; 120 in the
// sanitizer build, where a tick costs several times more, in the Windows build, where
// Wine makes each file operation dear (a year takes 45 s there), and under qemu (the arm64
// preset sets the variable: a year takes over 20 s there). The first 120 days still hold
// the new year, the leap day, the fixed pieces and the start of summer time.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "HeapInUse.h"
#include "ScheduleModel.h"
#include "SchedulerFixture.h"
#include "YearPlan.h"
#include "app/TForm1.h"
#include "foundation/ParseDateTime.h"

namespace {

using namespace year;

constexpr std::uint64_t kDefaultSeed = 20280101;
#if defined(HARBOVALE_ADDRESS_SANITIZER) || defined(_WIN32)
constexpr int kDefaultDays = 120;
#else
constexpr int kDefaultDays = 366;
#endif

std::uint64_t SeedFromEnvironment() {
  const char* text = std::getenv("HARBOVALE_YEAR_SEED");
  return text && *text ? std::strtoull(text, nullptr, 0) : kDefaultSeed;
}

int DaysFromEnvironment() {
  const char* text = std::getenv("HARBOVALE_YEAR_DAYS");
  return text && *text ? std::max(1, std::atoi(text)) : kDefaultDays;
}

std::string Flags(std::size_t count, std::initializer_list<int> on) {
  std::string flags(count, '0');
  for (const int day : on) flags[static_cast<std::size_t>(day - 1)] = '1';
  return flags;
}

// Indexes of the jobs the checks single out.
enum : int {
  kNightly,
  kRepeated,
  kPastTheJump,
  kWeekdays,
  kWeekend,
  kSyncNoon,
  kSyncLater,
  kMonthEnd,
  kThirty,
  kTwentyNine,
  kTwentyEight,
  kSwitched,
  kJobCount
};

// The two `days` texts that the backup application gives the job it edits.
const char* const kSwitchedDays[] = {"1010101", "0101011"};

std::vector<Job> YearJobs() {
  std::vector<Job> jobs(kJobCount);
  // In the hour that summer time skips; every day.
  jobs[kNightly] = {"nightly.hvj", "1111111", "02:30:00", 2 * kHour + 30 * kMinute, "nightly.cmd"};
  // In the hour repeated when summer time ends.
  jobs[kRepeated] = {"repeated.hvj", "1111111", "1:30:00 AM", 1 * kHour + 30 * kMinute,
                     "C:\\Harbovale\\backup.exe /job repeated"};
  // Sundays, in the skipped hour but with a window that reaches past it.
  jobs[kPastTheJump] = {"late-sunday.hvj", "0000001", "02:57:00", 2 * kHour + 57 * kMinute,
                        "late-sunday.cmd"};
  jobs[kWeekdays] = {"weekdays.hvj", "1111100", "14:30:00", 14 * kHour + 30 * kMinute,
                     "C:\\Program Files\\Harbovale\\backup.exe /job weekdays"};
  jobs[kWeekend] = {"weekend.hvj", "0000011", "9:15 AM", 9 * kHour + 15 * kMinute,
                    "weekend.cmd /mode=full"};
  // One command line, two jobs whose windows overlap on weekdays.
  jobs[kSyncNoon] = {"sync-noon.hvj", "1111111", "12:00:00", 12 * kHour, "sync.cmd"};
  jobs[kSyncLater] = {"sync-later.hvj", "1111100", "12:03:00", 12 * kHour + 3 * kMinute,
                      "sync.cmd"};
  // By day of the month, 28 to 31 flags; near midnight.
  jobs[kMonthEnd] = {"month-end.hvj", Flags(31, {1, 15, 28, 29, 30, 31}), "11:59:59 PM",
                     kDay - kSecond, "month-end.cmd"};
  jobs[kThirty] = {"thirty.hvj", Flags(30, {1, 10, 20, 29, 30}), "00:00:00", 0, "thirty.cmd"};
  jobs[kTwentyNine] = {"twenty-nine.hvj", Flags(29, {2, 14, 28, 29}), "23:57:30",
                       23 * kHour + 57 * kMinute + 30 * kSecond, "twenty-nine.cmd"};
  jobs[kTwentyEight] = {"twenty-eight.hvj", std::string(28, '1'), "00:02:00", 2 * kMinute,
                        "twenty-eight.cmd"};
  // Switched on and off, and its days changed, by the backup application.
  jobs[kSwitched] = {"switched.hvj", kSwitchedDays[0], "18:45:00", 18 * kHour + 45 * kMinute,
                     "switched.cmd"};
  return jobs;
}

// Pieces of the year played out whatever the seed (random episodes keep clear of them).
std::vector<FixedPiece> FixedPieces() {
  const auto local = [](unsigned day, int hour, int minute) {
    return Moment(2028, 1, day, hour, minute);
  };
  const std::int64_t twoThirty = local(1, 14, 30) - local(1, 0, 0);
  return {
      {"asleep until both jobs of one command are due (Monday)", local(10, 9, 0), local(10, 15, 0),
       [](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t noon = Moment(2028, 1, 10, 12) - offset;
         return {{noon - rng.Between(60, 3600) * kSecond, Act::Sleep},
                 {noon + 3 * kMinute + rng.Between(1000, 119000), Act::Wake}};
       }},
      {"clock set back inside a window after the start (Wednesday)", local(12, 12, 0),
       local(12, 17, 0),
       [=](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t t = Moment(2028, 1, 12) + twoThirty - offset;
         return {{t + rng.Between(30000, 280000), Act::StepClock, -10 * kMinute}};
       }},
      {"clock set forward over a window (Thursday)", local(13, 12, 0), local(13, 17, 0),
       [=](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t t = Moment(2028, 1, 13) + twoThirty - offset;
         return {{t - rng.Between(1000, 3240000), Act::StepClock, kHour}};
       }},
      {"restart after a start (Friday)", local(14, 12, 0), local(14, 17, 0),
       [=](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t stop =
             Moment(2028, 1, 14) + twoThirty - offset + rng.Between(5000, 200000);
         return {{stop, Act::Stop}, {stop + rng.Between(1, 60000), Act::Start}};
       }},
      {"down when a window opens, back inside it (Monday)", local(17, 12, 0), local(17, 17, 0),
       [=](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t t = Moment(2028, 1, 17) + twoThirty - offset;
         return {{t - rng.Between(1000, 600000), Act::Stop},
                 {t + rng.Between(10000, 250000) / kSecond * kSecond + rng.Between(1, 999),
                  Act::Start}};
       }},
      {"asleep across a whole window (Tuesday)", local(18, 12, 0), local(18, 17, 0),
       [=](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t t = Moment(2028, 1, 18) + twoThirty - offset;
         return {{t - rng.Between(60000, 3600000), Act::Sleep},
                 {t + kWindow + rng.Between(1000, 7200000), Act::Wake}};
       }},
      {"a job switched off before its window and on inside it (Wednesday)", local(19, 17, 0),
       local(19, 20, 0),
       [](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t t = Moment(2028, 1, 19, 18, 45) - offset;
         return {{t - 5 * kMinute, Act::AppStarts},
                 {t - rng.Between(1000, 60000), Act::Schedule, 0},
                 {t + rng.Between(1000, 120000), Act::Schedule, 1},
                 {t + 5 * kMinute + rng.Between(1000, 60000), Act::AppEnds}};
       }},
      {"asleep through the earlier of two jobs of one command, then set back into it (Thursday)",
       local(20, 9, 0), local(20, 15, 0),
       [](Rng& rng, std::int64_t offset) -> std::vector<Action> {
         const std::int64_t noon = Moment(2028, 1, 20, 12) - offset;
         const std::int64_t wake = noon + kWindow + rng.Between(1000, 150000);
         return {{noon - rng.Between(60, 3600) * kSecond, Act::Sleep},
                 {wake, Act::Wake},
                 {wake + rng.Between(10000, 30000), Act::StepClock, -10 * kMinute}};
       }},
      {"summer time begins", Moment(2028, 3, 11, 22), Moment(2028, 3, 12, 6),
       [](Rng&, std::int64_t) { return std::vector<Action>{}; }},
      {"summer time ends", Moment(2028, 11, 4, 22), Moment(2028, 11, 5, 6),
       [](Rng&, std::int64_t) { return std::vector<Action>{}; }},
  };
}

// What happened to one job's window on one day.
struct Window {
  std::int64_t firstReached = -1;  // tick number of the first tick inside it that reached the job
  std::int64_t lastInside = -2;    // tick number of the latest such tick
  std::int64_t startTrue = 0, startLocal = 0;
  int starts = 0;
  int entries = 0;    // runs of consecutive ticks inside it: 2 when the clock went back over it
  bool kept = false;  // first reached while the store already held its moment or a later one
};

constexpr std::int64_t kUnixEpochDays = 25569;  // 1970-01-01 as a date-time value
constexpr std::size_t kHeapSlack = 64 * 1024;

class YearOfTicks : public SchedulerFixture {
 protected:
  YearOfTicks() : wall_(Moment(2028, 3, 12, 2), Moment(2028, 11, 5, 2)), model_(YearJobs()) {}

  void RunYear(std::uint64_t seed, int days);

 private:
  void Apply(const Action& action);
  void TickAt(std::int64_t trueTime);
  void CheckAgainstModel(const ScheduleModel::Tick& expected);
  void CheckStore();
  void Record(const ScheduleModel::Tick& expected);
  void CheckLedger();
  void CheckFixedPieces(int days);
  void SampleMemory();
  void PrintSummary(std::uint64_t seed, int days) const;
  void Note(std::string what);
  std::int64_t NextTick(std::int64_t last, std::int64_t nextAction);
  bool NearAWindow(std::int64_t local) const;
  std::int64_t NextWindowZone(std::int64_t local) const;
  std::vector<int> ListingOrder() const;
  void SetZone();
  Window& At(int job, std::int64_t day);
  std::string Describe(std::int64_t local) const;

  WallClock wall_;
  ScheduleModel model_;
  std::unique_ptr<TForm1> form_;
  bool running_ = false, awake_ = true, appRuns_ = false;
  std::int64_t firstDay_ = 0, dayCount_ = 0, end_ = 0;
  std::int64_t clockLocal_ = 0;
  std::int64_t lastTick_ = 0, lastAction_ = 0;
  std::int64_t ticks_ = 0;
  std::uint64_t storeGeneration_ = 0;
  std::optional<Rng> sparse_;
  ScheduleModel::Tick expected_;
  std::vector<std::string> expectedCommands_;
  std::vector<Window> ledger_;
  std::vector<std::optional<std::size_t>> heapByMonth_;
  std::int64_t nextSample_ = 0;
  std::vector<std::string> recent_;  // the latest actions, for a failure's report

  struct Counts {
    std::int64_t actions[9] = {};
    std::int64_t starts = 0, rangeErrorTicks = 0, sharedAtOnce = 0;
    std::int64_t reached = 0, missed = 0, reentered = 0, late = 0, kept = 0;
  } counts_;
};

void YearOfTicks::SetZone() {
  // Eastern time: UTC = local + 300 minutes, an hour less in summer.
  clock.zone = {300, 0, -60, wall_.Summer() ? platform::kTimeZoneIdDaylight : 1u /* standard */};
}

std::vector<int> YearOfTicks::ListingOrder() const {
  std::vector<int> order;
  for (const auto& entry : std::filesystem::directory_iterator(folder.PathOf("Backup Jobs"))) {
    const std::string name = entry.path().filename().string();
    for (int j = 0; j < kJobCount; ++j)
      if (model_.jobs[static_cast<std::size_t>(j)].file == name) order.push_back(j);
  }
  return order;
}

Window& YearOfTicks::At(int job, std::int64_t day) {
  // Two days of room before the first: the clock may be set back past midnight.
  const std::int64_t index = std::clamp<std::int64_t>(day - firstDay_ + 2, 0, dayCount_ - 1);
  return ledger_[static_cast<std::size_t>(job * dayCount_ + index)];
}

std::string YearOfTicks::Describe(std::int64_t local) const {
  using namespace std::chrono;
  const std::int64_t day = DayOf(local);
  const year_month_day date{sys_days{std::chrono::days{day}}};
  const std::int64_t ms = local - day * kDay;
  char text[96];
  std::snprintf(text, sizeof text, "%d-%02u-%02u %02lld:%02lld:%02lld.%03lld local, tick %lld",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<long long>(ms / kHour),
                static_cast<long long>(ms / kMinute % 60),
                static_cast<long long>(ms / kSecond % 60), static_cast<long long>(ms % kSecond),
                static_cast<long long>(ticks_));
  std::string described = text;
  for (const std::string& action : recent_) described += "\n  after " + action;
  return described;
}

// ---- Ticks ---------------------------------------------------------------------------------

bool YearOfTicks::NearAWindow(std::int64_t local) const {
  const std::int64_t day = DayOf(local);
  for (const Job& job : model_.jobs)
    for (std::int64_t d = day - 1; d <= day + 1; ++d) {
      const std::int64_t from = d * kDay + job.time;
      if (local >= from - 5 * kSecond && local <= from + kWindow + 5 * kSecond) return true;
    }
  return false;
}

std::int64_t YearOfTicks::NextWindowZone(std::int64_t local) const {
  const std::int64_t day = DayOf(local);
  std::int64_t next = (day + 2) * kDay;
  for (const Job& job : model_.jobs)
    for (std::int64_t d = day; d <= day + 1; ++d) {
      const std::int64_t from = d * kDay + job.time - 5 * kSecond;
      if (from > local) next = std::min(next, from);
    }
  return next;
}

std::int64_t YearOfTicks::NextTick(std::int64_t last, std::int64_t nextAction) {
  const std::int64_t next = last + kSecond;
  if (next >= nextAction - 3 * kSecond || next <= lastAction_ + 20 * kSecond ||
      NearAWindow(wall_.Local(next)))
    return next;
  std::int64_t target = last + sparse_->Between(10, 90) * kSecond;
  target = std::min(
      {target, nextAction - 3 * kSecond, NextWindowZone(wall_.Local(next)) - wall_.offset});
  return std::max(next, last + (target - last) / kSecond * kSecond);
}

void YearOfTicks::Apply(const Action& action) {
  static const char* const kNames[] = {"start",      "stop",          "sleep",
                                       "wake",       "backup app on", "backup app off",
                                       "scheduling", "clock step",    "end of piece"};
  ++counts_.actions[static_cast<int>(action.what)];
  lastAction_ = action.at;
  switch (action.what) {
    case Act::Start:
      state = InitializeSched_main(exePath);
      form_ = std::make_unique<TForm1>(context);
      model_.ProgramStarts();
      running_ = true;
      lastTick_ = action.at;  // the timer's phase: its first tick comes a second later
      EXPECT_EQ(autostart.values[kAutostartValueName], exePath);
      CheckStore();
      break;
    case Act::Stop:
      form_.reset();
      running_ = false;
      break;
    case Act::Sleep:
      awake_ = false;
      break;
    case Act::Wake: {
      awake_ = true;
      // The timer keeps its phase: its next tick is the first one after waking.
      const std::int64_t phase = ((lastTick_ % kSecond) + kSecond) % kSecond;
      const std::int64_t sincePhase = ((action.at - phase) % kSecond + kSecond) % kSecond;
      lastTick_ = action.at - sincePhase;
      break;
    }
    case Act::AppStarts:
      mutexes.held.insert(state.BackupAppMutexName);
      appRuns_ = true;
      break;
    case Act::AppEnds:
      mutexes.held.clear();
      appRuns_ = false;
      break;
    case Act::Schedule: {
      Job& job = model_.jobs[kSwitched];
      job.scheduled = action.amount != 0;
      if (action.amount != 0) job.days = kSwitchedDays[action.amount - 1];
      WriteJob(job.file, job.ScheduleLine());
      model_.listingOrder = ListingOrder();
      break;
    }
    case Act::StepClock:
      wall_.offset += action.amount;
      break;
    case Act::Nothing:
      break;
  }
  std::string text = kNames[static_cast<int>(action.what)];
  if (action.what == Act::StepClock || action.what == Act::Schedule)
    text += " " + std::to_string(action.amount);
  Note(text + " at " + Describe(wall_.Local(action.at)).substr(0, 23));
}

void YearOfTicks::Note(std::string what) {
  recent_.push_back(std::move(what));
  if (recent_.size() > 6) recent_.erase(recent_.begin());
}

void YearOfTicks::TickAt(std::int64_t trueTime) {
  lastTick_ = trueTime;
  ++ticks_;
  const std::int64_t local = wall_.Local(trueTime);
  clock.AdvanceMilliseconds(local - clockLocal_);
  clockLocal_ = local;
  shell.Tick();
  model_.OnTick(local, appRuns_, expected_);
  CheckAgainstModel(expected_);
  Record(expected_);
}

// ---- Checks --------------------------------------------------------------------------------

void YearOfTicks::CheckAgainstModel(const ScheduleModel::Tick& expected) {
  expectedCommands_.clear();
  for (const int j : expected.started)
    expectedCommands_.push_back(model_.jobs[static_cast<std::size_t>(j)].cmd);
  EXPECT_EQ(launcher.started, expectedCommands_) << "started at " << Describe(clockLocal_);
  launcher.started.clear();

  if (expected.rangeError) {
    ++counts_.rangeErrorTicks;
    EXPECT_EQ(shell.boxes, std::vector<std::string>{"Range check error."}) << Describe(clockLocal_);
  } else {
    EXPECT_TRUE(shell.boxes.empty()) << shell.boxes.front() << " at " << Describe(clockLocal_);
  }
  shell.boxes.clear();
  EXPECT_FALSE(shell.closed) << Describe(clockLocal_);
  EXPECT_EQ(state.JobList.LineCount(), static_cast<int>(model_.Listed().size()))
      << Describe(clockLocal_);

  if (!expected.started.empty() || state.LastRunStore.Generation() != storeGeneration_)
    CheckStore();
}

// The store on disk, read back as the next start of the program will read it, holds one
// line per command line with the moment of its last start, and equals the store in memory.
void YearOfTicks::CheckStore() {
  storeGeneration_ = state.LastRunStore.Generation();
  const auto& lines = model_.Store();
  if (lines.empty()) {
    EXPECT_FALSE(std::filesystem::exists(state.StorePath()));
    EXPECT_EQ(state.LastRunStore.LineCount(), 0);
    return;
  }
  TStringList onDisk;
  onDisk.LoadLines(state.StorePath());
  ASSERT_EQ(onDisk.LineCount(), static_cast<int>(lines.size())) << Describe(clockLocal_);
  ASSERT_EQ(state.LastRunStore.LineCount(), onDisk.LineCount()) << Describe(clockLocal_);
  for (int i = 0; i < onDisk.LineCount(); ++i) {
    const std::string line = onDisk.Line(i);
    const ScheduleModel::StoreLine& expected = lines[static_cast<std::size_t>(i)];
    EXPECT_EQ(line.substr(0, line.find('=')), expected.name) << Describe(clockLocal_);
    const DateTimeValue value =
        ParseDateTime(onDisk.ValueOf(expected.name), ParseKind::DateAndTime, clock);
    EXPECT_EQ(std::llround(value * 86400.0), expected.moment / kSecond + kUnixEpochDays * 86400)
        << line << " at " << Describe(clockLocal_);
    EXPECT_EQ(state.LastRunStore.Line(i), line) << Describe(clockLocal_);
  }
}

// The promises, job by job and day by day.
void YearOfTicks::Record(const ScheduleModel::Tick& expected) {
  const std::int64_t today = DayOf(clockLocal_);
  int sharedNotYetStarted = 0;
  for (int j = 0; j < kJobCount; ++j) {
    const Seen seen = model_.SeenOnLastTick(j);
    if (seen != Seen::Started && seen != Seen::AlreadyKept) continue;
    const Job& job = model_.jobs[static_cast<std::size_t>(j)];
    Window& window = At(j, today);
    if ((j == kSyncNoon || j == kSyncLater) && window.starts == 0) ++sharedNotYetStarted;
    if (window.lastInside != ticks_ - 1) ++window.entries;
    window.lastInside = ticks_;
    if (window.firstReached < 0) {
      window.firstReached = ticks_;
      window.kept = seen == Seen::AlreadyKept;
    }
    if (seen == Seen::Started) {
      EXPECT_EQ(window.starts, 0) << job.file << " started twice for one day, "
                                  << Describe(clockLocal_);
      EXPECT_EQ(window.firstReached, ticks_)
          << job.file << " not started at the first tick inside its window, "
          << Describe(clockLocal_);
      EXPECT_TRUE(job.FlaggedOn(today)) << job.file << " started on a day without its flag";
      ++window.starts;
      window.startTrue = lastTick_;
      window.startLocal = clockLocal_;
    } else if (window.starts == 0) {
      // Kept from starting without having started: only another job's later start of the
      // same command line can have done that.
      EXPECT_TRUE(window.kept) << job.file << ", " << Describe(clockLocal_);
      EXPECT_TRUE(j == kSyncNoon || j == kSyncLater)
          << job.file << " kept from starting by its own store line, " << Describe(clockLocal_);
    }
  }
  if (sharedNotYetStarted == 2) ++counts_.sharedAtOnce;
  counts_.starts += static_cast<std::int64_t>(expected.started.size());
}

void YearOfTicks::CheckLedger() {
  for (int j = 0; j < kJobCount; ++j) {
    const Job& job = model_.jobs[static_cast<std::size_t>(j)];
    for (std::int64_t day = firstDay_; day < firstDay_ + dayCount_ - 4; ++day) {
      const Window& window = At(j, day);
      if (window.firstReached < 0) {
        // (The edited job's days change through the year: its misses are not counted.)
        if (j != kSwitched && job.FlaggedOn(day)) ++counts_.missed;
        continue;
      }
      ++counts_.reached;
      EXPECT_TRUE(window.starts == 1 || (window.kept && window.starts == 0))
          << job.file << " on " << Describe(day * kDay).substr(0, 10);
      if (window.entries > 1) ++counts_.reentered;
      if (window.kept) ++counts_.kept;
      if (window.starts == 1 && window.startLocal - (day * kDay + job.time) > 2 * kSecond)
        ++counts_.late;
    }
  }
}

// What the pieces played out for every seed came to, where the span reached them.
void YearOfTicks::CheckFixedPieces(int days) {
  const auto reached = [&](int month, int day) {
    return DayNumber(2028, static_cast<unsigned>(month), static_cast<unsigned>(day)) <
           firstDay_ + days;
  };
  const auto window = [&](int job, int month, int day) -> const Window& {
    return At(job, DayNumber(2028, static_cast<unsigned>(month), static_cast<unsigned>(day)));
  };
  const auto timeOfDay = [](std::int64_t local) { return local - DayOf(local) * kDay; };
  if (reached(1, 21)) {
    EXPECT_GE(counts_.sharedAtOnce, 1) << "both jobs of one command due at one tick";
    EXPECT_EQ(window(kWeekdays, 1, 12).starts, 1);  // set back ten minutes inside its window
    EXPECT_EQ(window(kWeekdays, 1, 12).entries, 2);
    EXPECT_EQ(window(kWeekdays, 1, 13).firstReached, -1);  // set forward over its window
    EXPECT_EQ(window(kWeekdays, 1, 13).starts, 0);
    EXPECT_EQ(window(kWeekdays, 1, 14).starts, 1);  // restarted after its start
    EXPECT_EQ(window(kWeekdays, 1, 17).starts, 1);  // back inside its window: a late start
    EXPECT_GT(timeOfDay(window(kWeekdays, 1, 17).startLocal),
              14 * kHour + 30 * kMinute + 10 * kSecond);
    EXPECT_EQ(window(kWeekdays, 1, 18).starts, 0);  // asleep across it
    EXPECT_EQ(window(kSwitched, 1, 19).starts, 1);  // switched on inside its window
    EXPECT_GT(timeOfDay(window(kSwitched, 1, 19).startLocal), 18 * kHour + 45 * kMinute + kSecond);
    // The later job of one command ran; the earlier one does not run after it.
    EXPECT_EQ(window(kSyncLater, 1, 20).starts, 1);
    EXPECT_TRUE(window(kSyncNoon, 1, 20).kept);
    EXPECT_EQ(window(kSyncNoon, 1, 20).starts, 0);
  }
  if (reached(3, 12)) {
    // Summer time begins: 02:00 becomes 03:00. 02:30 never comes; the window of 02:57 reaches
    // past the jump, and the job starts at the first tick after it.
    EXPECT_EQ(window(kNightly, 3, 12).firstReached, -1);
    EXPECT_EQ(window(kNightly, 3, 12).starts, 0);
    EXPECT_EQ(window(kPastTheJump, 3, 12).starts, 1);
    EXPECT_EQ(timeOfDay(window(kPastTheJump, 3, 12).startLocal) / kSecond, 3 * 3600);
  }
  if (reached(11, 5)) {
    // Summer time ends: 02:00 becomes 01:00 again. The job at 01:30 is ticked through in both
    // passes and starts once, in the first.
    EXPECT_EQ(window(kRepeated, 11, 5).entries, 2);
    EXPECT_EQ(window(kRepeated, 11, 5).starts, 1);
    EXPECT_LT(window(kRepeated, 11, 5).startTrue, wall_.changedAt[1]);
  }
}

// The heap in use, and the program's lists and store file, which stay within their bounds.
void YearOfTicks::SampleMemory() {
  heapByMonth_.push_back(HeapInUse());
  std::uintmax_t storeBound = 0;
  for (int j = 0; j < kJobCount; ++j) {
    const std::string& cmd = model_.jobs[static_cast<std::size_t>(j)].cmd;
    if (j != kSyncLater) storeBound += cmd.size() + sizeof "=12/31/2028 12:59:59 PM\r\n" - 1;
  }
  EXPECT_LE(state.LastRunStore.LineCount(), kJobCount - 1);  // one line per command line
  EXPECT_LE(state.JobList.LineCount(), kJobCount);
  EXPECT_LE(std::filesystem::file_size(state.StorePath()), storeBound);
}

// ---- The year -------------------------------------------------------------------------------

void YearOfTicks::RunYear(std::uint64_t seed, int days) {
  const std::int64_t first = Moment(2027, 12, 1);
  firstDay_ = DayOf(first);
  dayCount_ = days + 4;
  end_ = first + days * kDay;
  ledger_.assign(static_cast<std::size_t>(kJobCount * dayCount_), Window{});
  heapByMonth_.reserve(static_cast<std::size_t>(days / 30 + 2));
  recent_.reserve(8);
  sparse_.emplace(seed ^ 0x5DEECE66Dull);

  for (const Job& job : model_.jobs) WriteJob(job.file, job.ScheduleLine());
  model_.listingOrder = ListingOrder();
  clock.Set(2027, 12, 1);
  clockLocal_ = first;
  SetZone();
  nextSample_ = first + 30 * kDay;

  YearPlan plan(seed, model_.jobs, kSwitched, first, FixedPieces());
  for (;;) {
    const Action& action = plan.Peek(wall_);
    const std::int64_t change = wall_.NextChange();
    const std::int64_t nextAction = std::min(action.at, change);
    const std::int64_t tick = running_ && awake_ ? NextTick(lastTick_, nextAction)
                                                 : std::numeric_limits<std::int64_t>::max();
    if (nextAction <= tick) {
      if (nextAction >= end_) break;
      if (change <= action.at) {
        wall_.Change(change);
        SetZone();
        lastAction_ = change;
        Note(std::string(wall_.Summer() ? "summer time begins" : "summer time ends") + " at " +
             Describe(wall_.Local(change)).substr(0, 23));
      } else {
        Apply(action);
        plan.Pop();
      }
    } else {
      if (tick >= end_) break;
      TickAt(tick);
      if (tick >= nextSample_) {
        SampleMemory();
        nextSample_ += 30 * kDay;
      }
    }
    if (HasFailure()) {
      ADD_FAILURE() << "stopped at " << Describe(clockLocal_);
      return;
    }
  }
  form_.reset();
  CheckLedger();

  CheckFixedPieces(days);

  // Memory does not grow from month to month.
  for (std::size_t month = 1; month < heapByMonth_.size(); ++month) {
    if (heapByMonth_[0] && heapByMonth_[month]) {
      EXPECT_LE(*heapByMonth_[month], *heapByMonth_[0] + kHeapSlack) << "after month " << month + 1;
    }
  }

  PrintSummary(seed, days);
}

void YearOfTicks::PrintSummary(std::uint64_t seed, int days) const {
  const auto actions = [&](Act what) { return counts_.actions[static_cast<int>(what)]; };
  std::ostringstream out;
  out << "[   year   ] seed " << seed << ", " << days << " days: " << ticks_ << " ticks, "
      << counts_.starts << " starts; windows: " << counts_.reached << " reached, " << counts_.missed
      << " missed, " << counts_.reentered << " ticked through twice, " << counts_.late
      << " late starts, " << counts_.kept << " kept by the other job of its "
      << "command; " << counts_.sharedAtOnce << " ticks with both jobs of one command due, "
      << counts_.rangeErrorTicks << " range-error ticks; " << actions(Act::Start) - 1
      << " restarts, " << actions(Act::Sleep) << " sleeps, " << actions(Act::AppStarts)
      << " backup-app sessions, " << actions(Act::Schedule) << " job edits, "
      << actions(Act::StepClock) << " clock steps; heap in use ";
  if (heapByMonth_.empty() || !heapByMonth_.front())
    out << "not measured";
  else
    out << *heapByMonth_.front() << " -> " << *heapByMonth_.back() << " bytes";
  std::printf("%s\n", out.str().c_str());
}

TEST_F(YearOfTicks, EveryJobStartsOncePerScheduledDayThroughAYearOfClockTrouble) {
  const std::uint64_t seed = SeedFromEnvironment();
  const int days = DaysFromEnvironment();
  SCOPED_TRACE("HARBOVALE_YEAR_SEED=" + std::to_string(seed) +
               " HARBOVALE_YEAR_DAYS=" + std::to_string(days));
  RunYear(seed, days);
}

}  // namespace
