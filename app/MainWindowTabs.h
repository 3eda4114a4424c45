#pragma once
// The tab switcher: the three tabs and the two group headers of tab 1, which buttons show
// which pictures and which lists are shown. The tab buttons and the search both switch
// through it. Each function reads and updates the tab state of the parts it is given. UI
// thread only.

#include <optional>

#include "app/MainWindowParts.h"

namespace app {

// Gives the button its looks from the picture table and remembers which entries they are;
// a look not given stays what it was.
void SetLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, ButtonPicture normal,
              std::optional<ButtonPicture> hover = std::nullopt, std::optional<ButtonPicture> pressed = std::nullopt);
// Creates the button with its looks (hover and pressed default to normal), remembered too.
void CreateWithLooks(MainWindowParts& parts, ui::controls::ExImageButton& button, ui::controls::RectF bounds,
                     ButtonPicture normal, std::optional<ButtonPicture> hover = std::nullopt,
                     std::optional<ButtonPicture> pressed = std::nullopt);
// Gives every button the table entries it shows again, after the table was reloaded.
void ShowLooksAgain(MainWindowParts& parts);

void ClickTab1(MainWindowParts& parts);
void ClickTab2(MainWindowParts& parts);
void ClickTab3(MainWindowParts& parts);
void ClickGroupHeader1(MainWindowParts& parts);
void ClickGroupHeader2(MainWindowParts& parts);
// A search makes tab 2 active before it refills the result list: the list is hidden while
// it waits, and an open preset list stays as it is.
void EnterResultsTabForSearch(MainWindowParts& parts);

// The result list is shown on tab 2 only when it holds more rows than this.
inline constexpr int kResultRowsBeforeShown = 5;

}  // namespace app
