#include "lister/Shown.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Installation.h"
#include "lister/Outputs.h"

namespace {

// The JOB cells of the rows shown, in their order.
std::vector<std::string> Files(const std::vector<ShownRow>& rows) {
  std::vector<std::string> files;
  for (const ShownRow& row : rows)
    files.push_back(row.cells[static_cast<std::size_t>(Column::Job)]);
  return files;
}

std::size_t IndexOf(const Survey& survey, const std::string& file) {
  for (std::size_t r = 0; r < survey.rows.size(); ++r)
    if (survey.rows[r].file == file) return r;
  ADD_FAILURE() << file;
  return 0;
}

// Wednesday 2026-12-09 09:00: starts at 09:30 and 14:30 today, 08:00 tomorrow, none at all,
// an off and an ignored file.
class ShownRowsTest : public ::testing::Test {
 protected:
  ShownRowsTest() {
    installation.Job("a-later.hvj", Scheduled("1111111", "14:30:00", "a.cmd"));
    installation.Job("b-tomorrow.hvj", Scheduled("0001000", "08:00:00", "b.cmd"));
    installation.Job("c-never.hvj", Scheduled("0000000", "10:00:00", "c.cmd"));
    installation.Job("d-soon.hvj", Scheduled("1111111", "09:30:00", "d.cmd"));
    installation.Job("f-off.hvj", "do_schedule=0");
    installation.Job("G.HVJ", Scheduled("1111111", "09:00:00", "g.cmd"));
    installation.Store("d.cmd=12/8/2026 9:30:00 AM\r\nb.cmd=12/3/2026 8:00:00 AM\r\n");
    survey = installation.Look(clock);
  }
  const Installation installation;
  const FakeClock clock{2026, 12, 9, 9, 0, 0};
  Survey survey;
};

TEST_F(ShownRowsTest, SoonestStartFirstThenJobsThatWillNotStartThenOffAndIgnored) {
  std::vector<std::string> expected{"d-soon.hvj", "a-later.hvj", "b-tomorrow.hvj", "c-never.hvj"};
  EXPECT_EQ(Files(ShownRows(survey, clock, false, SortOrder::Next)), expected);
  // Off and ignored files last, among themselves in the scheduler's order.
  for (const SurveyRow& row : survey.rows)
    if (row.file == "f-off.hvj" || row.file == "G.HVJ") expected.push_back(row.file);
  EXPECT_EQ(Files(ShownRows(survey, clock, true, SortOrder::Next)), expected);
}

TEST_F(ShownRowsTest, ByFileNameOrInTheSchedulersOwnOrder) {
  EXPECT_EQ(Files(ShownRows(survey, clock, true, SortOrder::File)),
            (std::vector<std::string>{"a-later.hvj", "b-tomorrow.hvj", "c-never.hvj", "d-soon.hvj",
                                      "f-off.hvj", "G.HVJ"}));
  std::vector<std::string> listing;
  for (const SurveyRow& row : survey.rows) listing.push_back(row.file);
  EXPECT_EQ(Files(ShownRows(survey, clock, true, SortOrder::Listing)), listing);
}

TEST_F(ShownRowsTest, ColumnsCompareMomentsAsMomentsAndPutMissingValuesLast) {
  const auto order = [&](Column column) {
    std::vector<std::size_t> rows;
    for (const char* file : {"a-later.hvj", "b-tomorrow.hvj", "c-never.hvj", "d-soon.hvj"})
      rows.push_back(IndexOf(survey, file));
    std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
      return CompareByColumn(survey, a, b, column) < 0;
    });
    std::vector<std::string> files;
    for (const std::size_t r : rows) files.push_back(survey.rows[r].file);
    return files;
  };
  EXPECT_EQ(order(Column::Next), (std::vector<std::string>{"d-soon.hvj", "a-later.hvj",
                                                           "b-tomorrow.hvj", "c-never.hvj"}));
  // 12/8 before 12/3 as PASSED (the shorter span), 12/3 before 12/8 as LAST; none after both.
  EXPECT_EQ(order(Column::Passed), (std::vector<std::string>{"d-soon.hvj", "b-tomorrow.hvj",
                                                             "a-later.hvj", "c-never.hvj"}));
  EXPECT_EQ(order(Column::Last), (std::vector<std::string>{"b-tomorrow.hvj", "d-soon.hvj",
                                                           "a-later.hvj", "c-never.hvj"}));
  EXPECT_EQ(order(Column::Command), (std::vector<std::string>{"a-later.hvj", "b-tomorrow.hvj",
                                                              "c-never.hvj", "d-soon.hvj"}));
  const std::size_t a = IndexOf(survey, "a-later.hvj");
  EXPECT_EQ(CompareByColumn(survey, a, a, Column::Next), 0);
}

// "12/10/2026 8:00:00 AM" sorts before "12/9/2026 11:00:00 PM" as text.
TEST(ShownRows, NextStartsCompareAsMomentsNotTexts) {
  const Installation installation;
  installation.Job("tenth.hvj", Scheduled("0001000", "08:00:00", "t.cmd"));  // Thu 12/10
  installation.Job("ninth.hvj", Scheduled("0010000", "23:00:00", "n.cmd"));  // Wed 12/9
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  const Survey survey = installation.Look(clock);
  EXPECT_EQ(Files(ShownRows(survey, clock, false, SortOrder::Next)),
            (std::vector<std::string>{"ninth.hvj", "tenth.hvj"}));
}

TEST(DetailFields, AnErrorGivesItsBoxTextAndTheJobsItHoldsBack) {
  const Installation installation;
  installation.Job("a.hvj", Scheduled("1111111", "25:00", "a.cmd"));
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  Survey survey = installation.Look(clock);
  ASSERT_EQ(survey.rows.size(), 1u);
  survey.rows[0].error->holdsBack = {"b.hvj", "c.hvj"};
  const std::vector<DetailField> fields = DetailFields(survey, 0, clock);
  std::vector<std::string> texts;
  for (const DetailField& field : fields)
    for (const std::string& line : field.lines) texts.push_back(field.name + "=" + line);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "status=error",
                       "schedule=every day 25:00  (do_schedule=1, days=1111111, time=25:00)",
                       "command=a.cmd",
                       "next=-",
                       "error=\"'25:00' is not a valid date and time.\" (tick)",
                       "holds back=b.hvj, c.hvj",
                   }));
}

// The last start as a span from the moment looked at: before it "ago", after it "in".
TEST(DetailFields, TheLastStartIsAgoOrToCome) {
  const Installation installation;
  installation.Job("past.hvj", Scheduled("1111111", "08:00:00", "p.cmd"));
  installation.Job("later.hvj", Scheduled("1111111", "09:30:00", "l.cmd"));
  installation.Store("p.cmd=12/9/2026 8:00:00 AM\r\nl.cmd=12/9/2026 9:30:00 AM\r\n");
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  const Survey survey = installation.Look(clock);
  const auto last = [&](const std::string& file) {
    for (const DetailField& field : DetailFields(survey, IndexOf(survey, file), clock))
      if (field.name == "last") return field.lines.at(0);
    return std::string("(none)");
  };
  EXPECT_EQ(last("past.hvj"), "12/9/2026 8:00:00 AM  (1h 0m ago)");
  EXPECT_EQ(last("later.hvj"), "12/9/2026 9:30:00 AM  (in 30m 0s)");
}

TEST(StatusTexts, HoldNoCommandLineHint) {
  const Installation installation;
  installation.Job("off.hvj", "do_schedule=0");
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  const Survey survey = installation.Look(clock);
  const std::vector<std::string> texts = StatusTexts(survey, SchedulerPresence{});
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(
      texts[1],
      "1 file: 0 jobs listed by the scheduler, 0 held back, 1 off, 0 ignored; 0 with errors.");
  for (const std::string& text : texts) EXPECT_EQ(text.find("--"), std::string::npos) << text;
}

}  // namespace
