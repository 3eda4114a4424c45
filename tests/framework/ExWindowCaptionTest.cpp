// The host's own controls and window handling: caption buttons through the factory, the
// icon panel's system menu, double-click maximise, resize borders and title updates.

#include "tests/framework/HostTestSupport.h"

using namespace hosttest;

namespace {

// What the caption-button class does on a click: tell the host what to do.
class CaptionStub : public RecordingControl {
 public:
  explicit CaptionStub(int captionBit) : bit(captionBit) {}
  LRESULT onMessage(HWND host, UINT message, WPARAM wParam, LPARAM lParam, int windowIndex,
                    int controlIndex) override {
    if (message == ui::kMsgClick) {
      if (bit == ui::kCaptionClose) SendMessageA(host, WM_SYSCOMMAND, SC_CLOSE, 0);
      if (bit == ui::kCaptionMaximize) SendMessageA(host, WM_SYSCOMMAND, IsZoomed(host) ? SC_RESTORE : SC_MAXIMIZE, 0);
      if (bit == ui::kCaptionMinimize) SendMessageA(host, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    return RecordingControl::onMessage(host, message, wParam, lParam, windowIndex, controlIndex);
  }
  int bit;
};

struct StubFactory : ui::DecorationFactory {
  std::unique_ptr<ControlObject> makeCaptionButton(HWND, int bit, RectF bounds) override {
    auto b = std::make_unique<CaptionStub>(bit);
    b->bounds = bounds;
    made.push_back(b.get());
    return b;
  }
  std::unique_ptr<ControlObject> makeIconPanel(HWND, RectF bounds) override {
    auto p = std::make_unique<RecordingControl>();
    p->bounds = bounds;
    panel = p.get();
    return p;
  }
  std::vector<CaptionStub*> made;
  RecordingControl* panel = nullptr;
};

class CaptionTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    auto f = std::make_unique<StubFactory>();
    factory = f.get();
    ui::setDecorationFactory(std::move(f));
  }
  void TearDown() override {
    HostTest::TearDown();
    ui::setDecorationFactory(nullptr);
  }
  ExWindow& withCaption(HWND w, int set) {
    ui::AttachOptions o = noCaption();
    o.captionButtonSet = set;
    return attached(w, o);
  }
  StubFactory* factory = nullptr;
};

}  // namespace

TEST_F(CaptionTest, ButtonsSitRightAlignedAndFollowMaximise) {
  HWND w = makeWindow(300, 200);
  ExWindow& host = withCaption(w, 1 | 4 | 8 | 16 | 64);
  ASSERT_EQ(factory->made.size(), 4u);
  // Close 39 wide at the right (300 - 5 - 3 = 292), then 28 wide ones leftwards.
  std::vector<std::pair<int, float>> places;
  for (auto* b : factory->made) places.push_back({b->bit, b->bounds.x});
  EXPECT_EQ(places, (std::vector<std::pair<int, float>>{{4, 253}, {8, 225}, {16, 197}, {64, 169}}));
  EXPECT_FLOAT_EQ(factory->made[0]->bounds.y, 6);
  EXPECT_FLOAT_EQ(factory->made[0]->bounds.height, 19);
  ASSERT_NE(factory->panel, nullptr);
  EXPECT_FLOAT_EQ(factory->panel->bounds.x, 6);
  EXPECT_FLOAT_EQ(factory->panel->bounds.width, 16);

  for (auto* b : factory->made) EXPECT_EQ(host.captionButtonBit(b->id()), b->bit);
  EXPECT_EQ(host.captionButtonBit(factory->panel->id()), 0);
  EXPECT_EQ(host.captionButtonBit(77), 0);
  const ui::ControlRecord* r = ui::controlRecord(host.windowIndex(), ui::controlIndexOf(host.windowIndex(), factory->made[0]->id()));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->kind, ui::kKindCaptionButton);

  // The maximise button's click maximises; the buttons move to the edge (margin 0).
  std::vector<int> kinds;
  host.onClick([&](HWND, int, ControlObject*, int kind) -> LRESULT { return kinds.push_back(kind), 0; });
  desk->click(w, 235, 10);
  desk->pump();
  EXPECT_TRUE(IsZoomed(w));
  EXPECT_EQ(kinds, (std::vector<int>{1}));
  RECT client;
  GetClientRect(w, &client);
  EXPECT_FLOAT_EQ(factory->made[0]->bounds.x, static_cast<float>(client.right - 3 - 39));
  EXPECT_FLOAT_EQ(factory->made[0]->bounds.y, 1);
  EXPECT_FLOAT_EQ(r->bounds.x, factory->made[0]->bounds.x);
  // Minimise, then the close button closes.
  desk->advance(1000);
  SendMessageA(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  desk->click(w, 210, 10);
  desk->pump();
  EXPECT_TRUE(IsIconic(w));
  SendMessageA(w, WM_SYSCOMMAND, SC_RESTORE, 0);
  desk->advance(1000);
  desk->click(w, 270, 10);
  desk->pump();
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(CaptionTest, WithoutAFactoryThereAreNoButtonsAndTabSkipsTheDecorations) {
  HWND w = makeWindow();
  ExWindow& host = withCaption(w, 1 | 4);
  RecordingControl field;
  field.create(w, {10, 60, 50, 20});
  desk->pressKey(w, VK_TAB);
  desk->pressKey(w, VK_TAB);
  desk->pump();
  EXPECT_EQ(host.focusedControl(), ui::controlIndexOf(host.windowIndex(), field.id()));
  ui::setDecorationFactory(nullptr);
  HWND bare = makeWindow();
  ExWindow& plain = withCaption(bare, 1 | 4 | 8);
  EXPECT_EQ(ui::controlList(plain.windowIndex())->size(), 0u);
  EXPECT_EQ(plain.captionButtonSet(), 1 | 4 | 8);
}

TEST_F(CaptionTest, TheIconPanelOpensTheSystemMenu) {
  HWND w = makeWindow(200, 150, WS_POPUP | WS_MINIMIZEBOX);
  withCaption(w, 1 | 4);
  desk->answerMenu(std::nullopt);
  desk->click(w, 10, 10, MouseButton::Right);
  desk->pump();
  ASSERT_EQ(desk->menus().size(), 1u);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(desk->menus()[0].at.x, r.left + 10 + 5);
  EXPECT_EQ(desk->menus()[0].at.y, r.top + 10 + 10);
  desk->answerMenu(SC_MINIMIZE);
  desk->advance(1000);
  desk->click(w, 10, 10);  // a left click on it, too
  desk->pump();
  desk->pump();
  EXPECT_EQ(desk->menus().size(), 2u);
  EXPECT_TRUE(IsIconic(w));  // the choice came back as WM_COMMAND and became WM_SYSCOMMAND
}

TEST_F(HostTest, DoubleClickMaximisesOnlyInTheTopBandWithTheMaximiseBit) {
  for (const int set : {8, 4}) {
    HWND w = makeWindow(300, 200);
    ui::AttachOptions o = noCaption();
    o.captionButtonSet = set;
    attached(w, o);
    desk->doubleClick(w, 150, 40);  // below the band
    desk->pump();
    EXPECT_FALSE(IsZoomed(w));
    desk->advance(1000);
    desk->doubleClick(w, 150, 20);
    desk->pump();
    EXPECT_EQ(IsZoomed(w), set == 8);
    if (set == 8) {
      desk->advance(1000);
      desk->doubleClick(w, 150, 20);
      desk->pump();
      EXPECT_FALSE(IsZoomed(w));  // and restores
    }
  }
}

TEST_F(HostTest, ResizeBordersShowCursorsAndStartSizing) {
  HWND w = makeWindow(200, 150);
  ExWindow& host = attached(w);
  RecordingControl edge;
  edge.create(w, {0, 60, 30, 40});
  const struct {
    int x, y, cursor, edge;
  } zones[] = {{2, 2, IDC_SIZENWSE, WMSZ_TOPLEFT},     {100, 3, IDC_SIZENS, WMSZ_TOP},
               {195, 2, IDC_SIZENESW, WMSZ_TOPRIGHT},  {3, 80, IDC_SIZEWE, WMSZ_LEFT},
               {195, 80, IDC_SIZEWE, WMSZ_RIGHT},      {2, 145, IDC_SIZENESW, WMSZ_BOTTOMLEFT},
               {100, 145, IDC_SIZENS, WMSZ_BOTTOM},    {195, 145, IDC_SIZENWSE, WMSZ_BOTTOMRIGHT}};
  for (const auto& z : zones) {
    desk->mouseMove(w, 20, 80);  // onto the control, then onto the border
    desk->mouseMove(w, z.x, z.y);
    desk->pump();
    EXPECT_EQ(desk->cursor(w), z.cursor) << z.x << "," << z.y;
    desk->mouseDown(w, z.x, z.y);
    desk->pump();
    EXPECT_EQ(desk->resizeDragEdge(w), z.edge) << z.x << "," << z.y;
    desk->mouseUp(w, z.x, z.y);
    desk->pump();
    desk->advance(1000);
  }
  EXPECT_EQ(edge.count(WM_LBUTTONDOWN), 0);  // the border took the presses over the control
  EXPECT_NE(std::find(edge.paintOccasions().begin(), edge.paintOccasions().end(), ui::kPaintBorder),
            edge.paintOccasions().end());
  // A fixed-size window has no borders.
  host.fixedSize(1);
  desk->mouseDown(w, 3, 80);
  desk->pump();
  EXPECT_EQ(desk->resizeDragEdge(w), 0);
  EXPECT_EQ(edge.count(WM_LBUTTONDOWN), 1);
}

TEST_F(HostTest, SettingTheTextRedrawsTheTitle) {
  HWND w = makeWindow(300, 100);
  ui::AttachOptions o = noCaption();
  o.captionButtonSet = 2;
  o.backgroundColour = 0x00FFFFFF;
  SetWindowTextA(w, "");
  attached(w, o);
  auto darkPixels = [&] {
    int n = 0;
    for (int y = 11; y < 28; ++y) {
      for (int x = 13; x < 200; ++x) n += (desk->pixel(w, x, y) & 0xFFFFFF) < 0x404040;
    }
    return n;
  };
  EXPECT_EQ(darkPixels(), 0);
  desk->recordFrames(w, true);
  SetWindowTextA(w, "Title text");
  EXPECT_GT(darkPixels(), 10);
  ASSERT_EQ(desk->frames(w).size(), 1u);
  EXPECT_EQ(desk->frames(w)[0].dirty.top, 11);  // only the title band was pushed
}
