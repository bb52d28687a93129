// Tests of the Domain record: its layout and its initial state.
#include "domain/domain.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

TEST(DomRecord, FieldsAreFifteenWordsInOrder) {
  EXPECT_EQ(0u, offsetof(Domain, proj));
  EXPECT_EQ(4u, offsetof(Domain, plat));
  EXPECT_EQ(8u, offsetof(Domain, plon));
  EXPECT_EQ(12u, offsetof(Domain, param1));
  EXPECT_EQ(28u, offsetof(Domain, param5));
  EXPECT_EQ(32u, offsetof(Domain, clat));
  EXPECT_EQ(36u, offsetof(Domain, clon));
  EXPECT_EQ(40u, offsetof(Domain, dx));
  EXPECT_EQ(44u, offsetof(Domain, dy));
  EXPECT_EQ(48u, offsetof(Domain, nx));
  EXPECT_EQ(52u, offsetof(Domain, ny));
  EXPECT_EQ(56u, offsetof(Domain, ellipsoid));
}

TEST(DomRecord, InitMarksEverythingMissingAndSphere) {
  Domain d;
  std::memset(&d, 0x5a, sizeof d);
  EXPECT_EQ(0, DOM_init(d));
  EXPECT_EQ(-9999, d.proj);
  const float reals[] = {d.plat, d.plon, d.param1, d.param2, d.param3, d.param4,
                         d.param5, d.clat, d.clon, d.dx, d.dy};
  for (const float v : reals) EXPECT_EQ(-9999.0f, v);
  EXPECT_EQ(-9999, d.nx);
  EXPECT_EQ(-9999, d.ny);
  EXPECT_EQ(0, d.ellipsoid);
}
