// Tests of the station database: reading station lines, lookups by
// identifier, name and station number, the database choice, station domain
// texts, and the station file the program ships.
#include <cmath>
#include <set>

#include "dom_fixture.h"

namespace {

const char kStations[] =
    "# name state country id priority lat lon elev wmo extra\n"
    "Denver      CO US DEN  1*   39.86 -104.67  1656 72565 7\n"
    "\n"
    "Smallville  KS US SMV  *3*  38.00  -98.00  9999   123 0\n"
    "Lowtown     LA US LOW  5    30.00  -90.00  9000 72999 0\n"
    "Partial     XX US PRT\n";

class CityTest : public DomTest {
 protected:
  void SetUp() override {
    DomTest::SetUp();
    write("sao.cty", kStations);
  }

  // Runs a lookup with its output captured and returns its result.
  template <class F> int located(F lookup) {
    int result = 0;
    capture([&] { result = lookup(); });
    return result;
  }
};

TEST_F(CityTest, ReadsStationLines) {
  CityRec r{};
  EXPECT_EQ(-1, CTY_read(0, r));  // nothing open
  EXPECT_EQ(-1, CTY_rewind());
  EXPECT_EQ(-1, CTY_close());
  EXPECT_EQ(-1, CTY_open(dir.file("sao.cty").c_str(), 2, 0));
  const int fd = CTY_open(dir.file("sao.cty").c_str(), 0, 0);
  ASSERT_GE(fd, 0);

  ASSERT_EQ(10, CTY_read(fd, r));  // comments and blank lines are passed over
  EXPECT_STREQ("Denver", r.name);
  EXPECT_STREQ("CO", r.state);
  EXPECT_STREQ("US", r.country);
  EXPECT_STREQ("DEN", r.id);
  EXPECT_EQ(1, r.priority);
  EXPECT_EQ(' ', r.mark1);
  EXPECT_EQ('*', r.mark2);
  EXPECT_FLOAT_EQ(39.86f, r.lat);
  EXPECT_FLOAT_EQ(-104.67f, r.lon);
  EXPECT_FLOAT_EQ(1656, r.elev);
  EXPECT_EQ(72565, r.wmo);
  EXPECT_EQ(7, r.extra);

  ASSERT_EQ(10, CTY_read(fd, r));
  EXPECT_EQ(3, r.priority);
  EXPECT_EQ('*', r.mark1);
  EXPECT_EQ('*', r.mark2);
  EXPECT_FLOAT_EQ(-9999, r.elev);  // above 9000: missing
  ASSERT_EQ(10, CTY_read(fd, r));
  EXPECT_FLOAT_EQ(9000, r.elev);
  ASSERT_EQ(4, CTY_read(fd, r));
  EXPECT_STREQ("PRT", r.id);
  EXPECT_EQ(-9999, r.wmo);
  EXPECT_EQ(-1, CTY_read(fd, r));

  EXPECT_EQ(0, CTY_rewind());
  ASSERT_EQ(10, CTY_read(fd, r));
  EXPECT_STREQ("DEN", r.id);
  EXPECT_EQ(0, CTY_close());
}

TEST_F(CityTest, LookupByIdNameAndNumber) {
  const struct { const char *key; const char *id; } cases[] = {
      {"den", "DEN"},   {"DENVER", "DEN"}, {"72565", "DEN"}, {"00123", "SMV"},
      {"123", nullptr}, {"prt", "PRT"},    {"-9999", nullptr}, {"", nullptr}, {"XYZ", nullptr},
  };
  for (const auto &c : cases) {
    CityRec r{};
    int found = -1;
    capture([&] { found = CTY_get(nullptr, c.key, r); });
    EXPECT_EQ(c.id ? 1 : 0, found) << c.key;
    if (c.id) {
      EXPECT_STREQ(c.id, r.id) << c.key;
    }
  }
}

TEST_F(CityTest, LocationAndSearchMessage) {
  float lat = 1, lon = 2;
  EXPECT_EQ(0, located([&] { return CTY_get_loc(nullptr, "nowhere", lat, lon); }));
  EXPECT_FLOAT_EQ(1, lat);
  EXPECT_FLOAT_EQ(2, lon);
  EXPECT_EQ(1, located([&] { return CTY_get_loc(nullptr, "den", lat, lon); }));
  EXPECT_FLOAT_EQ(39.86f, lat);
  EXPECT_FLOAT_EQ(-104.67f, lon);
  EXPECT_EQ("Searching the city database file for: den ...\n", out);
}

TEST_F(CityTest, DatabaseChoice) {
  write("other.cty", "Elsewhere AA BB ELS 2 10 20 30 40000 0\n");
  float lat = 0, lon = 0;
  EXPECT_EQ(1, located([&] { return CTY_get_loc("other.cty", "els", lat, lon); }));
  EXPECT_FLOAT_EQ(10, lat);

  int count = -1;
  EXPECT_GE(CTY_open_file(nullptr, &count), 0);
  EXPECT_EQ(static_cast<int>(sizeof kStations - 1) / 59, count);
  CTY_close();

  RES_put("city_file", "other.cty");  // the resource wins over the name given
  EXPECT_EQ(0, located([&] { return CTY_get_loc("sao.cty", "den", lat, lon); }));
  RES_put("city_file", "NONE");
  EXPECT_EQ(0, located([&] { return CTY_get_loc(nullptr, "els", lat, lon); }));
  EXPECT_EQ("", out + err);
  EXPECT_EQ(-1, CTY_open_file(nullptr, &count));

  RES_put("city_file", "missing.cty");
  EXPECT_EQ(0, located([&] { return CTY_get_loc(nullptr, "den", lat, lon); }));
  EXPECT_EQ("CTY_open_file: Database file not found: " + dir.file("missing.cty") + "\n", err);
}

TEST_F(CityTest, StationDomainTexts) {
  write("other.cty", "Elsewhere AA BB ELS 2 10 20 30 40000 0\n");
  EXPECT_EQ(1, decode("id:den"));
  EXPECT_EQ(1, d.proj);
  EXPECT_FLOAT_EQ(39.86f, d.clat);
  EXPECT_FLOAT_EQ(-104.67f, d.clon);
  EXPECT_EQ(25, d.nx);
  EXPECT_FLOAT_EQ(1.2f, d.dy);

  EXPECT_EQ(1, decode("ID:other.cty:ELS"));
  EXPECT_FLOAT_EQ(20, d.clon);

  EXPECT_EQ(1, decode("lc,id:72565,30,20,0.5,0.6"));  // a station stands for clat,clon
  EXPECT_EQ(4, d.proj);
  EXPECT_FLOAT_EQ(39.86f, d.clat);
  EXPECT_EQ(30, d.nx);
  EXPECT_FLOAT_EQ(0.6f, d.dy);

  EXPECT_EQ(1, decode("id:den,0.5"));
  EXPECT_FLOAT_EQ(0.5f, d.dy);

  EXPECT_EQ(-1, decode("id:QQQ"));
  EXPECT_EQ("DOM_decode: Invalid plot domain\n", err);
}

TEST_F(CityTest, ShippedStationFile) {
  RES_put("file_path", KVZ_SOURCE_DIR "/etc");
  ASSERT_GE(CTY_open_file(nullptr, nullptr), 0);
  std::set<std::string> ids, names;
  std::set<int> numbers;
  CityRec r{};
  int stations = 0;
  for (int fields; (fields = CTY_read(0, r)) > 0; ++stations) {
    EXPECT_EQ(10, fields) << r.id;
    EXPECT_TRUE(ids.insert(r.id).second) << r.id;
    EXPECT_TRUE(names.insert(r.name).second) << r.name;
    EXPECT_TRUE(numbers.insert(r.wmo).second) << r.id;
    EXPECT_GT(r.wmo, 10000) << r.id;
    EXPECT_TRUE(r.lat > 10 && r.lat < 85 && r.lon > -170 && r.lon < -50) << r.id;
    EXPECT_TRUE(r.elev >= 0 && r.elev < 3000) << r.id;
    EXPECT_TRUE(r.priority >= 1 && r.priority <= 9) << r.id;
  }
  CTY_close();
  EXPECT_GE(stations, 100);

  // A few well-known stations, checked against their published positions.
  const struct { const char *id; float lat, lon; int wmo; } known[] = {
      {"DEN", 39.86f, -104.67f, 72565}, {"ORD", 41.98f, -87.90f, 72530}, {"JFK", 40.64f, -73.78f, 74486},
      {"YYZ", 43.68f, -79.63f, 71624},  {"OUN", 35.18f, -97.44f, 72357}, {"ANC", 61.17f, -150.00f, 70273},
  };
  for (const auto &k : known) {
    ASSERT_EQ(1, located([&] { return CTY_get(nullptr, k.id, r); })) << k.id;
    EXPECT_NEAR(k.lat, r.lat, 0.02) << k.id;
    EXPECT_NEAR(k.lon, r.lon, 0.02) << k.id;
    EXPECT_EQ(k.wmo, r.wmo) << k.id;
  }
}

}  // namespace
