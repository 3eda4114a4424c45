#pragma once
// A report list: rows of text cells in columns, optional row pictures from an image list,
// hover, pressed and selected row looks, alternate-row stripes and separator lines, with
// vertical and horizontal scroll bars made when the content first needs them. A row the
// pointer moves onto, presses or clicks fades into its new look as a button does; looks
// set by the program, and rows going back to normal, show at once. While it has the focus
// the navigation keys move the selection.
//
// Rows and columns count from 1; row or column numbers out of range are ignored by the
// setters and give empty answers from the getters. Only the rows in view are drawn: each
// row's texts and picture are rendered once into a small back buffer that holds the rows
// on screen, so filling a long list or scrolling it costs a few rows, not the whole list.
// Cell texts are program texts; a cell holding "line one\r\nline two" shows two lines,
// which needs rows of two text lines (see rowHeight). UI thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Font.h"
#include "platform/gfx/Surface.h"
#include "ui/controls/AreaFade.h"
#include "ui/controls/ExControl.h"
#include "ui/controls/ExScrollBar.h"

namespace ui::controls {

using platform::gfx::Argb;

struct ListColours {
  std::optional<Argb> text;     // 0xD2000000 when not given
  std::optional<Argb> rowBack;  // 0: rows take no fill
  std::optional<Argb> stripe;   // fill of every second row; 0: no stripes
  std::optional<Argb> accent;   // the window's theme colour at alpha 70
  std::optional<Argb> hover;    // hover and pressed gradient; 0x50FFFFFF
  std::optional<Argb> select;   // selected row fill; the hover colour
};

struct ListOptions {
  ListColours colours;
  std::string fontFace;  // program text; empty: the framework's default face
  std::optional<float> fontSize;  // pixels; 12 when a face or style is given
  std::optional<int> fontStyle;
  int flag = 1;
  int style = 0;
  bool visible = true;
};

// Display options set together; each given one replaces the stored value.
struct ListStyle {
  std::optional<int> clickOnly;  // non-zero: clicks leave the selection alone
  std::optional<int> option2;
  std::optional<int> option3;
  std::optional<int> imageList;  // handle of an ExImageList, 0 = none
  std::optional<int> gridFlags;  // 1: lines between columns, 2: lines under rows
  std::optional<Argb> lineColour;
  std::optional<int> option7;
};

class ExList : public ExControl {
 public:
  enum RowState : int { kNormal = 0, kHover = 1, kPressed = 2, kSelected = 3 };
  enum GridFlag : int { kGridColumns = 1, kGridRows = 2 };

  ExList();
  ~ExList() override;

  // Registers with kind 8; returns the id (a second create keeps it).
  int create(HWND host, RectF bounds, const ListOptions& options = {});
  // Sets the given options and redraws.
  void setStyle(const ListStyle& style);
  const ListStyle& style() const { return style_; }

  // Appends (position 0 or beyond the last) or inserts a column; returns the column count.
  // alignment 0..2 (near, centre, far) is stored as 3..5, which also centres vertically.
  int addColumn(int position, std::string title, std::optional<int> width = std::nullopt,
                std::optional<int> alignment = std::nullopt, int value1 = 0, int value2 = 0);
  int columnCount() const { return static_cast<int>(columns_.size()); }
  int columnWidth(int column) const;

  // Clears the selection, then appends a row of empty cells (or inserts it at position)
  // with a picture index of the image list (0 = none); returns its number, 0 without columns.
  int addRow(std::optional<int> position = std::nullopt, int picture = 0);
  // Removes every row, the selection and the scroll state.
  void clear();
  int rowCount() const { return static_cast<int>(rows_.size()); }
  bool validRow(int row, std::optional<int> column = std::nullopt) const;

  // A copy of the cell's text; empty for an invalid cell.
  std::string cellText(int row, int column) const;
  // Stores the text and shows it when the row is in view; answers a copy of it.
  std::string cellText(int row, int column, std::string text);
  int rowPicture(int row) const;
  void setRowPicture(int row, int picture);

  // With a state, sets the row's selected flag (state 3) or its hover/pressed look; then
  // repaints the row when it is in view.
  void setRowState(int row, std::optional<int> state = std::nullopt);
  // With a row, selects it alone (an invalid row clears the selection). Answers the
  // selected row, 0 for none.
  int selectedRow(std::optional<int> row = std::nullopt);
  bool rowSelected(int row) const;
  // Scrolls the least that shows the whole row (its top when it is taller than the view).
  void scrollIntoView(int row);
  // The look a row is painted in now.
  int rowState(int row) const;

  // The font's height + 5 unless set; a taller row leaves room for two-line cells and
  // pictures. Setting it (1..1000) relays the list out.
  int rowHeight(std::optional<int> value = std::nullopt);
  int topRow() const { return topRow_; }
  int bottomRow() const { return bottomRow_; }
  int hotRow() const { return hot_; }
  // Pixels scrolled from the top and from the left.
  int scrollTop() const { return scrollTop_; }
  int scrollLeft() const { return scrollLeft_; }
  RectF bodyRect() const { return body_; }
  RectF rowRect(int row) const;
  // The row at a client point, 0 outside the rows.
  int rowAt(int x, int y) const;
  int clickOnly() const { return style_.clickOnly.value_or(0); }
  // Not drawn by the list itself; kept for the owner.
  Argb accentColour() const { return accentColour_; }

  // nullptr until the content first needed the bar.
  ExScrollBar* verticalBar() const { return vScroll_.get(); }
  ExScrollBar* horizontalBar() const { return hScroll_.get(); }

  // Called with the row (0: below the rows) after a click, and after a right press.
  std::function<void(int row)> onClick;
  std::function<void(int row)> onRightClick;

  // How many rows have been rendered into the back buffer; for benchmarks and tests.
  long long renderedRows() const { return renderedRows_; }

 protected:
  void onPaint(LPARAM occasion) override;
  void onTimer(UINT_PTR timerId) override;
  void onMouseMove(int x, int y, WPARAM keys) override;
  void onLeftDown(int x, int y, WPARAM keys) override;
  void onDoubleClick(int x, int y, WPARAM keys) override { onLeftDown(x, y, keys); }
  void onLeftUp(int x, int y, WPARAM keys) override;
  void onRightDown(int x, int y, WPARAM keys) override;
  void onWheel(int delta, int x, int y) override;
  void onClickMessage(bool byKey) override;
  // Up, Down, Home, End, Page Up and Page Down move the selection and keep it in view.
  void onKeyDown(WPARAM virtualKey, LPARAM flags) override;
  void onHidden() override;
  void onShown() override;
  void onDestroy() override;

 private:
  struct Column {
    std::string title;
    int width = 50;
    int alignment = 3;
    int value1 = 0;
    int value2 = 0;
  };
  struct Row {
    std::vector<std::string> cells;
    std::vector<int> values;
    int picture = 0;
    int reserved = 0;
    bool selected = false;
  };

  // ExList.cpp
  // With fade, the row fades into its selected look.
  void selectFromPointer(int row, bool fade = false);
  void layoutScrollBars();
  void placeBar(std::unique_ptr<ExScrollBar>& bar, bool vertical, RectF where, int range, int page, bool shown);
  void onVScroll(int position);
  void onHScroll(int position);
  void updateVisibleRows();
  bool showsRows() const;
  // Repaints the rows first..last that are in view.
  void repaintRows(int first, int last);

  // ExListPaint.cpp
  void paintRow(Graphics& g, int row, int state);
  // Repaints the row in its look now, fading that in over what it showed from level.
  void fadeRowIn(int row, int level);
  void stopRowFade();
  // The pixels of the row inside the rows area; empty when it is out of view.
  platform::gfx::RectI visibleRowPixels(int row) const;
  // The back-buffer slot holding the row's texts and picture, rendered when it is stale.
  int renderedSlot(int row);
  void renderRow(int row, int slot);
  bool ensureBackBuffer();
  void forgetRendered();
  void forgetRendered(int row);

  ListStyle style_;
  Argb rowBackColour_ = 0;
  Argb textColour_ = 0xD2000000u;
  Argb hoverColour_ = 0x50FFFFFFu;
  Argb selectColour_ = 0x50FFFFFFu;
  Argb accentColour_ = 0;
  Argb stripeColour_ = 0;
  Argb lineColour_ = 0x46000000u;
  int gridFlags_ = kGridRows;
  std::unique_ptr<platform::gfx::Font> font_;
  RectF body_;
  int headerHeight_ = 0;
  int rowHeight_ = 17;
  int topRow_ = 0;
  int bottomRow_ = 0;
  int scrollTop_ = 0;
  int scrollLeft_ = 0;
  std::vector<Column> columns_;
  std::vector<Row> rows_;
  std::vector<int> selection_;
  int current_ = 0;
  int hot_ = 0;
  int pressed_ = 0;
  int pointerX_ = 0;
  int pointerY_ = 0;
  std::unique_ptr<ExScrollBar> hScroll_;
  std::unique_ptr<ExScrollBar> vScroll_;

  // The back buffer: slot s holds row slotRows_[s] (0 = nothing), rendered at scrollLeft_.
  platform::gfx::Surface backBuffer_;
  std::unique_ptr<Graphics> backGraphics_;
  std::vector<int> slotRows_;
  long long renderedRows_ = 0;

  // The one row fading into a new look (0 = none); only the fade's own repaints blend.
  AreaFade rowFade_;
  int fadingRow_ = 0;
  bool fadeRepaint_ = false;
};

}  // namespace ui::controls
