#pragma once
// The program's texts as the program shows them (GBK). The sources hold them as UTF-8 and
// convert each once.

#include <string>

namespace app {

// The main window's title, by which a second start finds the running one.
const std::string& MainWindowTitle();
// The search box's initial content; searching for it means no keyword was typed.
const std::string& SearchHintText();
const std::string& BadKeywordMessage();
const std::string& ErrorTitle();
const std::string& UnplayableSongMessage();
// A search that got no answer at all from the service at address (host:port).
std::string UnreachableServiceMessage(const std::string& address);
// The change-appearance window: its title, the file dialog's title and its filter.
const std::string& SkinDialogTitle();
const std::string& SkinFileDialogTitle();
const std::string& SkinFileDialogFilter();

}  // namespace app
