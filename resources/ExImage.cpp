#include "resources/ExImage.h"

#include <utility>

#include "platform/text/CodePage.h"

namespace resources {

using platform::gfx::Image;

ExImage::ExImage(const ExImage& other) : image_(other.image_ ? other.image_->clone() : nullptr) {}

ExImage& ExImage::operator=(const ExImage& other) {
  if (this != &other) image_ = other.image_ ? other.image_->clone() : nullptr;
  return *this;
}

void ExImage::Release() { image_.reset(); }

Image* ExImage::take(std::unique_ptr<Image> image) {
  image_ = std::move(image);
  return image_.get();
}

Image* ExImage::LoadFromBytes(const platform::system::ByteBlock& bytes) {
  Release();
  if (bytes.empty()) return nullptr;
  return take(Image::fromBytes(bytes));
}

Image* ExImage::LoadFromFile(const std::string& path) {
  Release();
  if (path.empty()) return nullptr;
  if (auto image = Image::fromFile(path)) return take(std::move(image));
  return take(Image::fromFile(platform::text::ansiToUtf8(path)));
}

bool ExImage::CreateBitmap(int width, int height, int stride, const void* pixels, int pixelFormat) {
  Release();
  return take(Image::createBitmap(width, height, pixelFormat, stride, pixels)) != nullptr;
}

Image* ExImage::LoadFromIcon(const platform::gfx::IconRecord& icon) {
  Release();
  return take(ConvertIcon(icon));
}

Image* ExImage::LoadFromBitmapHandle(const platform::gfx::Surface& bitmap) {
  Release();
  return take(Image::fromBitmap(bitmap));
}

void ExImage::SetHandle(std::unique_ptr<Image> image) { image_ = std::move(image); }

int ExImage::GetWidth() const { return image_ ? image_->width() : 0; }
int ExImage::GetHeight() const { return image_ ? image_->height() : 0; }
platform::gfx::Argb ExImage::GetPixel(int x, int y) const { return image_ ? image_->pixel(x, y) : 0; }
int ExImage::GetFrameCount() const { return image_ ? image_->frameCount() : 0; }

bool ExImage::GetFrameDelays(std::vector<int>& delays) const {
  if (!image_ || !image_->frameDelays() || image_->frameDelays()->empty()) return false;
  delays = *image_->frameDelays();
  return true;
}

bool ExImage::SelectFrame(int index) { return image_ && image_->selectFrame(index); }

void ExImage::RotateFlip(int type) {
  if (image_) image_->rotateFlip(type);
}

std::unique_ptr<Image> ExImage::ConvertIcon(const platform::gfx::IconRecord& icon) {
  if (!icon.wellFormed()) return nullptr;
  if (icon.bitsPerPixel < 32) return Image::fromIcon(icon);
  // The colour bitmap's bytes read as straight ARGB (BGRA in memory).
  auto candidate = Image::createBitmap(icon.width, icon.height, platform::gfx::kPixelFormat32bppARGB,
                                       icon.width * 4, icon.colour.data());
  if (!candidate) return nullptr;
  for (std::uint32_t c : icon.colour) {
    const std::uint32_t alpha = c >> 24;
    if (alpha > 0 && alpha < 255) return candidate;  // real per-pixel alpha
  }
  return Image::fromIcon(icon);
}

}  // namespace resources
