#include "ui/controls/AreaFade.h"

#include <algorithm>
#include <cstdint>

#include "ui/framework/Drawing.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

using platform::gfx::RectI;

namespace {

constexpr std::uint32_t kFull = 255;

// (from * (255 - level) + to * level) / 255 for each premultiplied channel.
std::uint32_t mix(std::uint32_t from, std::uint32_t to, std::uint32_t level) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t f = (from >> shift) & 0xFF, t = (to >> shift) & 0xFF;
    out |= ((f * (kFull - level) + t * level + 127) / kFull) << shift;
  }
  return out;
}

}  // namespace

void AreaFade::start(const platform::gfx::Surface& shown, RectI area, int level) {
  stop();
  area_ = intersect(area, {0, 0, shown.unitWidth(), shown.unitHeight()});
  if (area_.width <= 0 || area_.height <= 0 || level <= 0) {
    area_ = {};
    return;
  }
  kept_ = platform::gfx::Surface::createScaled(area_.width, area_.height, shown.scale());
  if (!kept_.valid()) {
    area_ = {};
    return;
  }
  kept_.copyFrom(shown, area_.x, area_.y, area_.width, area_.height, 0, 0);
  level_ = std::min(level, static_cast<int>(kFull));
}

void AreaFade::stop() {
  kept_ = platform::gfx::Surface{};
  area_ = {};
  level_ = 0;
}

bool AreaFade::step() {
  if (level_ <= 0 || level_ >= static_cast<int>(kFull)) {
    stop();
    return false;
  }
  level_ = nextFadeLevel(level_);
  return true;
}

void AreaFade::blendOver(platform::gfx::Surface& shown, RectI clip) {
  if (level_ <= 0 || level_ >= static_cast<int>(kFull) || !kept_.valid()) return;
  const RectI area = intersect(intersect(clip, area_), {0, 0, shown.unitWidth(), shown.unitHeight()});
  mixKeptIntoShown(shown, kept_, area_, area, level_);
}

void mixKeptIntoShown(platform::gfx::Surface& shown, platform::gfx::Surface& kept, RectI keptArea, RectI area,
                      int level) {
  if (area.width <= 0 || area.height <= 0 || kept.scale() != shown.scale()) return;
  std::uint32_t* to = shown.mutablePixels();
  std::uint32_t* from = kept.mutablePixels();
  if (to == nullptr || from == nullptr) return;
  // In device pixels from here: the kept surface's first pixel is the one its area's
  // corner falls in.
  const double s = shown.scale();
  const RectI keptPixels = intersect(platform::gfx::pixelRectOf(keptArea, s),
                                     {platform::gfx::pixelsFloor(keptArea.x, s), platform::gfx::pixelsFloor(keptArea.y, s),
                                      kept.width(), kept.height()});
  const RectI pixels = intersect(intersect(platform::gfx::pixelRectOf(area, s), keptPixels),
                                 {0, 0, shown.width(), shown.height()});
  if (pixels.width <= 0 || pixels.height <= 0) return;
  keptArea = keptPixels;
  area = pixels;
  const int toStride = shown.strideBytes() / 4, fromStride = kept.strideBytes() / 4;
  const auto amount = static_cast<std::uint32_t>(level);
  for (int y = area.y; y < area.y + area.height; ++y) {
    std::uint32_t* t = to + static_cast<std::ptrdiff_t>(y) * toStride;
    std::uint32_t* f = from + static_cast<std::ptrdiff_t>(y - keptArea.y) * fromStride;
    for (int x = area.x; x < area.x + area.width; ++x) {
      const std::uint32_t mixed = mix(f[x - keptArea.x], t[x], amount);
      t[x] = mixed;
      f[x - keptArea.x] = mixed;
    }
  }
  shown.markDirty();
  kept.markDirty();
}

}  // namespace ui::controls
