// Tests of list splitting and the in-place text edits.
#include "files/files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(TextLists, ParseStringKeepsEmptyItemsAndDropsTrailingSeparators) {
  const struct {
    const char *text;
    char sep;
    std::vector<std::string> items;
  } cases[] = {
      {"a,b,,c,", ',', {"a", "b", "", "c"}},
      {",a", ',', {"", "a"}},
      {",,,", ',', {""}},
      {"abc", ',', {"abc"}},
      {"a,b,c,,,", ',', {"a", "b", "c"}},
      {"/data/grids/eta.grb", '/', {"", "data", "grids", "eta.grb"}},
      {"t 850 hgt", ' ', {"t", "850", "hgt"}},
  };
  for (const auto &c : cases) {
    int count = -1;
    std::vector<std::string> list{"stale"};
    EXPECT_EQ(0, parse_string(c.text, c.sep, &count, &list)) << c.text;
    EXPECT_EQ(static_cast<int>(c.items.size()), count) << c.text;
    EXPECT_EQ(c.items, list) << c.text;
    EXPECT_EQ(0, free_parsed_array(count, &list));
    EXPECT_TRUE(list.empty());
  }
}

TEST(TextLists, ParseStringRefusesAbsentOrEmptyText) {
  int count = 5;
  std::vector<std::string> list{"stale"};
  EXPECT_EQ(-1, parse_string("", ',', &count, &list));
  EXPECT_EQ(0, count);
  EXPECT_TRUE(list.empty());

  count = 5;
  list = {"stale"};
  EXPECT_EQ(-1, parse_string(nullptr, ',', &count, &list));
  EXPECT_EQ(0, count);
  EXPECT_TRUE(list.empty());

  EXPECT_EQ(-1, parse_string("a,b", ',', nullptr, &list));
  EXPECT_EQ(-1, parse_string("a,b", ',', &count, nullptr));

  list = {"kept"};
  EXPECT_EQ(0, free_parsed_array(0, &list));  // a count of 0 releases nothing
  EXPECT_EQ(1u, list.size());
  EXPECT_EQ(0, free_parsed_array(3, nullptr));
}

TEST(TextLists, TrimsAndFolds) {
  const struct {
    const char *name;
    int (*edit)(char *);
    const char *text;
    const char *result;
    int returned;
  } cases[] = {
      {"trim", trim_string, "eta 850  ", "eta 850", 0},
      {"trim keeps leading blanks and tabs", trim_string, "  a\t ", "  a\t", 0},
      {"trim to empty", trim_string, "   ", "", 0},
      {"trim cr", trim_cr_string, "line\r\r", "line", 0},
      {"trim cr keeps inner", trim_cr_string, "a\rb \r", "a\rb ", 0},
      {"wstrim line end then spaces", wstrim_string, "eta.grb\r\n   ", "eta.grb", 1},
      {"wstrim inner line ends", wstrim_string, "a\rb\nc", "abc", 1},
      {"wstrim spaces before line end", wstrim_string, "ab  \n", "ab", 1},
      {"wstrim empty", wstrim_string, "", "", 1},
      {"low", low_string, "GFS-Eta_AB9z", "gfs-eta_ab9z", 1},
      {"low empty", low_string, "", "", 0},
  };
  for (const auto &c : cases) {
    std::string text(c.text);
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    EXPECT_EQ(c.returned, c.edit(buffer.data())) << c.name;
    EXPECT_STREQ(c.result, buffer.data()) << c.name;
  }
  EXPECT_EQ(0, low_string(nullptr));
  EXPECT_EQ(0, trim_string(nullptr));
  wstrim_string(nullptr);
  trim_cr_string(nullptr);
}

TEST(TextLists, FillReplacesEveryCharacter) {
  char text[] = "a\\b\\\\c";
  EXPECT_EQ(0, fill_string(text, '\\', '/'));
  EXPECT_STREQ("a/b//c", text);
  EXPECT_EQ(0, fill_string(nullptr, 'a', 'b'));
}
