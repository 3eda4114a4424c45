#include "app/BackgroundWriter.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <vector>

namespace {

using app::BackgroundWriter;

// Records the values written, in order; a write can be held until the test lets it go.
class Disk {
 public:
  BackgroundWriter::Write writing(int value, bool lands = true) {
    return [this, value, lands] {
      if (value == heldValue_) {
        started_.set_value();
        held_.wait();
      }
      std::lock_guard lock(mutex_);
      written_.push_back(value);
      return lands;
    };
  }
  void holdWhileWriting(int value) { heldValue_ = value; }
  void release() { release_.set_value(); }
  // Returns once the held write has reached the disk.
  void waitUntilHeld() { started_.get_future().wait(); }
  std::vector<int> written() {
    std::lock_guard lock(mutex_);
    return written_;
  }

 private:
  int heldValue_ = -1;
  std::promise<void> started_;
  std::promise<void> release_;
  std::shared_future<void> held_ = release_.get_future().share();
  std::mutex mutex_;
  std::vector<int> written_;
};

TEST(BackgroundWriter, CallersDoNotWaitForASlowDiskAndTheLastValueLands) {
  Disk disk;
  disk.holdWhileWriting(1);
  BackgroundWriter writer;
  writer.submit(disk.writing(1));
  disk.waitUntilHeld();
  // The first write is stuck on the disk; everything after it returns at once and only
  // the newest of the queued values survives.
  for (int value = 2; value <= 100; ++value) writer.submit(disk.writing(value));
  disk.release();
  EXPECT_TRUE(writer.flush());
  std::vector<int> written = disk.written();
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written.back(), 100);
  EXPECT_LE(written.size(), 3u);
}

TEST(BackgroundWriter, FlushReportsTheLastWrite) {
  Disk disk;
  BackgroundWriter writer;
  EXPECT_TRUE(writer.flush());  // nothing written yet, nothing failed
  writer.submit(disk.writing(1, false));
  EXPECT_FALSE(writer.flush());
  writer.submit(disk.writing(2, true));
  EXPECT_TRUE(writer.flush());
  writer.submit([]() -> bool { throw std::bad_alloc(); });
  EXPECT_FALSE(writer.flush());
  EXPECT_EQ(disk.written(), (std::vector<int>{1, 2}));
}

TEST(BackgroundWriter, GoingAwayLandsTheWaitingWrite) {
  Disk disk;
  disk.holdWhileWriting(1);
  {
    BackgroundWriter writer;
    writer.submit(disk.writing(1));
    writer.submit(disk.writing(2));
    disk.release();
  }
  EXPECT_EQ(disk.written().back(), 2);
}

}  // namespace
