#include "tests/app/ClientTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/KeywordCheck.h"
#include "app/PlayerServices.h"
#include "app/ProgramTexts.h"
#include "platform/system/ProgramFolder.h"
#include "app/ServiceAddress.h"
#include "net/QueryEncoding.h"
#include "platform/text/CodePage.h"
#include "platform/window/WindowApi.h"
#include "tests/platform_audio/AudioTestSupport.h"
#include "ui/controls/ControlsStart.h"
#include "ui/controls/ExImageList.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/MessageBox.h"

namespace clienttest {
namespace {

pw::HeadlessBackend* theDesk = nullptr;
TestClient* theClient = nullptr;

resources::ExImage pictureOfWidth(int width) {
  resources::ExImage image;
  image.CreateBitmap(width, 1);
  return image;
}

std::string readMedia(const std::string& name) {
  std::ifstream in(audiotest::media(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

}  // namespace

std::string gbk(const char* utf8) { return platform::text::utf8ToAnsi(utf8); }

pw::HeadlessBackend& desk() { return *theDesk; }
TestClient& client() { return *theClient; }
app::MainWindowParts& mainParts() { return theClient->parts(); }

TestClient::TestClient()
    : player(engine,
             app::ProgramPlayerServices(
                 engine, platform::system::ProgramFiles::portable(platform::system::programFolder()), settings),
             50),
      window(player, engine, platform::system::ProgramFiles::portable(platform::system::programFolder()),
             skinWriter) {}

void createMainWindowParts() {
  if (theDesk != nullptr) return;
  theDesk = &pw::HeadlessBackend::install();
  ui::controls::start();
  pw::WNDCLASSEXA wc;
  wc.style = pw::CS_DBLCLKS;
  wc.lpfnWndProc = pw::DefWindowProcA;
  wc.hCursor = pw::LoadCursorA(nullptr, pw::IDC_ARROW);
  wc.lpszClassName = "ClientTestMain";
  pw::RegisterClassExA(&wc);

  // The picture lists' table must outlive the parts, which leave it at exit.
  ui::ImageListTable::instance();
  // Never destroyed: the framework's tables go at exit, after the window.
  theClient = new TestClient;
  app::MainWindowParts& p = mainParts();
  p.hwnd = pw::CreateWindowExA(pw::WS_EX_LAYERED, "ClientTestMain", "main", pw::WS_POPUP, 50, 50, 296, 657, nullptr,
                               nullptr);
  pw::ShowWindow(p.hwnd, pw::SW_SHOWNORMAL);
  ui::AttachOptions options;
  options.backgroundColour = 0x00302010;
  options.captionButtonSet = 0;
  options.fixedSize = 1;
  p.host.attach(p.hwnd, {}, options);
  for (int i = 0; i < app::kButtonImageCount; ++i) p.buttonImages[static_cast<std::size_t>(i)] = pictureOfWidth(i + 1);
  auto& img = p.buttonImages;
  p.playPause.create(p.hwnd, {124, 130, 45, 45}, img[0], img[1], img[2]);
  p.tab1.create(p.hwnd, {6, 216, 95, 35}, img[10], img[10]);
  p.tab2.create(p.hwnd, {101, 216, 95, 35}, img[11], img[12]);
  p.tab3.create(p.hwnd, {196, 216, 95, 35}, img[13], img[14]);
  p.groupHeader1.create(p.hwnd, {6, 252, 282, 30}, img[18], img[19], img[20]);
  p.groupHeader2.create(p.hwnd, {6, 282, 282, 30}, img[21], img[22], img[23]);
  p.searchButton.create(p.hwnd, {260, 188, 30, 27}, img[24], img[25], img[26]);
  p.positionSlider.create(p.hwnd, {10, 100, 270, 7});
  ui::controls::SliderOptions volume;
  volume.value = 50;
  volume.secondValue = 100;
  p.volumeSlider.create(p.hwnd, {236, 148, 55, 7}, volume);
  p.songLabel.create(p.hwnd, "", {18, 69, 250, 27});
  p.elapsedLabel.create(p.hwnd, "", {18, 113, 35, 22});
  p.lengthLabel.create(p.hwnd, "", {240, 113, 35, 22});
  p.searchBox.create(p.hwnd, app::SearchHintText(), {6, 186, 285, 30});
  p.presetImages.create(45, 45);
  p.resultImages.create(26, 26);
  ui::controls::ListOptions hidden;
  hidden.visible = false;
  p.resultList.create(p.hwnd, {7, 251, 283, 350}, hidden);
  ui::controls::ListStyle resultStyle;
  resultStyle.imageList = p.resultImages.handle();
  p.resultList.setStyle(resultStyle);
  p.resultList.addColumn(0, "", 170);
  p.resultList.addColumn(0, "", 80);
  p.presetList.create(p.hwnd, {8, 283, 280, 350}, hidden);
  ui::controls::ListStyle presetStyle;
  presetStyle.imageList = p.presetImages.handle();
  p.presetList.setStyle(presetStyle);
  p.presetList.addColumn(0, "", 250);
  p.presetList.rowHeight(50);
  p.activeTab = 1;
  theClient->window.connect(p.hwnd);
  theDesk->pump();
  // The window goes before the parts and the framework's tables are released at exit.
  std::atexit([] {
    if (pw::IsWindow(mainParts().hwnd)) pw::DestroyWindow(mainParts().hwnd);
  });
}

void resetMainWindowParts() {
  client().player.stop();
  app::MainWindowParts& p = mainParts();
  p.resultList.clear();
  p.resultList.visible(0);
  p.presetList.clear();
  p.presetList.visible(0);
  p.presetImages.clear();
  p.groupHeader1.visible(1);
  p.groupHeader2.visible(1);
  p.songLabel.text(std::string());
  p.elapsedLabel.text(std::string());
  p.lengthLabel.text(std::string());
  p.positionSlider.value(0.0);
  p.positionSlider.secondValue(0.0);
  p.volumeSlider.value(50.0);
  p.playPause.setImages(p.buttonImages[0], p.buttonImages[1], p.buttonImages[2]);
  p.searchBox.text(app::SearchHintText());
  p.activeTab = 1;
  p.presetGroupOpen = false;
  p.secondGroupOpen = false;
  theDesk->pump();
}

SongServer::SongServer(std::vector<Song> songs) : songs_(std::move(songs)) {
  server_.set_tcp_nodelay(true);
  auto remember = [this](const httplib::Request& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto mark = request.target.find('?');
    queries_[request.path].push_back(mark == std::string::npos ? std::string() : request.target.substr(mark + 1));
  };
  server_.Get("/api/songlist2", [this, remember](const httplib::Request& request, httplib::Response& response) {
    remember(request);
    if (searchDelayMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(searchDelayMs_.load()));
    std::optional<std::string> answer;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      answer = searchOverride_;
    }
    if (!answer) answer = gbk(searchAnswer(request.get_param_value("query")).c_str());
    response.set_content(*answer, "text/javascript");
  });
  server_.Get("/api/links2", [this, remember](const httplib::Request& request, httplib::Response& response) {
    remember(request);
    if (linksDelayMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(linksDelayMs_.load()));
    response.status = linksStatus_;
    const std::string asked = request.get_param_value("query");
    std::string url;
    for (const Song& song : songs_) {
      if (asked == song.title + song.singer) url = mediaUrl(song.media);
    }
    if (linksStatus_ != 200 || url.empty()) {
      response.set_content("not here", "text/plain");
      return;
    }
    response.set_content("jsonp1344356068549({\"id\":7,\"url\":\"" + url + "\",\"size\":1})", "text/javascript");
  });
  server_.Get(R"(/media/(.+))", [remember](const httplib::Request& request, httplib::Response& response) {
    remember(request);
    const std::string bytes = readMedia(request.matches[1]);
    if (bytes.empty()) {
      response.status = 404;
      return;
    }
    response.set_content(bytes, "audio/mpeg");
  });
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) std::abort();
  thread_ = std::thread([this] { server_.listen_after_bind(); });
}

SongServer::~SongServer() {
  while (!server_.is_running()) std::this_thread::yield();
  server_.stop();
  thread_.join();
}

std::string SongServer::mediaUrl(const std::string& name) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/media/" + name;
}

std::vector<std::string> SongServer::queries(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = queries_.find(path);
  return found == queries_.end() ? std::vector<std::string>() : found->second;
}

void SongServer::setSearchAnswer(std::optional<std::string> answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  searchOverride_ = std::move(answer);
}

std::string SongServer::searchAnswer(const std::string& keywordUtf8) const {
  std::string answer = "jsonp1344355138823({\"status\":0,\"data\":{\"total\":\"" + std::to_string(songs_.size()) +
                       "\",\"songs\":[";
  bool first = true;
  for (std::size_t i = 0; i < songs_.size(); ++i) {
    const Song& song = songs_[i];
    if (!contains(song.title, keywordUtf8) && !contains(song.singer, keywordUtf8)) continue;
    if (!first) answer += ",";
    first = false;
    answer += "{\"id\":" + std::to_string(i + 1) + ",\"title\":\"" + song.title + "\",\"singer\":\"" + song.singer +
              "\",\"album\":\"demo album\",\"duration\":" + std::to_string(30 + i) +
              ",\"pic\":\"http://127.0.0.1/pictures/covers/large/" + std::to_string(i) + "/cover-of-the-album.jpg\"}";
  }
  answer += "]}})";
  return answer;
}

ServiceAddressScope::ServiceAddressScope(const std::string& address) {
  setenv(app::kServiceAddressVariable, address.c_str(), 1);
}

ServiceAddressScope::~ServiceAddressScope() { unsetenv(app::kServiceAddressVariable); }

void closeMessageBoxes(SeenBox& seen) {
  theDesk->at(20, [&seen] {
    const pw::HWND box = ui::openMessageBox();
    if (box == nullptr) {
      closeMessageBoxes(seen);
      return;
    }
    seen.opened = true;
    seen.title = pw::GetWindowTextA(box);
    seen.owner = pw::GetOwner(box);
    theDesk->requestClose(box);
  });
}

}  // namespace clienttest
