#pragma once
// A fixed-size fingerprint of the byte pairs and triples in a text. When a word occurs in a
// text, every bit of the word's signature is set in the text's, so a search tests a song's 32
// bytes before it reads the song's text; most songs without the word fail that test.

#include <array>
#include <cstdint>
#include <string_view>

namespace songservice {

class TextSignature {
 public:
  // The pairs and triples of the text (a word shorter than two bytes sets nothing).
  static TextSignature of(std::string_view text);

  void add(const TextSignature& other) {
    for (std::size_t i = 0; i < bits_.size(); ++i) bits_[i] |= other.bits_[i];
  }

  // Whether every bit of part is set here: false means part is in no text with this signature.
  bool covers(const TextSignature& part) const {
    std::uint64_t missing = 0;
    for (std::size_t i = 0; i < bits_.size(); ++i) missing |= part.bits_[i] & ~bits_[i];
    return missing == 0;
  }

 private:
  std::array<std::uint64_t, 4> bits_{};
};

}  // namespace songservice
