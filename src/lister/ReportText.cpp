#include "lister/ReportText.h"

#include "foundation/DateTimeText.h"
#include "lister/Moments.h"
#include "lister/ScheduleWords.h"
#include "lister/Shown.h"

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

DateTimeValue NowUtc(const Survey& survey, const platform::Clock& clock) {
  return UtcValue(Now(survey), clock);
}

std::string LeftText(DateTimeValue nowUtc, DateTimeValue next, const platform::Clock& clock) {
  const DateTimeValue span = UtcValue(next, clock) - nowUtc;
  return span <= 0 ? "now" : SpanInWords(span);
}

std::string PassedText(DateTimeValue nowUtc, DateTimeValue last, const platform::Clock& clock) {
  const DateTimeValue span = nowUtc - UtcValue(last, clock);
  return span < 0 ? "in " + SpanInWords(span) : SpanInWords(span);
}

std::string LeftText(const Survey& survey, DateTimeValue next, const platform::Clock& clock) {
  return LeftText(NowUtc(survey, clock), next, clock);
}

std::string PassedText(const Survey& survey, DateTimeValue last, const platform::Clock& clock) {
  return PassedText(NowUtc(survey, clock), last, clock);
}

std::vector<std::string> ErrorNotes(const Survey& survey) {
  std::vector<std::string> notes;
  if (survey.storeError)
    notes.push_back(StoreFileName + std::string(": ") + Quoted(*survey.storeError) +
                    " The scheduler cannot start while this lasts.");
  if (survey.listingError)
    notes.push_back(kJobsFolderName + std::string(": ") + Quoted(*survey.listingError) +
                    " The rebuild fails before the first file: no job is listed.");
  for (const SurveyRow& row : survey.rows)
    if (row.error) notes.push_back(ErrorNote(row));
  return notes;
}

std::vector<std::string> FooterLines(const Survey& survey, const SchedulerPresence& presence,
                                     bool all) {
  std::vector<std::string> lines = StatusTexts(survey, presence);
  const SurveyCounts c = survey.Counts();
  // The counts follow the first line whenever there are files.
  if (!all && c.off + c.ignored > 0 && lines.size() > 1)
    lines[1] += " Off and ignored files are hidden (--all shows them).";
  return lines;
}
