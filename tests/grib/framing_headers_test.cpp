// GRIB product framing: the product search, the four header kinds and their
// switching, product ends and damaged lengths, the WMO heading, the raw copy
// and the file information taken from the first product.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "grib_builder.h"
#include "grib_test_file.h"

namespace {

using gribtest::Bytes;
using gribtest::GribFile;

// A small but complete edition 1 product: 3 × 2 latitude/longitude grid.
Bytes small_product(int param = 7) {
  gribtest::Pds1 p;
  p.param = param;
  gribtest::Gds1 g;
  g.nx = 3;
  g.ny = 2;
  g.la1 = 10000;
  g.la2 = 11000;
  g.lo2 = 2000;
  g.di = 1000;
  g.dj = 1000;
  gribtest::Bds1 d;
  d.packed = {1, 2, 3, 4, 5, 6};
  return gribtest::grib1(gribtest::pds1(p), gribtest::gds1(g), {}, gribtest::bds1(d));
}

Bytes operator+(Bytes a, const Bytes &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes text(const std::string &s) { return Bytes(s.begin(), s.end()); }

std::string heading() { return grib_decoder().wmo_header; }

std::string tag() { return std::string(reinterpret_cast<const char *>(grib_decoder().data), 4); }

TEST(GribFraming, BareProductsAreFoundWithTheFixedHeading) {
  const Bytes one = small_product();
  GribFile f(one + one);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(f.gfile()->subtype, 4);
  EXPECT_EQ(heading(), "GRIB01 KXXX 010000");
  EXPECT_EQ(GRIB_get_version(), 1);
  EXPECT_EQ(f.tell(), 8);
  EXPECT_EQ(GRIB_next(f.handle(), 0), static_cast<int64_t>(one.size()));
  EXPECT_EQ(f.tell(), 8) << "without seek the stream stays";
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(one.size()));
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(2 * one.size()));
  EXPECT_EQ(GRIB_header(f.handle()), -1);
}

TEST(GribFraming, PackageHeaderLosesItsClosingMarker) {
  const Bytes one = small_product();
  const Bytes first = gribtest::kvz_wrap(one, "YTNA50 KWBC 241200", "\r\n\003\r\n");
  const Bytes second = gribtest::kvz_wrap(one, "YTNB50 KWBC 241200");
  GribFile f(first + second);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(f.gfile()->subtype, 1);
  EXPECT_EQ(heading(), "YTNA50 KWBC 241200");
  char out[20] = {};
  GRIB_get_WMO_header(f.handle(), out);
  EXPECT_EQ(std::string(out, 18), "YTNA50 KWBC 241200");
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(first.size()));
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(heading(), "YTNB50 KWBC 241200");
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(first.size() + second.size()));
  EXPECT_EQ(GRIB_header(f.handle()), -1);
}

TEST(GribFraming, ConsecutiveLdmProductsAreFollowed) {
  const Bytes one = small_product();
  const Bytes a = gribtest::ldm_wrap(one, 101, "HTQA50 KWBC 241200");
  const Bytes b = gribtest::ldm_wrap(one, 102, "HTQB50 KWBC 241200");
  GribFile f(a + b);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(f.gfile()->subtype, 2);
  EXPECT_EQ(heading(), "HTQA50 KWBC 241200");
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(a.size()));
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(f.gfile()->subtype, 2);
  EXPECT_EQ(heading(), "HTQB50 KWBC 241200");
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(a.size() + b.size()));
  EXPECT_EQ(GRIB_header(f.handle()), -1);
}

TEST(GribFraming, LdmHeaderIsFoundBehindThePreviousTrailer) {
  const Bytes one = small_product();
  // The stream stands on the line end and ETX that close the previous product.
  GribFile f(text("\n\003") + gribtest::ldm_wrap(one, 7, "HTQA50 KWBC 241200"));
  f.gfile()->subtype = 2;
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(heading(), "HTQA50 KWBC 241200");
  EXPECT_EQ(f.gfile()->subtype, 2);
}

TEST(GribFraming, HeaderStyleSwitchIsFollowedAndTheOldKindTriedFirstAgain) {
  const Bytes one = small_product();
  const Bytes a = gribtest::ldm_wrap(one, 1, "HTQA50 KWBC 241200");
  const Bytes b = gribtest::kvz_wrap(one, "YTNB50 KWBC 241200");
  const Bytes c = gribtest::ldm_wrap(one, 3, "HTQC50 KWBC 241200");
  GribFile f(a + b + c);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  GRIB_next(f.handle(), 1);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(f.gfile()->subtype, 1);
  EXPECT_EQ(heading(), "YTNB50 KWBC 241200");
  EXPECT_EQ(grib_decoder().prev, 2);
  GRIB_next(f.handle(), 1);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(f.gfile()->subtype, 2);
  EXPECT_EQ(heading(), "HTQC50 KWBC 241200");
}

TEST(GribFraming, OldPackageHeaderStatesTheProductEnd) {
  const Bytes one = small_product();
  const Bytes a = gribtest::old_kvz_wrap(one, "YTNA50 KWBC 241200");
  const Bytes b = gribtest::old_kvz_wrap(one, "YTNB50 KWBC 241200");
  GribFile f(a + b);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(f.gfile()->subtype, 3);
  EXPECT_EQ(heading(), "YTNA50 KWBC 241200");
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(a.size()));
  testing::internal::CaptureStdout();
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("old KVZ: 1\n"), std::string::npos);
  EXPECT_EQ(heading(), "YTNB50 KWBC 241200");
}

TEST(GribFraming, NoiseBufrGridAndEditionZeroProductsAreStepped) {
  const Bytes one = small_product();
  Bytes bufr = text("BUFR");
  gribtest::put_uint(bufr, 16, 3);
  gribtest::put_uint(bufr, 1, 1);
  gribtest::put_text(bufr, "GBGB7777");  // tags inside a measured product are not looked at
  const Bytes grid = text("GRID 12 34 56 7777\n");
  Bytes edition0 = text("GRIB");
  gribtest::put_uint(edition0, 24, 3);
  gribtest::put_uint(edition0, 0, 1);
  edition0.resize(edition0.size() + 20, 0);
  gribtest::put_text(edition0, "7777");
  const Bytes noise = text("xxGRxxBUFxxG");
  GribFile f(noise + one + noise + bufr + grid + edition0 + one);
  struct Step {
    const char *tag;
    int version;
    int64_t end;
  };
  const int64_t n = static_cast<int64_t>(noise.size()), p = static_cast<int64_t>(one.size());
  const int64_t at_bufr = n + p + n;
  const int64_t at_grid = at_bufr + static_cast<int64_t>(bufr.size());
  const int64_t at_ed0 = at_grid + static_cast<int64_t>(grid.size());
  const Step steps[] = {
      {"GRIB", 1, n + p},
      {"BUFR", 1, at_grid},
      {"GRID", 0, at_ed0},   // end-marker scan stops at the next 'G'
      {"GRIB", 0, at_ed0 + static_cast<int64_t>(edition0.size())},  // edition 0: "7777", then the next 'G'
      {"GRIB", 1, at_ed0 + static_cast<int64_t>(edition0.size()) + p},
  };
  for (const Step &s : steps) {
    SCOPED_TRACE(s.tag);
    ASSERT_EQ(GRIB_header(f.handle()), 1);
    EXPECT_EQ(tag(), s.tag);
    const int64_t end = GRIB_next(f.handle(), 1);
    EXPECT_EQ(GRIB_get_version(), s.version);
    EXPECT_EQ(end, s.end);
  }
  EXPECT_EQ(GRIB_header(f.handle()), -1);
}

TEST(GribFraming, OverlongProductIsReportedAndPassedWithoutGoingBack) {
  Bytes big = small_product();
  gribtest::set_uint(big, 4, 2000001, 3);
  const Bytes good = small_product(11);
  GribFile f(big + good);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  testing::internal::CaptureStderr();
  const int64_t end = GRIB_next(f.handle(), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Invalid product size: 2000001\n"), std::string::npos);
  EXPECT_EQ(end, 8) << "the search goes on after the indicator, not from offset 0";
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(grib_decoder().tag_pos, static_cast<int64_t>(big.size()));
}

TEST(GribFraming, ZeroLengthProductIsDamagedOnceAndTheSearchGoesOn) {
  for (const int stated : {0, 5, 8}) {
    SCOPED_TRACE(stated);
    Bytes bad = small_product();
    gribtest::set_uint(bad, 4, static_cast<uint64_t>(stated), 3);
    const Bytes good = small_product(11);
    GribFile f(text("ab") + bad + good);
    ASSERT_EQ(GRIB_header(f.handle()), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GRIB_next(f.handle(), 0), 10);
    EXPECT_EQ(GRIB_next(f.handle(), 1), 10);
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string msg = "Damaged GRIB product at offset 2:";
    ASSERT_NE(err.find(msg), std::string::npos) << err;
    EXPECT_EQ(err.find(msg, err.find(msg) + 1), std::string::npos) << "said once: " << err;
    ASSERT_EQ(GRIB_header(f.handle()), 1);
    EXPECT_EQ(grib_decoder().tag_pos, static_cast<int64_t>(2 + bad.size()));
  }
}

TEST(GribFraming, EditionTwoIsMeasuredByItsEightOctetLength) {
  const Bytes msg = gribtest::grib2({gribtest::section2(1, gribtest::ids2_body(7, 2012, 1, 10, 12, 30))}, 10);
  const Bytes wrapped = gribtest::kvz_wrap(msg, "YEUA98 KWBC 101200", "", "\r\r\n\003");
  GribFile f(wrapped + wrapped);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(GRIB_get_version(), 2);
  EXPECT_EQ(grib_decoder().discipline, 10);
  EXPECT_EQ(f.tell(), 25 + 16);
  EXPECT_EQ(GRIB_next(f.handle(), 1), static_cast<int64_t>(wrapped.size()));
  EXPECT_EQ(GRIB_header(f.handle()), 1);
}

TEST(GribFraming, ProductEndsBeyondFourGigabytesKeepTheirOffset) {
  Bytes msg = gribtest::grib2({gribtest::section2(1, gribtest::ids2_body(7, 2012, 1, 10, 12, 30))});
  gribtest::set_uint(msg, 8, 5000000000ULL, 8);
  GribFile f(msg);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  EXPECT_EQ(GRIB_next(f.handle(), 0), 5000000000LL);
}

TEST(GribFraming, RawCopyTakesHeaderProductAndTrailer) {
  const Bytes one = small_product();
  const Bytes a = gribtest::ldm_wrap(one, 1, "HTQA50 KWBC 241200");
  GribFile f(a + gribtest::ldm_wrap(one, 2, "HTQB50 KWBC 241200"));
  std::vector<unsigned char> buf;
  int64_t len = 0;
  // The grid position of a freshly opened file is its start.
  ASSERT_EQ(GRIB_get_raw(f.handle(), &buf, &len), static_cast<int64_t>(a.size()));
  EXPECT_EQ(len, static_cast<int64_t>(a.size()));
  EXPECT_EQ(buf, a);
}

TEST(GribFileInfo, DateComesFromTheFirstProduct) {
  struct Case {
    const char *name;
    Bytes product;
    int edition;
    int year, month, day, hour, minute;
  };
  gribtest::Pds1 p;
  p.year = 99;
  p.century = 20;
  p.month = 13;  // out of range: January
  p.day = 2;
  p.hour = 6;
  p.minute = 45;
  const Bytes ed1 = gribtest::grib1(gribtest::pds1(p), {}, {}, gribtest::bds1({}));
  const Bytes ed2 = gribtest::grib2({gribtest::section2(1, gribtest::ids2_body(7, 2012, 1, 10, 12, 30)),
                                     gribtest::section2(2, Bytes(40, 0))});
  // Edition 0: the PDS follows the tag; centre 98 marks the file as ECMWF's.
  Bytes ed0 = text("GRIB");
  gribtest::Pds1 p0;
  p0.centre = 98;
  p0.year = 5;
  const Bytes pds0 = gribtest::pds1(p0);
  ed0.insert(ed0.end(), pds0.begin(), pds0.end());
  ed0[7] = 0;  // PDS octet 4: not edition 1
  ed0.resize(ed0.size() + 40, 0);
  const Case cases[] = {
      {"edition 1", ed1, 1, 1999, 1, 2, 6, 0},
      {"edition 2", ed2, 2, 2012, 1, 10, 12, 30},
      {"edition 0", ed0, 10, 2005, 5, 24, 12, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    GribFile f(c.product);
    ASSERT_EQ(GRIB_header(f.handle()), 1);
    GridFileInfo info{};
    ASSERT_EQ(GRIB_get_info(f.handle(), &info), 0);
    EXPECT_EQ(f.gfile()->edition, c.edition);
    EXPECT_EQ(info.date.year, c.year);
    EXPECT_EQ(info.date.month, c.month);
    EXPECT_EQ(info.date.day, c.day);
    EXPECT_EQ(info.date.hour, c.hour);
    EXPECT_EQ(info.date.minute, c.minute);
    EXPECT_NE(info.label[0], '\0');
  }
}

TEST(GribFileInfo, TruncatedProductLeavesTheRecord) {
  const Bytes whole = small_product();
  GribFile f(Bytes(whole.begin(), whole.begin() + 30));
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  GridFileInfo info{};
  info.date.year = 1234;
  EXPECT_EQ(GRIB_get_info(f.handle(), &info), -1);
  EXPECT_EQ(info.date.year, 1234);
}

TEST(GribSectionWalker, SecondFieldStartsAtItsRepeatedSection) {
  using gribtest::section2;
  const Bytes msg = gribtest::grib2({section2(1, Bytes(16, 0)), section2(3, Bytes(67, 0)),
                                     section2(4, Bytes(29, 0)), section2(5, Bytes(16, 0)),
                                     section2(6, Bytes(1, 255)), section2(7, Bytes(10, 0)),
                                     section2(4, Bytes(29, 0)), section2(5, Bytes(16, 0)),
                                     section2(6, Bytes(1, 255)), section2(7, Bytes(10, 0))});
  GribFile f(msg);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  std::vector<int> seen;
  std::vector<long long> starts;
  while (GRIB_read_section(f.handle()) == 1) {
    seen.push_back(GRIB_get_sect());
    starts.push_back(f.tell() - 5);
    EXPECT_EQ(GRIB_skip_section(f.handle()), 1);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 3, 4, 5, 6, 7, 4, 5, 6, 7}));
  EXPECT_EQ(GRIB_get_sect(), -1);
  // The second field begins where its section 4 header does.
  EXPECT_EQ(starts[6], 16 + 21 + 72 + 34 + 21 + 6 + 15);
}

TEST(GribSectionWalker, SectionShorterThanItsHeaderDoesNotLoop) {
  Bytes msg = gribtest::grib2({gribtest::section2(1, Bytes(16, 0))});
  gribtest::set_uint(msg, 16, 0, 4);  // section 1 states length 0
  GribFile f(msg);
  ASSERT_EQ(GRIB_header(f.handle()), 1);
  ASSERT_EQ(GRIB_read_section(f.handle()), 1);
  const long long at = f.tell();
  testing::internal::CaptureStderr();
  EXPECT_EQ(GRIB_skip_section(f.handle()), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(f.tell(), at) << "never moved backwards";
}

}  // namespace
