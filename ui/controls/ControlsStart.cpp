#include "ui/controls/ControlsStart.h"

#include <memory>

#include "ui/controls/StandardDecorations.h"
#include "ui/controls/StandardMessageBoxParts.h"
#include "ui/framework/Framework.h"

namespace ui::controls {

void start() {
  ui::start();
  setDecorationFactory(std::make_unique<StandardDecorations>());
  setMessageBoxPartFactory(std::make_unique<StandardMessageBoxParts>());
}

}  // namespace ui::controls
