#include "net/TextBetween.h"

#include <gtest/gtest.h>

namespace {

using net::TextBetween;

TEST(TextBetween, CutsBetweenFirstLeftAndNextRight) {
  EXPECT_EQ(TextBetween("a=[1][2]", "[", "]"), "1");
  EXPECT_EQ(TextBetween(R"({"title":"A","singer":"B"})", R"("title":")", R"(")"), "A");
  EXPECT_EQ(TextBetween("xLLvalueRRyLLotherRR", "LL", "RR"), "value");
}

TEST(TextBetween, OnlyTheFirstLeftMarkerCounts) {
  // The right marker is missing after the first left marker; a later pair is not tried.
  EXPECT_EQ(TextBetween("<a <b>", "<", ">"), "a <b");
  EXPECT_EQ(TextBetween("]x[y", "[", "]"), "");
}

TEST(TextBetween, MissingOrEmptyGiveEmptyText) {
  EXPECT_EQ(TextBetween("no markers", "[", "]"), "");
  EXPECT_EQ(TextBetween("[open only", "[", "]"), "");
  EXPECT_EQ(TextBetween("[]", "[", "]"), "");
  EXPECT_EQ(TextBetween("", "[", "]"), "");
}

TEST(TextBetween, IsCaseSensitive) {
  EXPECT_EQ(TextBetween("<A>x</A>", "<a>", "</a>"), "");
  EXPECT_EQ(TextBetween("<A>x</A>", "<A>", "</A>"), "x");
}

TEST(TextBetween, RightMarkerMayNotOverlapTheLeft) {
  // "aba" found at 0; the right marker must start at or after position 3.
  EXPECT_EQ(TextBetween("abaXba", "aba", "ba"), "X");
}

TEST(TextBetween, KeepsBytesOutsideAscii) {
  std::string source = "k=\xB8\xE8\xC7\xFA;";
  EXPECT_EQ(TextBetween(source, "k=", ";"), "\xB8\xE8\xC7\xFA");
}

}  // namespace
