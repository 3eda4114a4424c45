#include "platform/audio/Id3GainTags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::audio {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes sizeBytes(std::size_t size, bool synchsafe) {
  int shift = synchsafe ? 7 : 8;
  unsigned mask = synchsafe ? 0x7f : 0xff;
  return {static_cast<unsigned char>((size >> 3 * shift) & mask), static_cast<unsigned char>((size >> 2 * shift) & mask),
          static_cast<unsigned char>((size >> shift) & mask), static_cast<unsigned char>(size & mask)};
}

Bytes frame(int major, const Bytes& body, unsigned char format = 0) {
  Bytes out{'T', 'X', 'X', 'X'};
  Bytes size = sizeBytes(body.size(), major == 4);
  out.insert(out.end(), size.begin(), size.end());
  out.push_back(0);
  out.push_back(format);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes tag(int major, const Bytes& frames, unsigned char flags = 0) {
  Bytes out{'I', 'D', '3', static_cast<unsigned char>(major), 0, flags};
  Bytes size = sizeBytes(frames.size(), true);
  out.insert(out.end(), size.begin(), size.end());
  out.insert(out.end(), frames.begin(), frames.end());
  return out;
}

Bytes latin1(const std::string& description, const std::string& value) {
  Bytes out{0};
  out.insert(out.end(), description.begin(), description.end());
  out.push_back(0);
  out.insert(out.end(), value.begin(), value.end());
  return out;
}

Bytes utf16(const std::string& description, const std::string& value) {
  Bytes out{1};
  for (const std::string* text : {&description, &value}) {
    out.insert(out.end(), {0xff, 0xfe});
    for (char c : *text) out.insert(out.end(), {static_cast<unsigned char>(c), 0});
    out.insert(out.end(), {0, 0});
  }
  return out;
}

Id3GainTags read(const Bytes& bytes) { return id3GainTags(bytes.data(), bytes.size()); }

TEST(Id3GainTagsTest, ReadsGainAndPeakInEveryEncodingAndVersion) {
  Bytes v3 = frame(3, utf16("replaygain_track_gain", "-6.00 dB"));
  Bytes peak = frame(3, latin1("REPLAYGAIN_TRACK_PEAK", "0.5"));
  v3.insert(v3.end(), peak.begin(), peak.end());
  Id3GainTags tags = read(tag(3, v3));
  EXPECT_EQ(tags.gain, "-6.00 dB");
  EXPECT_EQ(tags.peak, "0.5");

  // Version 4: a group byte and a data-length indicator before the text.
  Bytes body{7, 0, 0, 0, 30};
  Bytes text = latin1("REPLAYGAIN_TRACK_GAIN", "+3.00 dB");
  body.insert(body.end(), text.begin(), text.end());
  tags = read(tag(4, frame(4, body, 0x41)));
  EXPECT_EQ(tags.gain, "+3.00 dB");
  EXPECT_FALSE(tags.peak);
}

TEST(Id3GainTagsTest, IgnoresOtherFramesAndStopsAtDamage) {
  Bytes frames = frame(3, latin1("REPLAYGAIN_ALBUM_GAIN", "+1.00 dB"));
  Bytes broken = frame(3, latin1("REPLAYGAIN_TRACK_GAIN", "+2.00 dB"));
  broken[7] = 0x7f;  // claims more bytes than the tag holds
  frames.insert(frames.end(), broken.begin(), broken.end());
  Bytes whole = tag(3, frames);
  Id3GainTags tags = read(whole);
  EXPECT_FALSE(tags.gain);
  // A tag cut short is read no further than its bytes.
  EXPECT_FALSE(id3GainTags(whole.data(), 12).gain);
  EXPECT_FALSE(read(Bytes{'I', 'D', '3'}).gain);
}

}  // namespace
}  // namespace platform::audio
