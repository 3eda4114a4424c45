#include "app/DesktopSession.h"

namespace app {

struct DesktopSession::Parts {};

DesktopSession::DesktopSession(Player&, MainWindow&, audio::AudioEngine&, bool) : parts_(new Parts) {}

DesktopSession::~DesktopSession() = default;

void DesktopSession::stop() {}

}  // namespace app
