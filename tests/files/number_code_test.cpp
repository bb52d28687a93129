// Tests of the compact number code (exponent times 100 plus two digits).
#include "files/files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(FilesNumberCode, PacksExponentAndTwoLeadingDigits) {
  const struct {
    float value;
    int code;
  } cases[] = {
      {500.0f, 250}, {850.0f, 285}, {1000.0f, 310}, {100.0f, 210}, {99.9f, 199},
      {50.0f, 150},  {10.0f, 110},  {5.0f, 50},     {2.5f, 25},    {1.0f, 10},
      {5000.0f, 350}, {-500.0f, -250}, {0.0f, 0},   {-0.0f, 0},    {101325.0f, 510},
      {273.15f, 227}, {9.99f, 99},
  };
  for (const auto &c : cases) EXPECT_EQ(c.code, float2int(c.value)) << c.value;
}

TEST(FilesNumberCode, MagnitudesBelowOneKeepTheirLeadingDigits) {
  const struct {
    float value;
    int code;
  } cases[] = {
      {0.5f, 950}, {0.25f, 925}, {0.1f, 910}, {0.254f, 925}, {0.05f, 850}, {0.01f, 810}, {-0.5f, -950},
      {0.7f, 970}, {0.3f, 930}, {0.099f, 899}, {0.001f, 710}, {0.999f, 999},
  };
  for (const auto &c : cases) EXPECT_EQ(c.code, float2int(c.value)) << c.value;
  EXPECT_NE(float2int(0.5f), float2int(0.1f));
}

TEST(FilesNumberCode, NonFiniteAndExtremeValuesDoNotCrash) {
  EXPECT_EQ(0, float2int(std::numeric_limits<float>::quiet_NaN()));
  EXPECT_EQ(0, float2int(std::numeric_limits<float>::infinity()));
  EXPECT_EQ(0, float2int(-std::numeric_limits<float>::infinity()));
  EXPECT_EQ(3834, float2int(std::numeric_limits<float>::max()));
  float2int(std::numeric_limits<float>::denorm_min());
  float2int(std::numeric_limits<float>::min());
}
