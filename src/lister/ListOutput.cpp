#include "lister/Outputs.h"
#include "lister/ReportText.h"

namespace {

// "  name:     value", the values of a block aligned; an empty name continues the field above.
void Field(std::string& text, const std::string& name, const std::string& value) {
  constexpr std::size_t kNameWidth = 12;
  const std::string label = name.empty() ? "" : name + ":";
  text += "  " + label + std::string(kNameWidth - label.size(), ' ') + value + "\n";
}

}  // namespace

std::string ListOutput(const Survey& survey, const SchedulerPresence& presence, bool all,
                       const platform::Clock& clock) {
  std::string text;
  for (const SurveyRow& row : survey.rows) {
    if (!all && !ShownByDefault(row)) continue;
    text += row.file + (row.folder ? " (folder)" : "") + "\n";
    Field(text, "status", std::string(StatusWord(row.status)));
    if (row.schedule) {
      const ScheduleItems& s = *row.schedule;
      Field(text, "schedule", s.words + "  (do_schedule=" + s.doSchedule + ", days=" + s.days +
                                  ", time=" + s.time + ")");
      Field(text, "command", s.cmd.empty() ? "-" : s.cmd);
    }
    if (row.lastText)
      Field(text, "last", *row.lastText +
                              (row.last ? "  (" + PassedText(survey, *row.last, clock) + " ago)"
                                        : std::string("  (unreadable)")));
    for (std::size_t i = 0; i < row.next.size(); ++i) {
      const std::string left = LeftText(survey, row.next[i], clock);
      Field(text, i == 0 ? "next" : "", MomentText(row.next[i]) + "  (" +
                                           (left == "now" ? left : "in " + left) + ")");
    }
    if (row.listed && row.next.empty()) Field(text, "next", "-");
    if (row.error) {
      std::string what = "\"" + row.error->text + "\" (" + std::string(StageWord(row.error->stage));
      if (!row.error->failingDays.empty()) what += ", on " + row.error->failingDays;
      Field(text, "error", what + ")");
      if (!row.error->holdsBack.empty()) {
        std::string held;
        for (const std::string& file : row.error->holdsBack) held += (held.empty() ? "" : ", ") + file;
        Field(text, "holds back", held);
      }
    }
    if (row.heldBack)
      Field(text, "held back", "by " + row.heldBack->by + " (" +
                                   std::string(StageWord(row.heldBack->stage)) + ")");
    if (!row.note.empty()) Field(text, "note", row.note);
    text += "\n";
  }
  const auto notes = ErrorNotes(survey);
  for (const std::string& note : notes) text += note + "\n";
  if (!notes.empty()) text += "\n";
  for (const std::string& line : FooterLines(survey, presence, all)) text += line + "\n";
  return text;
}
