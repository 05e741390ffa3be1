#pragma once
// What the scheduler has to do on one tick, worked out for the year-long test from the
// scheduler's rules on their own terms, not from its code: which jobs a rebuild lists and in
// which order, where a day beyond a job's `days` text ends the tick, which listed jobs are
// due, and what the last-run store holds afterwards. Moments are whole milliseconds of local
// wall time since 1970-01-01, so every rule is an exact comparison of integers.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace year {

inline constexpr std::int64_t kSecond = 1000;
inline constexpr std::int64_t kMinute = 60 * kSecond;
inline constexpr std::int64_t kHour = 60 * kMinute;
inline constexpr std::int64_t kDay = 24 * kHour;
inline constexpr std::int64_t kWindow = 5 * kMinute;  // a job may start up to five minutes late

inline std::int64_t DayOf(std::int64_t moment) {
  return moment >= 0 ? moment / kDay : -((-moment + kDay - 1) / kDay);
}

inline std::int64_t DayNumber(int year, unsigned month, unsigned day) {
  using namespace std::chrono;
  return sys_days{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}}
      .time_since_epoch()
      .count();
}

inline std::int64_t Moment(int year, unsigned month, unsigned day, int hour = 0, int minute = 0,
                           int second = 0) {
  return DayNumber(year, month, day) * kDay + hour * kHour + minute * kMinute + second * kSecond;
}

// A day's flag position: the weekday from Monday = 1 for fewer than 8 flags, else the day of
// the month.
inline std::size_t FlagPosition(const std::string& days, std::int64_t day) {
  using namespace std::chrono;
  const sys_days date{std::chrono::days{day}};
  if (days.size() < 8) return weekday{date}.iso_encoding();
  return static_cast<unsigned>(year_month_day{date}.day());
}

struct Job {
  std::string file;      // name in "Backup Jobs"
  std::string days;      // `days` flags
  std::string timeText;  // `time` as the job file writes it
  std::int64_t time;     // the time of day it stands for
  std::string cmd;
  bool scheduled = true;  // `do_schedule` is "1"

  // The job's line 23.
  std::string ScheduleLine() const {
    return std::string("do_schedule=") + (scheduled ? "1" : "0") + ",days=" + days +
           ",time=" + timeText + ",cmd=" + cmd;
  }
  bool HasFlagFor(std::int64_t day) const { return FlagPosition(days, day) <= days.size(); }
  bool FlaggedOn(std::int64_t day) const {
    return HasFlagFor(day) && days[FlagPosition(days, day) - 1] == '1';
  }
};

// What became of one job on a tick.
enum class Seen : unsigned char {
  NotLookedAt,  // not listed, or the tick ended before reaching it
  Outside,      // not flagged today, or outside its window
  Started,      // flagged, inside its window, and started
  AlreadyKept,  // flagged, inside its window, but the store holds its moment or a later one
};

class ScheduleModel {
 public:
  explicit ScheduleModel(std::vector<Job> jobs) : jobs(std::move(jobs)) {
    seen_.resize(this->jobs.size());
  }

  std::vector<Job> jobs;
  // The job files in the order the folder listing gives them (indexes into `jobs`).
  std::vector<int> listingOrder;

  struct StoreLine {
    std::string name;     // the command line, with '=' kept as '|'
    std::int64_t moment;  // scheduled moment of its last start
  };

  // A new process: nothing listed until its first tick, which always rebuilds; the store is
  // what the file holds, and the file holds every recorded start.
  void ProgramStarts() {
    listed_.clear();
    countdown_ = 1;
  }

  struct Tick {
    std::vector<int> started;  // jobs started, in the order of starting
    bool rangeError = false;   // the tick ended at a job without a flag for today
  };

  void OnTick(std::int64_t local, bool backupAppRuns, Tick& out) {
    out.started.clear();
    out.rangeError = false;
    std::fill(seen_.begin(), seen_.end(), Seen::NotLookedAt);

    // Job discovery: rebuild while the backup application runs and on the ten ticks after.
    if (backupAppRuns) {
      countdown_ = 10;
      Rebuild();
    } else if (countdown_ > 0) {
      --countdown_;
      Rebuild();
    }

    // Schedule check, job by job in list order.
    const std::int64_t today = DayOf(local);
    const std::int64_t now = local - today * kDay;
    for (const int j : listed_) {
      const Job& job = jobs[static_cast<std::size_t>(j)];
      if (!job.HasFlagFor(today)) {
        out.rangeError = true;
        return;
      }
      const std::int64_t moment = today * kDay + job.time;
      const bool inside = job.FlaggedOn(today) && now > job.time && now < job.time + kWindow;
      Seen& seen = seen_[static_cast<std::size_t>(j)];
      seen = Seen::Outside;
      if (!inside) continue;
      StoreLine* line = Find(job.cmd);
      const std::int64_t last = line ? line->moment : kDefaultLastRun;
      if (last >= moment) {
        seen = Seen::AlreadyKept;
        continue;
      }
      if (line) {
        *line = {StoreName(job.cmd), moment};
      } else {
        store_.push_back({StoreName(job.cmd), moment});
      }
      seen = Seen::Started;
      out.started.push_back(j);
    }
  }

  Seen SeenOnLastTick(int job) const { return seen_[static_cast<std::size_t>(job)]; }
  const std::vector<int>& Listed() const { return listed_; }
  const std::vector<StoreLine>& Store() const { return store_; }

  // The store keeps a command line under its own text, '=' written as '|' (a line's name
  // ends at its first '='), and finds it again ignoring letter case.
  static std::string StoreName(std::string cmd) {
    std::replace(cmd.begin(), cmd.end(), '=', '|');
    return cmd;
  }
  StoreLine* Find(const std::string& cmd) {
    const std::string name = StoreName(cmd);
    for (StoreLine& line : store_)
      if (SameIgnoringCase(line.name, name)) return &line;
    return nullptr;
  }

 private:
  static inline const std::int64_t kDefaultLastRun = DayNumber(1990, 1, 1) * kDay;

  static bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  }

  void Rebuild() {
    listed_.clear();
    for (const int j : listingOrder)
      if (jobs[static_cast<std::size_t>(j)].scheduled) listed_.push_back(j);
  }

  std::vector<int> listed_;
  int countdown_ = 1;
  std::vector<StoreLine> store_;
  std::vector<Seen> seen_;
};

}  // namespace year
