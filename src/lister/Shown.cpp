#include "lister/Shown.h"

#include <algorithm>
#include <optional>

#include "lister/Moments.h"
#include "lister/Phrases.h"
#include "platform/TextCompare.h"

std::string_view ColumnTitle(Column column) {
  constexpr std::array<std::string_view, kColumnCount> kTitles{
      "NEXT", "LEFT", "LAST", "PASSED", "JOB", "STATUS", "SCHEDULE", "COMMAND"};
  return kTitles[static_cast<std::size_t>(column)];
}

namespace {

std::string& Cell(RowCells& cells, Column column) {
  return cells[static_cast<std::size_t>(column)];
}

// "1 file", "2 files".
std::string Count(int n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// The groups of the default order: jobs that start, jobs that will not, off and ignored files.
int Group(const SurveyRow& row) {
  if (!row.next.empty()) return 0;
  return ShownByDefault(row) ? 1 : 2;
}

template <typename T>
int Ordered(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Present values before absent ones, present ones by `compare`.
template <typename T, typename Compare>
int PresentFirst(const std::optional<T>& a, const std::optional<T>& b, Compare compare) {
  if (a && b) return compare(*a, *b);
  return Ordered(!a, !b);
}

// A text as rows are ordered by it: with letter case ignored first, then exactly. Worked out
// once per row where many rows are sorted by it.
struct TextKey {
  std::string folded;
  std::string_view text;
};

TextKey TextKeyOf(std::string_view text) { return {platform::CaseFoldKey(text), text}; }

int Ordered(const TextKey& a, const TextKey& b) {
  if (const int folded = Ordered(a.folded, b.folded)) return folded;
  return Ordered(a.text, b.text);
}

int TextOrder(const std::string& a, const std::string& b) {
  return Ordered(TextKeyOf(a), TextKeyOf(b));
}

// A row's next start as rows are ordered by it: rows with one first, the soonest first.
struct NextKey {
  bool none;
  DateTimeValue next;
};

NextKey NextKeyOf(const SurveyRow& row) {
  return {row.next.empty(), row.next.empty() ? 0 : row.next.front()};
}

int Ordered(const NextKey& a, const NextKey& b) {
  if (const int none = Ordered(a.none, b.none)) return none;
  return a.none ? 0 : Ordered(a.next, b.next);
}

std::optional<std::string> NonEmpty(const std::string& text) {
  return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

}  // namespace

namespace {

RowCells CellsAt(const Survey& survey, std::size_t index, DateTimeValue nowUtc,
                 const platform::Clock& clock) {
  const SurveyRow& row = survey.rows.at(index);
  RowCells cells;
  cells.fill("-");
  if (!row.next.empty()) {
    Cell(cells, Column::Next) = MomentText(row.next.front());
    Cell(cells, Column::Left) = LeftText(nowUtc, row.next.front(), clock);
  }
  if (row.heldBack && row.next.empty()) Cell(cells, Column::Left) = "held back";
  if (row.lastText) Cell(cells, Column::Last) = *row.lastText;
  if (row.last) Cell(cells, Column::Passed) = PassedText(nowUtc, *row.last, clock);
  Cell(cells, Column::Job) = row.file;
  Cell(cells, Column::Status) = StatusWord(row.status);
  if (row.schedule) {
    Cell(cells, Column::Schedule) = row.schedule->words;
    if (!row.schedule->cmd.empty()) Cell(cells, Column::Command) = row.schedule->cmd;
  }
  return cells;
}

}  // namespace

bool ShownByDefault(const SurveyRow& row) {
  return row.status != JobStatus::Off && row.status != JobStatus::Ignored;
}

int CompareByColumn(const Survey& survey, std::size_t rowA, std::size_t rowB, Column column) {
  const SurveyRow& a = survey.rows.at(rowA);
  const SurveyRow& b = survey.rows.at(rowB);
  const auto moments = [](DateTimeValue x, DateTimeValue y) { return Ordered(x, y); };
  const auto texts = [](const std::string& x, const std::string& y) { return TextOrder(x, y); };
  switch (column) {
    case Column::Next:
    case Column::Left: {
      if (const int next = Ordered(NextKeyOf(a), NextKeyOf(b))) return next;
      // Without a next start: the held back ones (LEFT says so) together.
      return column == Column::Left ? Ordered(!a.heldBack, !b.heldBack) : 0;
    }
    case Column::Last:
      if (const int last = PresentFirst(a.last, b.last, moments)) return last;
      return PresentFirst(a.lastText, b.lastText, texts);  // unreadable texts as texts
    case Column::Passed:  // the shortest span first: the latest start
      return PresentFirst(a.last, b.last,
                          [](DateTimeValue x, DateTimeValue y) { return Ordered(y, x); });
    case Column::Job:
      return TextOrder(a.file, b.file);
    case Column::Status:
      return TextOrder(std::string(StatusWord(a.status)), std::string(StatusWord(b.status)));
    case Column::Schedule:
      return PresentFirst(a.schedule ? NonEmpty(a.schedule->words) : std::nullopt,
                          b.schedule ? NonEmpty(b.schedule->words) : std::nullopt, texts);
    case Column::Command:
      return PresentFirst(a.schedule ? NonEmpty(a.schedule->cmd) : std::nullopt,
                          b.schedule ? NonEmpty(b.schedule->cmd) : std::nullopt, texts);
  }
  return 0;
}

std::vector<ShownRow> ShownRows(const Survey& survey, const platform::Clock& clock, bool all,
                                SortOrder order) {
  std::vector<std::size_t> rows;
  rows.reserve(survey.rows.size());
  for (std::size_t r = 0; r < survey.rows.size(); ++r)
    if (all || ShownByDefault(survey.rows[r])) rows.push_back(r);
  // Each row's sort key worked out once, for the order CompareByColumn gives; ties keep the
  // listing order.
  switch (order) {
    case SortOrder::Next: {
      struct Key {
        int group;
        NextKey next;
        std::size_t row;
      };
      std::vector<Key> keys;
      keys.reserve(rows.size());
      for (const std::size_t r : rows)
        keys.push_back({Group(survey.rows[r]), NextKeyOf(survey.rows[r]), r});
      std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.group != b.group) return a.group < b.group;
        if (const int next = Ordered(a.next, b.next)) return next < 0;
        return a.row < b.row;
      });
      for (std::size_t i = 0; i < keys.size(); ++i) rows[i] = keys[i].row;
      break;
    }
    case SortOrder::File: {
      std::vector<TextKey> keys(survey.rows.size());
      for (const std::size_t r : rows) keys[r] = TextKeyOf(survey.rows[r].file);
      std::stable_sort(rows.begin(), rows.end(),
                       [&](std::size_t a, std::size_t b) { return Ordered(keys[a], keys[b]) < 0; });
      break;
    }
    case SortOrder::Listing:
      break;
  }
  std::vector<ShownRow> shown;
  shown.reserve(rows.size());
  for (const std::size_t r : rows) shown.push_back({r, CellsAt(survey, r, survey.nowUtc, clock)});
  return shown;
}

std::vector<DetailField> DetailFields(const Survey& survey, std::size_t index,
                                      const platform::Clock& clock) {
  const SurveyRow& row = survey.rows.at(index);
  std::vector<DetailField> fields;
  fields.push_back({"status", {std::string(StatusWord(row.status))}});
  if (row.schedule) {
    const ScheduleItems& s = *row.schedule;
    fields.push_back({"schedule",
                      {s.words + "  (do_schedule=" + s.doSchedule + ", days=" + s.days +
                       ", time=" + s.time + ")"}});
    fields.push_back({"command", {s.cmd.empty() ? "-" : s.cmd}});
  }
  if (row.lastText) {
    // A last start after the moment looked at (the store of a later day, or --now in the
    // past) reads "in ...", which takes no "ago".
    std::string when = "unreadable";
    if (row.last) {
      when = PassedText(survey.nowUtc, *row.last, clock);
      if (!when.starts_with("in ")) when += " ago";
    }
    fields.push_back({"last", {*row.lastText + "  (" + when + ")"}});
  }
  if (!row.next.empty() || row.listed) {
    DetailField next{"next", {}};
    for (const DateTimeValue moment : row.next) {
      const std::string left = LeftText(survey.nowUtc, moment, clock);
      next.lines.push_back(MomentText(moment) + "  (" + (left == "now" ? left : "in " + left) +
                           ")");
    }
    if (next.lines.empty()) next.lines.push_back("-");
    fields.push_back(std::move(next));
  }
  if (row.error) {
    std::string what = Quoted(row.error->text) + " (" + std::string(StageWord(row.error->stage));
    if (!row.error->failingDays.empty()) what += ", on " + row.error->failingDays;
    fields.push_back({"error", {what + ")"}});
    if (!row.error->holdsBack.empty())
      fields.push_back({"holds back", {Joined(row.error->holdsBack)}});
  }
  if (row.heldBack)
    fields.push_back(
        {"held back",
         {"by " + row.heldBack->by + " (" + std::string(StageWord(row.heldBack->stage)) + ")"}});
  if (!row.note.empty()) fields.push_back({"note", {row.note}});
  return fields;
}

std::vector<std::string> StatusLines::Lines() const {
  std::vector<std::string> lines;
  for (const std::string* line : {&moment, &files, &quits, &running, &logOn, &store})
    if (!line->empty()) lines.push_back(*line);
  return lines;
}

StatusLines StatusOf(const Survey& survey, const SchedulerPresence& presence) {
  StatusLines status;
  status.moment = "As of " + MomentText(survey.Now()) + ", in " + Quoted(survey.exeDir) + ".";
  if (survey.jobsFolderMissing) {
    status.files = "No job folder " + Quoted(survey.jobsDir) + ".";
  } else {
    const SurveyCounts c = survey.Counts();
    status.files = Count(c.files, "file") + ": " + Count(c.listed, "job") +
                   " listed by the scheduler, " + std::to_string(c.heldBack) + " held back, " +
                   std::to_string(c.off) + " off, " + std::to_string(c.ignored) + " ignored; " +
                   std::to_string(c.withErrors) + " with errors.";
  }
  // Where the folder refuses this user, the store may be the user's copy.
  status.store = "Store: " + Quoted(survey.storePath);
  if (!survey.storeFound)
    status.store += ", not written yet";
  else if (!survey.folderCopy.empty() && survey.storePath.starts_with(survey.folderCopy))
    status.store += " (this user's copy of the folder)";
  status.store += ".";
  if (survey.SchedulerWouldQuit())
    status.quits =
        "No job is scheduled: at its next rebuild the scheduler removes its log-on registration "
        "and quits.";
  switch (presence.running) {
    case platform::MutexPresence::Held:
      status.running = "Scheduler: running.";
      break;
    case platform::MutexPresence::Absent:
      status.running = "Scheduler: not running.";
      break;
    case platform::MutexPresence::Unknown:
      status.running = "Scheduler: cannot tell whether it runs.";
      break;
  }
  if (!presence.registration)
    status.logOn = "Start at log-on: not registered.";
  else if (presence.registeredHere)
    status.logOn = "Start at log-on: registered, for the scheduler in this folder.";
  else
    status.logOn =
        "Start at log-on: registered for another program: " + Quoted(*presence.registration) + ".";
  return status;
}

std::vector<std::string> StatusTexts(const Survey& survey, const SchedulerPresence& presence) {
  return StatusOf(survey, presence).Lines();
}
