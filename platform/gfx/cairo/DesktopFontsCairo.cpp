#include <cstdlib>
#include <fstream>
#include <optional>
#include <vector>

#include "platform/gfx/Font.h"

namespace platform::gfx {

namespace {

// Reads "gtk-font-name = Family Style Size" from a GTK settings file.
std::optional<std::string> fontNameFromSettings(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq);
    key.erase(key.find_last_not_of(" \t") + 1);
    key.erase(0, key.find_first_not_of(" \t"));
    if (key != "gtk-font-name") continue;
    std::string value = line.substr(eq + 1);
    value.erase(0, value.find_first_not_of(" \t\""));
    value.erase(value.find_last_not_of(" \t\r\"") + 1);
    std::string family = familyOfFontName(value);
    if (family.empty()) return std::nullopt;
    return family;
  }
  return std::nullopt;
}

}  // namespace

std::string desktopFamily() {
  std::vector<std::string> files;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    files.push_back(std::string(config) + "/gtk-3.0/settings.ini");
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    files.push_back(std::string(home) + "/.config/gtk-3.0/settings.ini");
  }
  files.push_back("/etc/gtk-3.0/settings.ini");
  for (const std::string& file : files) {
    if (auto family = fontNameFromSettings(file)) return *family;
  }
  return resolveFamily("sans-serif");
}

std::string chineseFamily() { return resolveFamily("sans-serif:lang=zh-cn"); }

}  // namespace platform::gfx
