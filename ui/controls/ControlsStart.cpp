#include "ui/controls/ControlsStart.h"

#include <memory>

#include "ui/controls/StandardDecorations.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

void start() {
  ui::start();
  setDecorationFactory(std::make_unique<StandardDecorations>());
}

}  // namespace ui::controls
