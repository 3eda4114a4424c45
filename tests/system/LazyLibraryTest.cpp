// Libraries opened on first call: the wrapped names work like the library's own, and a
// missing library stops the program with a message that names it.

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "platform/system/LazyLibrary.h"

namespace {

platform::system::LazyLibrary& mathLibrary() {
  static platform::system::LazyLibrary library("libm.so.6");
  return library;
}

}  // namespace

TEST(LazyLibrary, SymbolsResolveOnceFromManyThreads) {
  std::vector<std::thread> threads;
  std::vector<double> results(8);
  for (std::size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&results, i] {
      auto* cosine = reinterpret_cast<double (*)(double)>(mathLibrary().symbol("cos"));
      results[i] = cosine(0.0);
    });
  }
  for (auto& thread : threads) thread.join();
  for (double result : results) EXPECT_DOUBLE_EQ(result, 1.0);
  EXPECT_EQ(mathLibrary().symbol("cos"), mathLibrary().symbol("cos"));
}

TEST(LazyLibraryDeathTest, AMissingLibraryOrSymbolIsNamed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        platform::system::LazyLibrary missing("libtunora-no-such-library.so.9");
        missing.symbol("anything");
      },
      "cannot use anything from libtunora-no-such-library.so.9");
  EXPECT_DEATH(mathLibrary().symbol("tunora_no_such_function"), "tunora_no_such_function from libm.so.6");
}
