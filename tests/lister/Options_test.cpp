#include "lister/Options.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ListerOptions, HelpNamesTheWindowOnlyWhereThereIsOne) {
  const char* const argv[] = {"harbovale-jobs", "--help"};
  for (const bool window : {false, true}) {
    const CommandLine command = ReadCommandLine(2, argv, window);
    ASSERT_FALSE(command.options);
    EXPECT_TRUE(command.toStandardOutput);
    EXPECT_EQ(command.exitCode, 0);
    EXPECT_EQ(command.text.find("--window") != std::string::npos, window) << command.text;
    EXPECT_NE(command.text.find("--watch"), std::string::npos);
  }
}

}  // namespace
