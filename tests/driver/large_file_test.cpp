// Files beyond 2 GiB: a sparse file whose first edition 2 message carries a
// local use section spanning the 2 GiB mark, with a second message after it.
// Both grids are listed and decoded by searching and through a header file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "../test_support.h"

using kvztest::run_program;

namespace {

constexpr uint64_t kGap = (uint64_t{1} << 31) + 4096;  // the local use section's length

uint64_t octets(const std::string &b, size_t at, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

std::string be(uint64_t v, int n) {
  std::string s(n, '\0');
  for (int i = n - 1; i >= 0; --i, v >>= 8) s[i] = static_cast<char>(v & 0xFF);
  return s;
}

class LargeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    product_ = kvztest::read_file(std::string(KVZ_SOURCE_DIR) + "/fuzz/corpus/grib/ed2_simple_j0.grb");
    ASSERT_EQ(product_.compare(0, 4, "GRIB"), 0);
    // The first message: the product with a local use section after section 1.
    const size_t after_ids = 16 + octets(product_, 16, 4);
    head_ = product_.substr(0, after_ids) + be(kGap, 4) + '\2';
    tail_ = product_.substr(after_ids);
    head_.replace(8, 8, be(product_.size() + kGap, 8));
    path_ = dir.file("big.grb");
    FILE *fp = fopen(path_.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    ASSERT_EQ(fwrite(head_.data(), 1, head_.size(), fp), head_.size());
    ASSERT_EQ(fseeko(fp, static_cast<off_t>(head_.size() - 5 + kGap), SEEK_SET), 0);  // a hole, no disk space
    ASSERT_EQ(fwrite(tail_.data(), 1, tail_.size(), fp), tail_.size());
    ASSERT_EQ(fwrite(product_.data(), 1, product_.size(), fp), product_.size());
    ASSERT_EQ(fclose(fp), 0);
    second_ = head_.size() - 5 + kGap + tail_.size();
  }
  kvztest::RunResult run(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/"});
    return run_program(extra, {"kvzdefault=" + dir.path()}, dir.path());
  }
  // The two grids converted to a binary grid file and listed with their values.
  std::string converted(const std::vector<std::string> &how) {
    std::vector<std::string> args = how;
    args.insert(args.end(), {"-pf", "over", "-of", "kvzb", "big.grb"});
    const auto r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string created = "Creating grid file: ";
    const size_t at = r.out.find(created);
    if (at == std::string::npos) return "";
    const size_t start = at + created.size();
    return kvztest::read_file(dir.path() + "/" + r.out.substr(start, r.out.find('\n', start) - start));
  }
  kvztest::TempDir dir;
  std::string product_, head_, tail_, path_;
  uint64_t second_ = 0;
};

TEST_F(LargeFileTest, ProductAfterTheTwoGigabyteMarkIsListedAndDecoded) {
  const auto searched = run({"-pa", "nohdr", "-me", "out3", "big.grb"});
  ASSERT_EQ(searched.status, 0) << searched.err;
  EXPECT_EQ(searched.err, "");
  EXPECT_NE(searched.out.find("  0: "), std::string::npos) << searched.out;
  EXPECT_NE(searched.out.find("  1: "), std::string::npos) << searched.out;

  const std::string grids = converted({"-pa", "nohdr"});
  ASSERT_FALSE(grids.empty());
  // Both messages hold the same field: the binary grid file holds it twice.
  const std::string body = grids.substr(8);
  EXPECT_EQ(body.substr(0, body.size() / 2), body.substr(body.size() / 2));

  // The header file records the offset beyond 2 GiB; through it the grids
  // list and decode the same.
  const auto index = run({"-ou", "hdrfile", "-me", "out2", "big.grb"});
  ASSERT_EQ(index.status, 0) << index.err;
  const std::string lines = kvztest::read_file(dir.file("big.grb.hdr"));
  EXPECT_NE(lines.find("\n" + std::to_string(second_) + " "), std::string::npos) << lines;
  EXPECT_EQ(run({"-me", "out3", "big.grb"}).out, searched.out);
  EXPECT_EQ(converted({}), grids);
}

}  // namespace
