#include "tools/song-service/library/LibraryScanner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <thread>

#include "tools/song-service/library/FolderWalk.h"
#include "tools/song-service/library/LibraryText.h"
#include "tools/song-service/library/ScanProgress.h"
#include "tools/song-service/library/TagReader.h"

namespace songservice {
namespace {

using Clock = std::chrono::steady_clock;


// Names that say "audio" make a file worth a word when it turns out to be none.
bool namedLikeAudio(const std::string& path) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = asciiLowered(path.substr(dot + 1));
  for (const char* known : {"mp3", "ogg", "oga", "opus", "flac", "wav"})
    if (extension == known) return true;
  return false;
}

std::string stemOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string name = path.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return nameText(name);
}

std::string folderNameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return {};
  std::size_t before = path.rfind('/', slash - 1);
  return nameText(path.substr(before + 1, slash - before - 1));
}

}  // namespace

void skipLine(const std::string& path, const std::string& why) {
  std::fprintf(stderr, "tunora-song-service: skipping %s: %s\n", validUtf8(path).c_str(), why.c_str());
}

SongRecord examineFile(const std::string& path, long long size, long long mtimeNs, std::string* why) {
  SongRecord record;
  record.path = path;
  record.size = size;
  record.mtimeNs = mtimeNs;
  std::shared_ptr<OpenFile> file = OpenFile::open(path);
  if (!file) {
    *why = std::strerror(errno);
    return record;
  }
  MediaKind kind = detectFileKind(*file);
  file.reset();
  if (kind == MediaKind::None) {
    if (namedLikeAudio(path)) *why = "not a format the player plays, or damaged";
    return record;
  }
  auto tags = readSongTags(path, kind);
  if (!tags) {
    *why = "damaged or unreadable";
    return record;
  }
  record.kind = kind;
  record.title = tags->title.empty() ? stemOf(path) : validUtf8(tags->title);
  record.singer = tags->artist.empty() ? folderNameOf(path) : validUtf8(tags->artist);
  record.album = validUtf8(tags->album);
  record.track = tags->track;
  record.year = tags->year;
  record.millis = tags->millis;
  record.kbps = tags->kbps;
  record.cover = tags->cover;
  return record;
}

LibraryScanner::LibraryScanner(LibraryDatabase& database, std::vector<std::string> roots, bool quiet)
    : database_(database), roots_(std::move(roots)), quiet_(quiet) {}

ScanOutcome LibraryScanner::scan(const std::function<void(const std::vector<SongRecord>&)>& publish,
                                 const std::atomic<bool>& cancel) {
  const auto started = Clock::now();
  ScanOutcome outcome;
  ScanProgress progress = compareAndRead(outcome, publish, cancel);
  // The comparison's paths are gone by now: the full records are read after them, not
  // beside them, which keeps the peak down on a large folder.
  if (!cancel && (outcome.examined > 0 || outcome.removed > 0)) outcome.records = database_.recordsUnder(roots_);
  progress.finish(database_.songsUnder(roots_), outcome.removed,
                  std::chrono::duration<double>(Clock::now() - started).count());
  return outcome;
}

ScanProgress LibraryScanner::compareAndRead(ScanOutcome& outcome,
                                            const std::function<void(const std::vector<SongRecord>&)>& publish,
                                            const std::atomic<bool>& cancel) {
  // What the index holds, in path order, to find each file on disk in.
  std::vector<StoredFile> stored = database_.filesUnder(roots_);
  std::sort(stored.begin(), stored.end(), [](const StoredFile& a, const StoredFile& b) { return a.path < b.path; });
  std::vector<bool> seen(stored.size());

  FolderWalk walker;
  std::vector<std::string> walkedRoots;
  for (const std::string& root : roots_)
    if (walker.walk(root)) walkedRoots.push_back(root);
  outcome.folders = std::move(walker.folders);

  std::vector<const FoundFile*> changed;
  for (const FoundFile& file : walker.files) {
    auto known = std::lower_bound(stored.begin(), stored.end(), file.path,
                                  [](const StoredFile& a, const std::string& path) { return a.path < path; });
    if (known != stored.end() && known->path == file.path) {
      seen[static_cast<std::size_t>(known - stored.begin())] = true;
      if (known->size == file.size && known->mtimeNs == file.mtimeNs) continue;
    }
    changed.push_back(&file);
  }

  // Tags are read by a few threads a batch at a time; the batch is stored on this one.
  ScanProgress progress(changed.size(), quiet_ || changed.empty());
  const unsigned threads = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  constexpr std::size_t kBatch = 256;
  auto lastPublish = Clock::now();
  Clock::duration publishEvery = std::chrono::seconds(2);
  for (std::size_t batchStart = 0; batchStart < changed.size() && !cancel; batchStart += kBatch) {
    const std::size_t batchEnd = std::min(changed.size(), batchStart + kBatch);
    std::vector<SongRecord> read(batchEnd - batchStart);
    std::vector<std::string> why(read.size());
    std::atomic<std::size_t> next{batchStart};
    auto work = [&] {
      for (std::size_t i; (i = next++) < batchEnd;) {
        const FoundFile& file = *changed[i];
        read[i - batchStart] = examineFile(file.path, file.size, file.mtimeNs, &why[i - batchStart]);
      }
    };
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads && batchEnd - batchStart > 8; ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();

    database_.begin();
    for (std::size_t i = 0; i < read.size(); ++i) {
      if (!why[i].empty()) {
        progress.interrupt();
        skipLine(read[i].path, why[i]);
      }
      database_.store(read[i]);
    }
    database_.commit();
    outcome.examined += read.size();
    progress.advance(read.size());
    // Every couple of seconds, but never more than a tenth of the time on rebuilding the
    // answered index, which grows with the folder.
    if (Clock::now() - lastPublish > publishEvery) {
      const auto publishing = Clock::now();
      publish(database_.recordsUnder(roots_));
      lastPublish = Clock::now();
      publishEvery = std::max<Clock::duration>(std::chrono::seconds(2), 10 * (lastPublish - publishing));
    }
  }

  // What is stored under a folder read in full but was not found there is gone.
  database_.begin();
  for (std::size_t i = 0; i < stored.size() && !cancel; ++i) {
    const std::string& path = stored[i].path;
    bool underWalked = std::any_of(walkedRoots.begin(), walkedRoots.end(), [&](const std::string& root) {
      return path.compare(0, root.size() + 1, root + "/") == 0;
    });
    if (seen[i] || !underWalked) continue;
    database_.remove(stored[i].id);
    ++outcome.removed;
  }
  database_.commit();
  return progress;
}

}  // namespace songservice
