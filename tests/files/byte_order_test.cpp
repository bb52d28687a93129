// Tests of the 4-byte byte order helpers.
#include "files/files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

bool host_low_byte_first() {
  const uint32_t one = 1;
  unsigned char first = 0;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

uint32_t as_int(const unsigned char *bytes) {
  uint32_t value = 0;
  std::memcpy(&value, bytes, 4);
  return value;
}

}  // namespace

TEST(ByteOrder, SetupChoosesWhenToReverse) {
  const bool low_first = host_low_byte_first();
  const struct {
    int type;
    bool reverses;
  } cases[] = {{-1, false}, {1, low_first}, {2, !low_first}, {0, true}, {7, true}};
  for (const auto &c : cases) {
    EXPECT_EQ(0, swap_setup(c.type));
    unsigned char bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(c.reverses ? 0 : -1, swap_long(bytes)) << c.type;
    const unsigned char reversed[4] = {4, 3, 2, 1};
    const unsigned char kept[4] = {1, 2, 3, 4};
    EXPECT_EQ(0, std::memcmp(c.reverses ? reversed : kept, bytes, 4)) << c.type;
  }
  EXPECT_EQ(-1, swap_long(nullptr));
}

TEST(ByteOrder, ReadsAndWritesHighByteFirstData) {
  swap_setup(1);
  FILE *fp = std::tmpfile();
  ASSERT_NE(nullptr, fp);
  const unsigned char five[4] = {0, 0, 0, 5};
  std::fwrite(five, 1, 4, fp);
  std::rewind(fp);

  unsigned char value[4];
  EXPECT_EQ(1u, fread_long_swap(value, fp));
  EXPECT_EQ(5u, as_int(value));
  EXPECT_EQ(0u, fread_long_swap(value, fp));  // end of file: nothing read, nothing reversed
  EXPECT_EQ(5u, as_int(value));

  std::rewind(fp);
  uint32_t out = 0x01020304;
  EXPECT_EQ(1u, fwrite_long_swap(&out, fp));
  std::fflush(fp);
  std::rewind(fp);
  unsigned char written[4];
  ASSERT_EQ(4u, std::fread(written, 1, 4, fp));
  const unsigned char expected[4] = {1, 2, 3, 4};
  EXPECT_EQ(0, std::memcmp(expected, written, 4));
  if (host_low_byte_first()) {
    EXPECT_EQ(0x04030201u, out);  // the caller's value stays reversed
  }
  std::fclose(fp);
  EXPECT_EQ(0u, fread_long_swap(value, nullptr));
}
