#pragma once
// The forms a song's texts take: shown (file names that are not UTF-8 decoded as GBK), folded
// for searching, and written into answers in GBK so that the client, which cuts answers by
// markers, never meets a marker inside a title.

#include <string>
#include <string_view>

namespace songservice {

// UTF-8 for a file or folder name's bytes: as they are when they are UTF-8, else decoded as
// GBK when that works, else with the bad bytes replaced.
std::string nameText(std::string_view bytes);

// Valid UTF-8, bad sequences replaced.
std::string validUtf8(std::string_view text);

// Case-folded UTF-8 of a UTF-8 text (any bytes accepted).
std::string folded(std::string_view text);

// The GBK form of a title, singer or album in answers: '"' and '\' become their full-width
// forms, control characters blanks, characters GBK lacks '?', and "},{" "}, {".
std::string answerForm(std::string_view utf8);

// ASCII letters lowered, other bytes kept.
std::string asciiLowered(std::string_view text);

}  // namespace songservice
