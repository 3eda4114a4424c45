#include "ui/controls/ExImageList.h"

#include "assets/EmbeddedArtwork.h"
#include "resources/ExImage.h"

namespace ui {

namespace gfx = platform::gfx;

ImageListTable& ImageListTable::instance() {
  // Never destroyed, so that global lists can still leave it at exit.
  static ImageListTable* table = new ImageListTable();
  return *table;
}

int ImageListTable::add(ExImageList* list) {
  lists_.push_back(list);
  return static_cast<int>(lists_.size());
}

void ImageListTable::remove(int handle) {
  if (handle >= 1 && handle <= static_cast<int>(lists_.size())) lists_[static_cast<std::size_t>(handle) - 1] = nullptr;
}

ExImageList* ImageListTable::find(int handle) const {
  if (handle < 1 || handle > static_cast<int>(lists_.size())) return nullptr;
  return lists_[static_cast<std::size_t>(handle) - 1];
}

ExImageList::~ExImageList() {
  ImageListTable::instance().remove(handle_);
}

ExImageList::ExImageList(const ExImageList& other)
    : cellWidth_(other.cellWidth_), cellHeight_(other.cellHeight_) {
  for (const auto& picture : other.images_) images_.push_back(picture ? picture->clone() : nullptr);
  if (other.handle_ != 0) handle_ = ImageListTable::instance().add(this);
}

void ExImageList::create(int cellWidth, int cellHeight) {
  cellWidth_ = cellWidth;
  cellHeight_ = cellHeight;
  if (handle_ == 0) handle_ = ImageListTable::instance().add(this);
}

void ExImageList::clear() { images_.clear(); }

int ExImageList::append(std::unique_ptr<gfx::Image> image) {
  images_.push_back(std::move(image));
  return count();
}

int ExImageList::addFromIcon(const gfx::IconRecord& icon) { return append(resources::ExImage::ConvertIcon(icon)); }

int ExImageList::addFromMemory(const platform::system::ByteBlock& bytes) { return append(gfx::Image::fromBytes(bytes)); }

int ExImageList::addFromBitmap(const gfx::Surface& bitmap) { return append(gfx::Image::fromBitmap(bitmap)); }

int ExImageList::addFromResource(std::string_view name) {
  return append(gfx::Image::fromBytes(assets::embeddedPicture(name)));
}

const gfx::Image* ExImageList::image(int index) const {
  if (index < 1 || index > count()) return nullptr;
  return images_[static_cast<std::size_t>(index) - 1].get();
}

void ExImageList::draw(int index, gfx::Graphics& g, float x, float y, std::optional<float> width,
                       std::optional<float> height) const {
  const gfx::Image* picture = image(index);
  if (!picture) return;
  const gfx::RectF source{0, 0, float(picture->width()), float(picture->height())};
  if (width || height) {
    g.drawImage(*picture, gfx::RectF{x, y, width.value_or(source.width), height.value_or(source.height)}, source);
  } else {
    g.drawImage(*picture, x, y);
  }
}

}  // namespace ui
