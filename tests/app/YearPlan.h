#pragma once
// The course of the simulated year for the year-long test. "True" time runs on evenly, and
// the one-second timer follows it; the local wall time that the scheduler reads is true
// time plus an offset that moves when summer time begins or ends and when someone sets the
// clock. On the way, seeded episodes happen to the scheduler: restarts, sleep, the backup
// application coming and going (and editing a job: scheduling on or off, other days), the
// clock stepped back ten minutes or forward an hour. Most episodes aim at a job's window, some at
// any moment. Episodes never overlap, and each ends with the program running and the machine awake.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "ScheduleModel.h"

namespace year {

// splitmix64: the same numbers on every platform and standard library, so a seed replays.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A whole number in [low, high].
  std::int64_t Between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }

 private:
  std::uint64_t state_;
};

// Local time = true time + offset. Summer time begins at 02:00 local (to 03:00) and ends at
// 02:00 summer time (back to 01:00); both are reached by local time, wherever someone has
// set the clock.
class WallClock {
 public:
  WallClock(std::int64_t springForward, std::int64_t fallBack)
      : changes_{springForward, fallBack} {}

  std::int64_t offset = 0;

  std::int64_t Local(std::int64_t trueTime) const { return trueTime + offset; }
  bool Summer() const { return done_ == 1; }
  // True time of the next change of summer time, or never.
  std::int64_t NextChange() const {
    return done_ < 2 ? changes_[done_] - offset : std::numeric_limits<std::int64_t>::max();
  }
  void Change(std::int64_t at) {
    offset += done_ == 0 ? kHour : -kHour;
    changedAt[done_++] = at;
  }
  // True times at which summer time began and ended (max while still to come).
  std::int64_t changedAt[2] = {std::numeric_limits<std::int64_t>::max(),
                               std::numeric_limits<std::int64_t>::max()};

 private:
  std::int64_t changes_[2];
  int done_ = 0;
};

enum class Act { Start, Stop, Sleep, Wake, AppStarts, AppEnds, Schedule, StepClock, Nothing };

struct Action {
  std::int64_t at;  // true time
  Act what;
  // StepClock: milliseconds added to local time. Schedule, for the job that the backup
  // application edits: 0 switches its scheduling off, 1 on with its first `days`, 2 on with
  // its second.
  std::int64_t amount = 0;
};

// A piece of the year that is always played out, whatever the seed: a guarded stretch of
// local time in which no random episode falls, and the actions it holds.
struct FixedPiece {
  const char* name;
  std::int64_t from, to;  // local time
  // Its actions, in true time, given the clock's offset when it is planned.
  std::function<std::vector<Action>(Rng&, std::int64_t offset)> actions;
};

class YearPlan {
 public:
  // `switched`: the job that the backup application edits.
  YearPlan(std::uint64_t seed, const std::vector<Job>& jobs, int switched, std::int64_t firstTrue,
           std::vector<FixedPiece> pieces)
      : rng_(seed), jobs_(jobs), switched_(switched), pieces_(std::move(pieces)) {
    const std::int64_t start = firstTrue + rng_.Between(1, 999);
    pending_.push_back({start, Act::Start});
    lastEnd_ = start;
  }

  // The next action; the next episode is planned once the last one has been taken.
  const Action& Peek(const WallClock& wall) {
    if (pending_.empty()) PlanNext(wall);
    return pending_.front();
  }
  void Pop() {
    lastEnd_ = pending_.front().at;
    pending_.pop_front();
  }

 private:
  // A moment in true time with its own milliseconds (1 to 999), so that a restart gives the
  // timer a new phase.
  std::int64_t Jitter(std::int64_t t) { return t - (t % kSecond) + rng_.Between(1, 999); }

  // Local time of the next window on a day the job is flagged for, from `local` on.
  std::int64_t NextWindow(const Job& job, std::int64_t local) {
    std::int64_t day = DayOf(local);
    if (local > day * kDay + job.time) ++day;
    for (int tries = 0; tries < 40 && !job.FlaggedOn(day); ++tries) ++day;
    return day * kDay + job.time;
  }

  void PlanNext(const WallClock& wall) {
    const std::int64_t begin = lastEnd_ + rng_.Between(1 * kHour, 60 * kHour);
    std::vector<Action> episode = RandomEpisode(begin, wall.offset);
    const std::int64_t endLocal = wall.Local(episode.back().at);
    // A fixed piece comes first when the random episode would reach into it.
    while (next_ < pieces_.size() && pieces_[next_].to < wall.Local(lastEnd_)) ++next_;
    if (next_ < pieces_.size() && endLocal + kHour >= pieces_[next_].from) {
      const FixedPiece& piece = pieces_[next_++];
      episode = piece.actions(rng_, wall.offset);
      episode.push_back({piece.to - wall.offset, Act::Nothing});
    }
    pending_.assign(episode.begin(), episode.end());
  }

  std::vector<Action> RandomEpisode(std::int64_t begin, std::int64_t offset) {
    const auto count = static_cast<std::int64_t>(jobs_.size());
    const Job& job = jobs_[static_cast<std::size_t>(rng_.Between(0, count - 1))];
    // The window aimed at, in true time, far enough ahead for the actions placed before it.
    const std::int64_t w = NextWindow(job, begin + 3 * kHour + offset) - offset;
    switch (rng_.Between(0, 6)) {
      case 0: {  // restart near a window: before it, inside it or just after
        const std::int64_t stop = Jitter(w + rng_.Between(-90, 290) * kSecond);
        return {{stop, Act::Stop}, {Jitter(stop + rng_.Between(0, 150) * kSecond), Act::Start}};
      }
      case 1: {  // restart at any moment, down for up to ten minutes
        const std::int64_t stop = Jitter(begin);
        return {{stop, Act::Stop}, {Jitter(stop + rng_.Between(0, 600) * kSecond), Act::Start}};
      }
      case 2: {  // asleep across a window: awake inside it, or long after
        const std::int64_t sleep = Jitter(w - rng_.Between(60, 3 * 3600) * kSecond);
        const std::int64_t wake = rng_.Chance(50)
                                      ? w + rng_.Between(1, 299) * kSecond
                                      : w + kWindow + rng_.Between(0, 5 * 3600) * kSecond;
        return {{sleep, Act::Sleep}, {Jitter(wake), Act::Wake}};
      }
      case 3: {  // asleep for hours at any moment
        const std::int64_t sleep = Jitter(begin);
        return {{sleep, Act::Sleep},
                {Jitter(sleep + rng_.Between(600, 9 * 3600) * kSecond), Act::Wake}};
      }
      case 4: {  // the backup application comes and goes, often editing a job
        const Job& switched = jobs_[static_cast<std::size_t>(switched_)];
        const std::int64_t near = NextWindow(switched, begin + 3 * kHour + offset) - offset;
        const std::int64_t from =
            Jitter(rng_.Chance(50) ? near - rng_.Between(0, 300) * kSecond : begin);
        const std::int64_t to = Jitter(from + rng_.Between(15, 400) * kSecond);
        std::vector<Action> episode{{from, Act::AppStarts}};
        for (int n = static_cast<int>(rng_.Between(0, 2)); n > 0; --n)
          episode.push_back(
              {from + rng_.Between(0, to - from - 1), Act::Schedule, rng_.Between(0, 2)});
        std::sort(episode.begin() + 1, episode.end(),
                  [](const Action& a, const Action& b) { return a.at < b.at; });
        episode.push_back({to, Act::AppEnds});
        return episode;
      }
      case 5:  // the clock set back ten minutes, mostly inside a window
        return {{Jitter(rng_.Chance(60) ? w + rng_.Between(1, 299) * kSecond : begin),
                 Act::StepClock, -10 * kMinute}};
      default:  // the clock set forward an hour, mostly just before a window
        return {{Jitter(rng_.Chance(60) ? w - rng_.Between(1, 3300) * kSecond : begin),
                 Act::StepClock, kHour}};
    }
  }

  Rng rng_;
  const std::vector<Job>& jobs_;
  int switched_;
  std::vector<FixedPiece> pieces_;
  std::size_t next_ = 0;
  std::deque<Action> pending_;
  std::int64_t lastEnd_;
};

}  // namespace year
