#include "platform/text/Numbers.h"

#include <gtest/gtest.h>

namespace {

using platform::text::textToInteger;

TEST(TextToInteger, ReadsLeadingDigits) {
  EXPECT_EQ(textToInteger("73"), 73);
  EXPECT_EQ(textToInteger("  -12"), -12);
  EXPECT_EQ(textToInteger("+5"), 5);
  EXPECT_EQ(textToInteger("8080abc"), 8080);
  EXPECT_EQ(textToInteger("12.9"), 12);
  EXPECT_EQ(textToInteger("-12.9"), -12);
}

TEST(TextToInteger, TextWithoutDigitsIsZero) {
  EXPECT_EQ(textToInteger(""), 0);
  EXPECT_EQ(textToInteger("loud"), 0);
  EXPECT_EQ(textToInteger("-"), 0);
  EXPECT_EQ(textToInteger("0x10"), 0);
}

TEST(TextToInteger, ClampsToTheIntRange) {
  EXPECT_EQ(textToInteger("99999999999999999999"), 2147483647);
  EXPECT_EQ(textToInteger("-99999999999999999999"), -2147483647 - 1);
  EXPECT_EQ(textToInteger("-2147483648"), -2147483647 - 1);
}

}  // namespace
