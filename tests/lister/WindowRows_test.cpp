// The window's refresh: rows kept by file name, only changed cells set again, the selection
// following its file; the rows sorted by a chosen column; --window taken off the command line.

#include "lister/WindowRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "fakes/FakeClock.h"
#include "lister/Installation.h"
#include "lister/WindowStart.h"

namespace {

WindowRow Row(const std::string& file, const std::string& left = "1m 0s",
              const std::string& status = "scheduled") {
  WindowRow row;
  row.file = file;
  row.cells.fill("-");
  row.cells[1] = left;
  row.cells[4] = file;
  row.cells[5] = status;
  return row;
}

TEST(WindowRowsTest, ARefreshSetsOnlyTheCellsThatChanged) {
  const std::vector<WindowRow> shown = {Row("a.hvj", "1m 0s"), Row("b.hvj", "2h 0m")};
  const std::vector<WindowRow> wanted = {Row("a.hvj", "59s"), Row("b.hvj", "2h 0m", "started")};
  const ListUpdate update = PlanUpdate(shown, wanted);
  ASSERT_EQ(update.cells.size(), 2u);
  EXPECT_EQ(update.cells[0].item, 0u);
  EXPECT_EQ(update.cells[0].column, 1u);
  EXPECT_EQ(update.cells[1].item, 1u);
  EXPECT_EQ(update.cells[1].column, 5u);
  EXPECT_EQ(update.addCount, 0u);
  EXPECT_EQ(update.removeCount, 0u);
  EXPECT_TRUE(PlanUpdate(wanted, wanted).cells.empty()) << "nothing changed, nothing is set";
}

TEST(WindowRowsTest, RowsComeAndGoAtTheEnd) {
  const std::vector<WindowRow> two = {Row("a.hvj"), Row("b.hvj")};
  const std::vector<WindowRow> three = {Row("a.hvj"), Row("c.hvj"), Row("b.hvj")};
  ListUpdate update = PlanUpdate(two, three);
  EXPECT_EQ(update.addFrom, 2u);
  EXPECT_EQ(update.addCount, 1u);
  ASSERT_EQ(update.cells.size(), 1u) << "b.hvj's place now shows c.hvj: its JOB cell";
  EXPECT_EQ(update.cells[0].item, 1u);
  EXPECT_EQ(update.cells[0].column, 4u);

  update = PlanUpdate(three, two);
  EXPECT_EQ(update.removeFrom, 2u);
  EXPECT_EQ(update.removeCount, 1u);
  EXPECT_EQ(update.addCount, 0u);
  update = PlanUpdate(three, {});
  EXPECT_EQ(update.removeFrom, 0u);
  EXPECT_EQ(update.removeCount, 3u);
}

TEST(WindowRowsTest, TheSelectionFollowsItsFile) {
  const std::vector<WindowRow> rows = {Row("a.hvj"), Row("c.hvj"), Row("b.hvj")};
  EXPECT_EQ(ItemOf(rows, "b.hvj"), std::optional<std::size_t>(2));
  EXPECT_EQ(ItemOf(rows, "gone.hvj"), std::nullopt);
  EXPECT_EQ(ItemOf(rows, "B.hvj"), std::nullopt) << "file names are compared exactly";
}

TEST(WindowRowsTest, ARefreshKeepsThePersonsSelection) {
  using Item = std::optional<std::size_t>;
  const std::vector<WindowRow> none;
  const std::vector<WindowRow> two = {Row("a.hvj"), Row("b.hvj")};
  const std::vector<WindowRow> three = {Row("c.hvj"), Row("b.hvj"), Row("a.hvj")};

  KeptSelection selection;
  EXPECT_EQ(selection.After(none, std::nullopt, none), std::nullopt) << "an empty folder";
  EXPECT_EQ(selection.After(none, std::nullopt, two), Item(0)) << "the first rows: the first";
  EXPECT_EQ(selection.After(two, 1, three), Item(1)) << "b.hvj, where a new file put it";
  EXPECT_EQ(selection.After(three, 2, two), Item(0)) << "a.hvj, where a sort put it";
  EXPECT_EQ(selection.After(two, 1, {Row("a.hvj")}), std::nullopt) << "b.hvj is gone";
  EXPECT_EQ(selection.After(two, std::nullopt, three), std::nullopt)
      << "the person selected nothing: nothing is chosen for them";
  EXPECT_EQ(selection.After(two, 1, none), std::nullopt);
  EXPECT_EQ(selection.After(none, std::nullopt, two), std::nullopt)
      << "rows that come back after the folder was empty are not the first rows";

  KeptSelection laterRows;
  EXPECT_EQ(laterRows.After(none, std::nullopt, none), std::nullopt);
  EXPECT_EQ(laterRows.After(none, std::nullopt, three), Item(0))
      << "a folder empty at first: its first rows when they come";
}

TEST(WindowRowsTest, ChoosingTheSortedColumnAgainTurnsTheOrderRound) {
  ColumnSort sort;
  sort = SortedBy(sort, Column::Job);
  EXPECT_EQ(sort.column, Column::Job);
  EXPECT_TRUE(sort.ascending) << "a first choice sorts ascending";
  sort = SortedBy(sort, Column::Job);
  EXPECT_FALSE(sort.ascending) << "the same column again: the other way round";
  sort = SortedBy(sort, Column::Status);
  EXPECT_EQ(sort.column, Column::Status);
  EXPECT_TRUE(sort.ascending) << "another column begins ascending";
  EXPECT_TRUE(SortedBy(SortedBy(sort, Column::Status), Column::Status).ascending);
}

// "Sort by" names every column, each with a letter of its own (Alt+V, B, then that letter).
TEST(WindowRowsTest, EachSortMenuItemNamesItsColumnWithItsOwnLetter) {
  std::string letters;
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    const Column column = static_cast<Column>(c);
    std::string text(SortMenuText(column));
    const std::size_t mark = text.find('&');
    ASSERT_NE(mark, std::string::npos) << ColumnTitle(column);
    ASSERT_LT(mark + 1, text.size()) << ColumnTitle(column);
    EXPECT_EQ(text.find('&', mark + 1), std::string::npos) << text;
    letters += static_cast<char>(std::tolower(static_cast<unsigned char>(text[mark + 1])));
    text.erase(mark, 1);
    for (char& letter : text)
      letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    EXPECT_EQ(text, ColumnTitle(column));
  }
  std::string distinct = letters;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  EXPECT_EQ(distinct.size(), letters.size()) << "mnemonics: " << letters;
}

TEST(WindowRowsTest, EveryFileIsARowAndAClickedColumnSortsThem) {
  const Installation installation;
  installation.Job("b-weekly.hvj", Scheduled("0010000", "14:30:00", "backup weekly"));
  installation.Job("a-daily.hvj", Scheduled("1111111", "16:00:00", "backup daily"));
  installation.Job("c-off.hvj", "do_schedule=0,days=1111111,time=10:00:00,cmd=off");
  installation.Job("d.HVJ", Scheduled("1111111", "10:00:00", "upper"));
  const FakeClock clock(2026, 12, 9, 14, 29, 0);
  const Survey survey = TakeSurvey(installation.folder.PathOf(""), clock, 1);

  auto files = [](const std::vector<WindowRow>& rows) {
    std::string text;
    for (const WindowRow& row : rows) text += row.file + " ";
    return text;
  };
  const auto byNext = WindowRows(survey, clock, SortOrder::Next, {});
  EXPECT_EQ(files(byNext), "b-weekly.hvj a-daily.hvj c-off.hvj d.HVJ ")
      << "off and ignored files are rows too";
  for (const WindowRow& row : byNext) EXPECT_EQ(row.cells[4], row.file);

  EXPECT_EQ(files(WindowRows(survey, clock, SortOrder::Next, {Column::Job, true})),
            "a-daily.hvj b-weekly.hvj c-off.hvj d.HVJ ");
  EXPECT_EQ(files(WindowRows(survey, clock, SortOrder::Next, {Column::Job, false})),
            "d.HVJ c-off.hvj b-weekly.hvj a-daily.hvj ");
  // 14:30 today comes before 16:00 today, whatever their texts say.
  const auto byMoment = WindowRows(survey, clock, SortOrder::File, {Column::Next, true});
  EXPECT_EQ(byMoment[0].file, "b-weekly.hvj");
  EXPECT_EQ(byMoment[1].file, "a-daily.hvj");
}

TEST(WindowStartTest, WindowIsTakenOffTheCommandLine) {
  const struct {
    const char* label;
    std::vector<const char*> argv;
    bool window;
    std::vector<std::string> rest;
  } cases[] = {
      {"none", {"jobs"}, false, {"jobs"}},
      {"alone", {"jobs", "--window"}, true, {"jobs"}},
      {"among others",
       {"jobs", "--all", "--window", "--now=22:00"},
       true,
       {"jobs", "--all", "--now=22:00"}},
      {"after --, a value", {"jobs", "--", "--window"}, false, {"jobs", "--", "--window"}},
      {"the program's own name", {"--window"}, false, {"--window"}},
  };
  for (const auto& c : cases) {
    const WindowArguments arguments =
        TakeWindowOption(static_cast<int>(c.argv.size()), c.argv.data());
    EXPECT_EQ(arguments.window, c.window) << c.label;
    EXPECT_EQ(arguments.rest, c.rest) << c.label;
  }
}

}  // namespace
