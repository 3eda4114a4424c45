#include "app/MainWindowParts.h"

namespace app {

MainWindowParts& mainParts() {
  // Built before the window and released at exit, after the message loop has ended.
  static MainWindowParts parts;
  return parts;
}

}  // namespace app
