#include "lister/Outputs.h"
#include "lister/ReportText.h"
#include "lister/Shown.h"

std::string ListOutput(const Survey& survey, const SchedulerPresence& presence, bool all,
                       const platform::Clock& clock, SortOrder order) {
  // "  name:     value", the values of a block aligned; further lines of a field below its first.
  constexpr std::size_t kNameWidth = 12;
  std::string text;
  for (const ShownRow& shown : ShownRows(survey, clock, all, order)) {
    const SurveyRow& row = survey.rows[shown.row];
    text += row.file + (row.folder ? " (folder)" : "") + "\n";
    for (const DetailField& field : DetailFields(survey, shown.row, clock)) {
      const std::string label = field.name + ":";
      for (std::size_t i = 0; i < field.lines.size(); ++i)
        text += "  " + (i == 0 ? label : std::string()) +
                std::string(kNameWidth - (i == 0 ? label.size() : 0), ' ') + field.lines[i] + "\n";
    }
    text += "\n";
  }
  const auto notes = ErrorNotes(survey);
  for (const std::string& note : notes) text += note + "\n";
  if (!notes.empty()) text += "\n";
  for (const std::string& line : FooterLines(survey, presence, all)) text += line + "\n";
  return text;
}
