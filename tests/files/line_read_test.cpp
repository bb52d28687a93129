// Tests of the line readers: empty lines, width-sized pieces of long lines and
// the end of file.
#include "files/files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

FILE *text_file(const std::string &text) {
  FILE *fp = std::tmpfile();
  if (fp == nullptr) return nullptr;
  std::fwrite(text.data(), 1, text.size(), fp);
  std::rewind(fp);
  return fp;
}

struct Piece {
  int result;
  std::string text;
};

// Every call of fgetnline with the given width until the end of file; the
// buffer is exactly width+1 bytes so an overrun shows under the sanitizers.
std::vector<Piece> read_all(const std::string &text, int width) {
  std::vector<Piece> pieces;
  FILE *fp = text_file(text);
  if (fp == nullptr) return pieces;
  std::vector<char> buffer(static_cast<size_t>(width) + 1);
  for (int guard = 0; guard < 100; ++guard) {
    const int result = fgetnline(fp, buffer.data(), width);
    pieces.push_back({result, result >= 0 ? std::string(buffer.data()) : std::string()});
    if (result < 0) break;
  }
  std::fclose(fp);
  return pieces;
}

}  // namespace

TEST(LineRead, EmptyLineBetweenTwoLines) {
  FILE *fp = text_file("a\n\nb\n");
  ASSERT_NE(nullptr, fp);
  char line[161];
  EXPECT_EQ(1, fgetline(fp, line));
  EXPECT_STREQ("a", line);
  EXPECT_EQ(0, fgetline(fp, line));
  EXPECT_STREQ("", line);
  EXPECT_EQ(1, fgetline(fp, line));
  EXPECT_STREQ("b", line);
  EXPECT_EQ(EOF, fgetline(fp, line));

  std::rewind(fp);
  char word[4];
  EXPECT_EQ(1, fgetstring(fp, word, 3));
  EXPECT_STREQ("a", word);
  EXPECT_EQ(0, fgetstring(fp, word, 3));
  EXPECT_STREQ("", word);
  EXPECT_EQ(1, fgetstring(fp, word, 3));
  EXPECT_STREQ("b", word);
  EXPECT_LT(fgetstring(fp, word, 3), 0);
  std::fclose(fp);
}

TEST(LineRead, LongLinesComeInPiecesOfTheWidth) {
  const std::string line25 = "abcdefghijklmnopqrstuvwxy";
  const std::vector<Piece> pieces = read_all(line25 + "\nz\n", 10);
  ASSERT_EQ(5u, pieces.size());
  EXPECT_EQ(10, pieces[0].result);
  EXPECT_EQ("abcdefghij", pieces[0].text);
  EXPECT_EQ(10, pieces[1].result);
  EXPECT_EQ("klmnopqrst", pieces[1].text);
  EXPECT_EQ(5, pieces[2].result);
  EXPECT_EQ("uvwxy", pieces[2].text);
  EXPECT_EQ(1, pieces[3].result);
  EXPECT_EQ("z", pieces[3].text);
  EXPECT_LT(pieces[4].result, 0);
}

TEST(LineRead, EdgesOfLinesAndFiles) {
  const struct {
    const char *name;
    std::string text;
    int width;
    std::vector<std::string> lines;  // texts read before the end of file
  } cases[] = {
      {"line of exactly the width", "abcd\nef\n", 4, {"abcd", "ef"}},
      {"no line end at the end", "ab\ncd", 4, {"ab", "cd"}},
      {"empty file", "", 4, {}},
      {"blanks and carriage returns kept", "  a \r\n", 8, {"  a \r"}},
      {"two empty lines", "a\n\n\nb\n", 4, {"a", "", "", "b"}},
      {"a leading empty line is taken as the end of a line", "\nab\n", 4, {"ab"}},
      {"width one", "abc\n", 1, {"a", "b", "c"}},
  };
  for (const auto &c : cases) {
    const std::vector<Piece> pieces = read_all(c.text, c.width);
    ASSERT_EQ(c.lines.size() + 1, pieces.size()) << c.name;
    for (size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(c.lines[i], pieces[i].text) << c.name;
      EXPECT_EQ(static_cast<int>(c.lines[i].size()), pieces[i].result) << c.name;
    }
    EXPECT_LT(pieces.back().result, 0) << c.name;
  }
}

TEST(LineRead, FgetlineReadsUpTo160Characters) {
  FILE *fp = text_file(std::string(200, 'x') + "\n");
  ASSERT_NE(nullptr, fp);
  char line[161];
  EXPECT_EQ(160, fgetline(fp, line));
  EXPECT_EQ(std::string(160, 'x'), line);
  EXPECT_EQ(40, fgetline(fp, line));
  EXPECT_LT(fgetline(fp, line), 0);
  std::fclose(fp);
}

TEST(LineRead, BadArgumentsEndTheReading) {
  FILE *fp = text_file("abc\n");
  ASSERT_NE(nullptr, fp);
  char buffer[8] = "keep";
  EXPECT_LT(fgetnline(fp, buffer, 0), 0);
  EXPECT_LT(fgetnline(fp, buffer, -3), 0);
  EXPECT_LT(fgetstring(fp, nullptr, 4), 0);
  EXPECT_LT(fgetnline(nullptr, buffer, 4), 0);
  EXPECT_LT(fgetline(nullptr, buffer), 0);
  EXPECT_EQ(3, fgetnline(fp, buffer, 7));  // nothing was consumed by the refused calls
  EXPECT_STREQ("abc", buffer);
  std::fclose(fp);
}
