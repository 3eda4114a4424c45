#include "tools/framework-demo/DemoWindow.h"

#include <cstdio>

#include "platform/system/Files.h"
#include "platform/system/ProgramFolder.h"
#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "ui/controls/ControlsStart.h"

namespace demo {

namespace pw = platform::window;

namespace {

constexpr const char* kClassName = "TunoraFrameworkDemo";

pw::LRESULT demoProc(pw::HWND hwnd, pw::UINT message, pw::WPARAM wParam, pw::LPARAM lParam) {
  if (message == pw::WM_DESTROY) pw::PostQuitMessage(0);
  return pw::DefWindowProcA(hwnd, message, wParam, lParam);
}

platform::system::ByteBlock pictureBytes(const std::string& folder, const char* name) {
  auto bytes = platform::system::readWholeFile(platform::system::pathInFolder(folder, name));
  if (!bytes) std::fprintf(stderr, "missing %s in %s; showing without it\n", name, folder.c_str());
  return bytes.value_or(platform::system::ByteBlock{});
}

resources::ExImage imageFrom(const platform::system::ByteBlock& bytes) {
  resources::ExImage image;
  image.LoadFromBytes(bytes);
  return image;
}

}  // namespace

std::unique_ptr<DemoWindow> openDemoWindow(int x, int y, const std::string& pictureFolder, DemoLog log) {
  ui::controls::start();
  pw::WNDCLASSEXA wc;
  if (!pw::GetClassInfoExA(kClassName, &wc)) {
    wc.style = pw::CS_DBLCLKS;
    wc.lpfnWndProc = demoProc;
    wc.hCursor = pw::LoadCursorA(nullptr, pw::IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (pw::RegisterClassExA(&wc) == 0) return nullptr;
  }
  static const std::string title = platform::text::utf8ToAnsi("Tunora 框架演示");
  auto demo = std::make_unique<DemoWindow>();
  demo->hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED | pw::WS_EX_APPWINDOW, kClassName, title.c_str(),
                                   pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX, x, y, kWidth, kHeight,
                                   nullptr, nullptr);
  if (demo->hwnd == nullptr) return nullptr;

  ui::AttachOptions options;
  options.captionButtonSet = kCaptionSet;
  options.windowAlpha = 254;
  options.backgroundMode = 5;
  options.fixedSize = 1;
  const platform::system::ByteBlock background = pictureBytes(pictureFolder, "demo-background.png");
  if (!demo->host.attach(demo->hwnd, background, options)) {
    pw::DestroyWindow(demo->hwnd);
    return nullptr;
  }
  demo->host.setCloseEffect(ui::kCloseWipeTopToBottom);
  demo->host.layeredStyle(1);

  const platform::system::ByteBlock equaliser = pictureBytes(pictureFolder, "demo-equaliser.gif");
  ui::controls::PictureOptions animated;
  animated.animate = true;
  demo->playing.create(demo->hwnd, {36, 96, 48, 48}, imageFrom(equaliser), animated);
  demo->still.createFromData(demo->hwnd, {36, 156, 48, 48}, equaliser, 0xFFFFFFFFu);
  ui::controls::PictureOptions framed;
  framed.borderColour = 0xE6FFFFFFu;
  framed.takesPress = false;  // a press on it drags the window like the background
  demo->preview.create(demo->hwnd, {120, 96, 64, 142}, imageFrom(background), framed);
  createDemoList(*demo);
  createDemoSliders(*demo, log);

  createDemoButtons(*demo, pictureFolder);
  createDemoEdit(*demo);
  createDemoMessageBox(*demo, log);

  DemoWindow* self = demo.get();
  demo->host.onClick([self, log](pw::HWND, int controlId, ui::ControlObject*, int kind) -> pw::LRESULT {
    if (kind == ui::kKindCaptionButton) log("caption", controlId, self->host.captionButtonBit(controlId));
    else log("control", controlId, kind);
    if (controlId == self->playing.id()) self->playing.setAnimate(!self->playing.animate());
    return 0;
  });
  demo->host.onKeyDown([log](pw::HWND, int focusedId, pw::WPARAM key, pw::LPARAM) -> pw::LRESULT {
    log("key", focusedId, static_cast<int>(key));
    return 0;
  });
  demo->host.redraw(std::nullopt, std::nullopt, true);
  pw::ShowWindow(demo->hwnd, pw::SW_SHOWNORMAL);
  return demo;
}

}  // namespace demo
