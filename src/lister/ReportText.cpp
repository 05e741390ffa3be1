#include "lister/ReportText.h"

#include "foundation/DateTimeText.h"
#include "lister/Moments.h"
#include "lister/ScheduleWords.h"

bool ShownByDefault(const SurveyRow& row) {
  return row.status != JobStatus::Off && row.status != JobStatus::Ignored;
}

std::string MomentText(DateTimeValue value) { return DateTimeText(value); }

namespace {

DateTimeValue Now(const Survey& survey) { return survey.today + survey.nowOfDay; }

std::string Joined(const std::vector<std::string>& files) {
  std::string text;
  for (const std::string& file : files) text += (text.empty() ? "" : ", ") + file;
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "1 file", "2 files".
std::string Count(int n, const std::string& noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string ErrorNote(const SurveyRow& row) {
  const JobError& error = *row.error;
  std::string note = row.file + ": " + Quoted(error.text);
  const bool some = !error.holdsBack.empty();
  const std::string held = Joined(error.holdsBack);
  if (error.stage == ErrorStage::Rebuild) {
    if (row.heldBack) return note + " (not reached while " + row.heldBack->by + " fails)";
    note += " The rebuild of the job list stops at this file";
    note += some ? ": " + held + (error.holdsBack.size() == 1 ? " is" : " are") +
                       " not listed and never start" + (error.holdsBack.size() == 1 ? "s" : "") +
                       "."
                 : ".";
    return note + " While the backup application runs, no job starts at all.";
  }
  const std::string cost =
      some ? ": " + held + (error.holdsBack.size() == 1 ? " does" : " do") + " not start" : "";
  if (error.failingDays.empty()) return note + " Every tick ends at this job" + cost + ".";
  return note + " Every tick on " + error.failingDays + " ends at this job" +
         (error.today ? " (today is one of them)" : "") + cost + (some ? " on those days." : ".");
}

}  // namespace

std::string LeftText(const Survey& survey, DateTimeValue next, const platform::Clock& clock) {
  const DateTimeValue span = UtcValue(next, clock) - UtcValue(Now(survey), clock);
  return span <= 0 ? "now" : SpanInWords(span);
}

std::string PassedText(const Survey& survey, DateTimeValue last, const platform::Clock& clock) {
  const DateTimeValue span = UtcValue(Now(survey), clock) - UtcValue(last, clock);
  return span < 0 ? "in " + SpanInWords(span) : SpanInWords(span);
}

std::vector<std::string> ErrorNotes(const Survey& survey) {
  std::vector<std::string> notes;
  if (survey.storeError)
    notes.push_back(StoreFileName + std::string(": ") + Quoted(*survey.storeError) +
                    " The scheduler cannot start while this lasts.");
  if (survey.listingError)
    notes.push_back("Backup Jobs: " + Quoted(*survey.listingError) +
                    " The rebuild fails before the first file: no job is listed.");
  for (const SurveyRow& row : survey.rows)
    if (row.error) notes.push_back(ErrorNote(row));
  return notes;
}

std::vector<std::string> FooterLines(const Survey& survey, const SchedulerPresence& presence,
                                     bool all) {
  std::vector<std::string> lines;
  lines.push_back("As of " + MomentText(Now(survey)) + ", in " + Quoted(survey.exeDir) + ".");
  if (survey.jobsFolderMissing) {
    lines.push_back("No job folder " + Quoted(survey.jobsDir) + ".");
  } else {
    const SurveyCounts c = survey.Counts();
    std::string counts = Count(c.files, "file") + ": " + Count(c.listed, "job") +
                         " listed by the scheduler, " + std::to_string(c.heldBack) +
                         " held back, " + std::to_string(c.off) + " off, " +
                         std::to_string(c.ignored) + " ignored; " + std::to_string(c.withErrors) +
                         " with errors.";
    if (!all && c.off + c.ignored > 0)
      counts += " Off and ignored files are hidden (--all shows them).";
    lines.push_back(counts);
  }
  if (survey.SchedulerWouldQuit())
    lines.push_back(
        "No job is scheduled: at its next rebuild the scheduler removes its log-on registration "
        "and quits.");
  switch (presence.running) {
    case platform::MutexPresence::Held: lines.push_back("Scheduler: running."); break;
    case platform::MutexPresence::Absent: lines.push_back("Scheduler: not running."); break;
    case platform::MutexPresence::Unknown: lines.push_back("Scheduler: cannot tell whether it runs."); break;
  }
  if (!presence.registration)
    lines.push_back("Start at log-on: not registered.");
  else if (presence.registeredHere)
    lines.push_back("Start at log-on: registered, for the scheduler in this folder.");
  else
    lines.push_back("Start at log-on: registered for another program: " +
                    Quoted(*presence.registration) + ".");
  return lines;
}
