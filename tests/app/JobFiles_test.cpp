#include "app/JobFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(JobFiles, ExtensionIsFromTheLastDotOfTheLastPart) {
  const struct {
    std::string name, extension;
  } cases[] = {
      {"a.hvj", ".hvj"},    {"a.b.hvj", ".hvj"}, {"a.", "."},       {".hvj", ".hvj"},
      {"noext", ""},        {"", ""},            {"dir.x\\file", ""}, {"c.d:file", ""},
      {"dir\\a.hvj", ".hvj"}, {"c:a.HVJ", ".HVJ"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtensionOf(c.name), c.extension) << c.name;
}

TEST(JobFiles, AJobFileIsAFileEndingInHvjExactly) {
  EXPECT_TRUE(IsJobFile("file", "x.hvj"));
  EXPECT_FALSE(IsJobFile("file", "x.HVJ"));
  EXPECT_FALSE(IsJobFile("dir", "x.hvj"));
  EXPECT_FALSE(IsJobFile("file", "x.hvj.bak"));
}

}  // namespace
