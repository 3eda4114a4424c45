#pragma once
// The 120 x 120 head picture of a singer: a silhouette on a gradient in the singer's colour.

#include <string>

namespace songservice {

bool drawSingerPortrait(const std::string& pngPath, unsigned hue, unsigned variant);

}  // namespace songservice
