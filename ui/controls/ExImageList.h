#pragma once
// A numbered collection of pictures that lists draw row images from, registered in a
// process-wide table so that a list can find it by its handle. User-interface thread
// only.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/gfx/Graphics.h"
#include "platform/gfx/IconRecord.h"
#include "platform/gfx/Image.h"
#include "platform/system/ByteBlock.h"

namespace ui {

class ExImageList {
 public:
  ExImageList() = default;
  ~ExImageList();
  // A copy holds its own pictures and, when the original was created, its own handle.
  ExImageList(const ExImageList& other);
  ExImageList& operator=(const ExImageList&) = delete;

  // Stores the cell size and registers the list; a second call only updates the size.
  void create(int cellWidth, int cellHeight);
  void clear();

  // Each add appends one entry and returns the new count. A picture that cannot be
  // made still takes its place (and draws nothing), so later indices stay as the caller
  // numbered them.
  int addFromIcon(const platform::gfx::IconRecord& icon);
  // The bytes are decoded at once; the caller may free its copy afterwards.
  int addFromMemory(const platform::system::ByteBlock& bytes);
  int addFromBitmap(const platform::gfx::Surface& bitmap);
  // A picture built into the program, by name.
  int addFromResource(std::string_view name);

  // Picture index (from 1) at its own size, or scaled to the given size; an index outside
  // 1..count draws nothing.
  void draw(int index, platform::gfx::Graphics& g, float x, float y, std::optional<float> width = std::nullopt,
            std::optional<float> height = std::nullopt) const;

  int handle() const { return handle_; }
  int cellWidth() const { return cellWidth_; }
  int cellHeight() const { return cellHeight_; }
  int count() const { return static_cast<int>(images_.size()); }
  const platform::gfx::Image* image(int index) const;

 private:
  int append(std::unique_ptr<platform::gfx::Image> image);

  int cellWidth_ = 0;
  int cellHeight_ = 0;
  std::vector<std::unique_ptr<platform::gfx::Image>> images_;
  int handle_ = 0;
};

// The process-wide table of created image lists, addressed from 1.
class ImageListTable {
 public:
  static ImageListTable& instance();
  int add(ExImageList* list);
  void remove(int handle);
  // nullptr for an unknown or removed handle.
  ExImageList* find(int handle) const;

 private:
  std::vector<ExImageList*> lists_;
};

}  // namespace ui
