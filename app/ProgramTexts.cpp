#include "app/ProgramTexts.h"

#include "platform/text/CodePage.h"

namespace app {
namespace {

using platform::text::utf8ToAnsi;

}  // namespace

const std::string& MainWindowTitle() {
  static const std::string text = utf8ToAnsi("Tunora音乐，聆听世界");
  return text;
}

const std::string& SearchHintText() {
  static const std::string text = utf8ToAnsi("请输入歌曲/歌手名");
  return text;
}

const std::string& BadKeywordMessage() {
  static const std::string text = utf8ToAnsi("请正确输入歌曲名/歌手名");
  return text;
}

const std::string& ErrorTitle() {
  static const std::string text = utf8ToAnsi("错误");
  return text;
}

const std::string& UnplayableSongMessage() {
  static const std::string text = utf8ToAnsi("该歌曲的来源可能不正确,请选择其他歌曲");
  return text;
}

std::string UnreachableServiceMessage(const std::string& address) {
  return utf8ToAnsi("无法连接歌曲服务 " + address + "，请确认服务已启动后再搜索");
}

const std::string& SkinDialogTitle() {
  static const std::string text = std::string(30, ' ') + utf8ToAnsi("更改外观");
  return text;
}

const std::string& SkinFileDialogTitle() {
  static const std::string text = utf8ToAnsi("更改外观,请尽量选择无大片白底的图片");
  return text;
}

const std::string& SkinFileDialogFilter() {
  static const std::string text = utf8ToAnsi("所有支持的图片文件|*.jpg;*.bmp;*.gif;*.png|所有文件|*.*");
  return text;
}

}  // namespace app
