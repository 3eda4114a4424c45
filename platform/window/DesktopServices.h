#pragma once
// Desktop services: screen metrics, the beep, the clipboard and the open-file dialog.
// Texts are in the ANSI code page, as everywhere in the program.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/Backend.h"
#include "platform/window/WindowTypes.h"

namespace platform::window {

// SM_CXSCREEN, SM_CYSCREEN, SM_CXMAXTRACK, SM_CYMAXTRACK, SM_CXDOUBLECLK, SM_CYDOUBLECLK;
// 0 for anything else.
int GetSystemMetrics(int index);
// SPI_GETWORKAREA fills the RECT that param points to; other actions fail.
bool SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni);
UINT GetDoubleClickTime();
bool MessageBeep(UINT type);

// Clipboard text, converted between the ANSI code page and the desktop's UTF-8.
bool setClipboardText(std::string_view ansi);
std::string clipboardText();

// Splits a filter of the form "name|pattern;pattern|name|pattern" into its entries.
// Empty names or pattern lists are skipped; a name without patterns at the end is dropped.
std::vector<FileFilter> parseFileFilter(std::string_view utf8Filter);

// The open-file dialog: title and filter in the ANSI code page. Gives the chosen file's
// native path (the bytes the file system uses), or nothing when the user cancels.
std::optional<std::string> openFileDialog(HWND owner, std::string_view titleAnsi,
                                          std::string_view filterAnsi);

}  // namespace platform::window
