#include "lister/ReportText.h"

#include "lister/Phrases.h"
#include "lister/Shown.h"

namespace {

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
  StatusLines status = StatusOf(survey, presence);
  const SurveyCounts c = survey.Counts();
  if (!all && c.off + c.ignored > 0)
    status.files += " Off and ignored files are hidden (--all shows them).";
  return status.Lines();
}
