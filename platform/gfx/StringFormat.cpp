#include "platform/gfx/StringFormat.h"

namespace platform::gfx {

const StringFormat& StringFormat::genericTypographic() {
  static const StringFormat format = [] {
    StringFormat f;
    f.flags = kFlagNoFitBlackBox | kFlagLineLimit | kFlagNoClip;
    f.trimming = kTrimmingNone;
    f.typographic = true;
    return f;
  }();
  return format;
}

}  // namespace platform::gfx
