// The change-appearance window on a headless main window attached as the program attaches
// it, with 24 full-size skin pictures: a press on the skin caption button until the
// window's first picture is pushed, and a press on a preview until the main window has
// pushed its first frame with the new background. Both should stay under a frame (16 ms).
// TUNORA_SKIN_PACKAGE names a package to use instead of the generated pictures.

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <stdlib.h>

#include <cstdlib>
#include <iterator>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/MainWindowParts.h"
#include "app/MainWindowStart.h"
#include "app/SkinDialog.h"
#include "platform/window/WindowApi.h"
#include "platform/window/headless/HeadlessBackend.h"
#include "resources/ResourcePackageWriter.h"
#include "ui/controls/ControlsStart.h"

namespace {

namespace pw = platform::window;
using platform::system::ByteBlock;

// A 296 x 657 picture of gradients with a little grain: about the size of a drawn skin
// picture once compressed (tens of kilobytes).
ByteBlock picture(int seed) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 296, 657);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  unsigned grain = static_cast<unsigned>(seed) * 2654435761u + 1;
  for (int y = 0; y < 657; ++y) {
    for (int x = 0; x < 296; ++x) {
      grain = grain * 1103515245u + 12345u;
      guchar* p = pixels + y * stride + x * 3;
      p[0] = static_cast<guchar>((x + seed * 40) & 0xFF);
      p[1] = static_cast<guchar>((y / 3 + seed * 17) & 0xFF);
      p[2] = static_cast<guchar>(((x + y) / 4 + (grain >> 31)) & 0xFF);
    }
  }
  gchar* buffer = nullptr;
  gsize size = 0;
  gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "png", nullptr, nullptr);
  ByteBlock bytes(buffer, buffer + size);
  g_free(buffer);
  g_object_unref(pixbuf);
  return bytes;
}

struct Desk {
  Desk() {
    desk = &pw::HeadlessBackend::install();
    ui::controls::start();
    char pattern[] = "/tmp/tunora-skin-bench-XXXXXX";
    folder = mkdtemp(pattern);
    std::filesystem::create_directory(folder + "/Resource");
    std::string package;
    if (const char* given = std::getenv("TUNORA_SKIN_PACKAGE")) {
      std::ifstream in(given, std::ios::binary);
      package.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
      std::vector<ByteBlock> entries;
      for (int i = 0; i < app::kSkinPictureCount; ++i) entries.push_back(picture(i));
      package = resources::PackResourceEntries(entries).value();
    }
    packageBytes = static_cast<double>(package.size());
    std::ofstream(folder + "/Resource/Skin.rdb", std::ios::binary) << package;
    skin = picture(99);
    std::ofstream(folder + "/Resource/skin.png", std::ios::binary).write(reinterpret_cast<const char*>(skin.data()),
                                                                         static_cast<std::streamsize>(skin.size()));
    pw::WNDCLASSEXA wc;
    wc.lpfnWndProc = pw::DefWindowProcA;
    wc.lpszClassName = "SkinBenchMain";
    pw::RegisterClassExA(&wc);
    parts = std::make_unique<app::MainWindowParts>();
    parts->hwnd = pw::CreateWindowExA(0, "SkinBenchMain", "main", pw::WS_POPUP | pw::WS_SYSMENU | pw::WS_MINIMIZEBOX,
                                      50, 50, 296, 657, nullptr, nullptr);
    app::AttachMainWindow(*parts, parts->hwnd, app::ScaledPicture{skin, 1});
    pw::ShowWindow(parts->hwnd, pw::SW_SHOWNORMAL);
    desk->pump();
  }
  ~Desk() {
    skinWriter.flush();
    slot.reset();
    pw::DestroyWindow(parts->hwnd);
    parts.reset();
    std::filesystem::remove_all(folder);
  }
  pw::HeadlessBackend* desk = nullptr;
  std::string folder;
  ByteBlock skin;
  double packageBytes = 0;
  std::unique_ptr<app::MainWindowParts> parts;
  audio::AudioEngine engine;
  app::BackgroundWriter skinWriter;
  std::unique_ptr<app::SkinDialog> slot;
};

void BM_CaptionPressToSkinWindowDrawn(benchmark::State& state) {
  Desk d;
  d.parts->host.onClick([&d](pw::HWND, int id, ui::ControlObject*, int kind) -> pw::LRESULT {
    if (kind == ui::kKindCaptionButton && d.parts->host.captionButtonBit(id) == ui::kCaptionSkin) {
      app::OpenSkinDialog(d.slot, d.parts->host, d.folder, d.engine, d.skinWriter);
    }
    return 0;
  });
  for (auto _ : state) {
    d.desk->click(d.parts->hwnd, 207, 15);
    d.desk->pump();
    if (!d.slot || d.desk->presentCount(d.slot->handle()) == 0) {
      state.SkipWithError("the window was not drawn");
      break;
    }
    state.PauseTiming();
    pw::DestroyWindow(d.slot->handle());
    d.desk->pump();
    state.ResumeTiming();
  }
  state.counters["package_kB"] = d.packageBytes / 1000;
}
BENCHMARK(BM_CaptionPressToSkinWindowDrawn)->Unit(benchmark::kMillisecond);

void BM_PreviewPressToMainWindowRedrawn(benchmark::State& state) {
  Desk d;
  const pw::HWND dialog = app::OpenSkinDialog(d.slot, d.parts->host, d.folder, d.engine, d.skinWriter);
  d.desk->pump();
  int column = 0;
  for (auto _ : state) {
    const int before = d.desk->presentCount(d.parts->hwnd);
    d.desk->click(dialog, 20 + 143 * (column++ % 3) + 70, 135);
    d.desk->pump();
    // The fade's first frame comes with the framework timer's next tick; the desk's clock
    // jumps there without waiting, so only the work is timed.
    d.desk->advance(100);
    if (d.desk->presentCount(d.parts->hwnd) == before) {
      state.SkipWithError("the main window was not redrawn");
      break;
    }
    state.PauseTiming();
    d.desk->advance(500);  // the rest of the fade-in
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PreviewPressToMainWindowRedrawn)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
