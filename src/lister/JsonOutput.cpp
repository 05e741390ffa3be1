#include <nlohmann/json.hpp>

#include "lister/Moments.h"
#include "lister/Outputs.h"
#include "platform/TextOutput.h"

namespace {

// Members in the order the schema lists them.
using json = nlohmann::ordered_json;

// Every text of the system goes out as UTF-8; what still is not (a byte the code page does
// not define) is replaced when the document is written.
json Text(const std::string& text) { return platform::SystemTextToUtf8(text); }

json OptionalText(const std::optional<std::string>& text) {
  return text ? Text(*text) : json(nullptr);
}

json Moment(DateTimeValue value, const platform::Clock& clock) {
  return {{"text", Text(MomentText(value))}, {"time", IsoMoment(value, clock)}};
}

json Files(const std::vector<std::string>& files) {
  json list = json::array();
  for (const std::string& file : files) list.push_back(Text(file));
  return list;
}

json Row(const SurveyRow& row, const platform::Clock& clock) {
  json item;
  item["file"] = Text(row.file);
  item["folder"] = row.folder;
  item["status"] = std::string(StatusWord(row.status));
  item["listed"] = row.listed;
  item["note"] = row.note.empty() ? json(nullptr) : Text(row.note);
  item["schedule"] = nullptr;
  if (row.schedule) {
    const ScheduleItems& s = *row.schedule;
    item["schedule"] = {{"do_schedule", Text(s.doSchedule)}, {"days", Text(s.days)},
                        {"time", Text(s.time)},              {"cmd", Text(s.cmd)},
                        {"words", Text(s.words)}};
  }
  item["last"] = nullptr;
  if (row.lastText)
    item["last"] = {{"text", Text(*row.lastText)},
                    {"time", row.last ? json(IsoMoment(*row.last, clock)) : json(nullptr)}};
  item["next"] = json::array();
  for (const DateTimeValue next : row.next) item["next"].push_back(Moment(next, clock));
  item["error"] = nullptr;
  if (row.error) {
    const JobError& e = *row.error;
    item["error"] = {{"text", Text(e.text)},
                     {"stage", std::string(StageWord(e.stage))},
                     {"today", e.today},
                     {"days", e.failingDays.empty() ? json(nullptr) : json(e.failingDays)},
                     {"holdsBack", Files(e.holdsBack)}};
  }
  item["heldBack"] = nullptr;
  if (row.heldBack)
    item["heldBack"] = {{"by", Text(row.heldBack->by)},
                        {"stage", std::string(StageWord(row.heldBack->stage))}};
  return item;
}

json Running(platform::MutexPresence presence) {
  switch (presence) {
    case platform::MutexPresence::Held: return true;
    case platform::MutexPresence::Absent: return false;
    case platform::MutexPresence::Unknown: break;
  }
  return nullptr;
}

}  // namespace

std::string JsonOutput(const Survey& survey, const SchedulerPresence& presence,
                       const std::string& program, const platform::Clock& clock) {
  json document;
  document["schema"] = kJsonSchemaVersion;
  document["program"] = program;
  document["now"] = IsoMoment(survey.Now(), clock);
  document["folder"] = Text(survey.exeDir);
  document["jobFolder"] = Text(survey.jobsDir);
  document["jobFolderFound"] = !survey.jobsFolderMissing;
  document["folderCopy"] = survey.folderCopy.empty() ? json(nullptr) : Text(survey.folderCopy);
  document["store"] = Text(survey.storePath);
  document["storeFound"] = survey.storeFound;
  document["storeError"] = OptionalText(survey.storeError);
  document["listingError"] = OptionalText(survey.listingError);
  document["files"] = json::array();
  for (const SurveyRow& row : survey.rows) document["files"].push_back(Row(row, clock));
  const SurveyCounts counts = survey.Counts();
  document["summary"] = {{"files", counts.files},
                         {"listed", counts.listed},
                         {"heldBack", counts.heldBack},
                         {"off", counts.off},
                         {"ignored", counts.ignored},
                         {"withErrors", counts.withErrors},
                         {"schedulerWouldQuit", survey.SchedulerWouldQuit()}};
  document["scheduler"] = {{"path", Text(presence.schedulerPath)},
                           {"running", Running(presence.running)},
                           {"registration", OptionalText(presence.registration)},
                           {"registeredHere", presence.registeredHere}};
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
