// Tests of the bounded text copies every fixed-size field is written through.
#include "files/files.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(TextCopy, CutsAtBoundAndAlwaysTerminates) {
  char field[6];
  std::memset(field, 'x', sizeof field);
  copy_text(field, sizeof field, "abcdefgh");
  EXPECT_STREQ("abcde", field);

  copy_text(field, sizeof field, "abcde");
  EXPECT_STREQ("abcde", field);

  copy_text(field, "ab");  // the array form takes the bound from the type
  EXPECT_STREQ("ab", field);

  copy_text(field, sizeof field, nullptr);
  EXPECT_STREQ("", field);

  copy_text(field, 1, "abc");
  EXPECT_STREQ("", field);

  field[0] = 'q';
  copy_text(field, 0, "abc");  // no room at all: nothing is written
  EXPECT_EQ('q', field[0]);
  copy_text(nullptr, 10, "abc");
}

TEST(TextCopy, CopiesWithinItsOwnBuffer) {
  char text[16] = "  padded";
  copy_text(text, sizeof text, text + 2);
  EXPECT_STREQ("padded", text);
}

TEST(TextCopy, FormatReturnsTheFullLengthAndCuts) {
  char field[8];
  EXPECT_EQ(11, format_text(field, sizeof field, "%s-%d", "grid", 123456));
  EXPECT_STREQ("grid-12", field);

  EXPECT_EQ(5, format_text(field, sizeof field, "%03d.%c", 7, 'x'));
  EXPECT_STREQ("007.x", field);

  EXPECT_EQ(5, format_text(nullptr, 0, "%d", 12345));  // measuring only
}
