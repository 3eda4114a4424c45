#include "tools/song-service/catalogue/CatalogueSongs.h"

#include <array>

namespace songservice {
namespace {

constexpr std::array<EncodingForm, 6> kForms{{
    {"cbr128", 44100, 2, "-b 128 --cbr --resample 44.1"},
    {"vbr44", 44100, 2, "-V 4 --resample 44.1"},
    {"mono22-cbr", 22050, 1, "-m m -b 56 --cbr --resample 22.05"},
    {"mono22-vbr", 22050, 1, "-m m -V 6 --resample 22.05"},
    {"cbr160-48k", 48000, 2, "-b 160 --cbr --resample 48"},
    {"vbr48", 48000, 2, "-V 3 --resample 48"},
}};

using E = Encoding;

// Lengths stay mostly short: every build folder encodes the whole catalogue once.
constexpr std::array<SongPlan, 32> kSongs{{
    {"月光小径", "苏晴岚", "晴岚集", 34, E::Cbr128},
    {"晚风信笺", "苏晴岚", "晴岚集", 26, E::Vbr44},
    {"青石桥", "苏晴岚", "晴岚集", 22, E::Mono22Cbr},
    {"纸飞机的夏天", "苏晴岚", "晴岚集", 41, E::Vbr48},
    {"雨后的城", "苏晴岚", "雨后", 28, E::Cbr160At48},
    {"月光码头", "苏晴岚", "雨后", 90, E::Mono22Vbr},
    {"远山的回声", "白沐阳", "远山", 30, E::Vbr44},
    {"风过麦田", "白沐阳", "远山", 24, E::Cbr128},
    {"星河列车", "白沐阳", "远山", 36, E::Vbr48},
    {"旧唱片", "白沐阳", "旧时光", 21, E::Mono22Vbr},
    {"海边的月光", "白沐阳", "旧时光", 45, E::Cbr128},
    {"白昼之歌", "白沐阳", "旧时光", 27, E::Cbr160At48},
    {"秋日来信", "夏知秋", "知秋", 32, E::Mono22Cbr},
    {"风的形状", "夏知秋", "知秋", 25, E::Vbr44},
    {"灯塔", "夏知秋", "知秋", 60, E::Vbr48},
    {"归途", "叶青川", "青川", 23, E::Cbr160At48},
    {"山间晨雾", "叶青川", "青川", 29, E::Mono22Vbr},
    {"萤火", "林溪月", "溪月", 20, E::Cbr128},
    {"月光与你", "林溪月", "溪月", 33, E::Mono22Cbr},
    {"蓝色风铃", "林溪月", "溪月", 26, E::Vbr44},
    {"Summer Kites", "Aurelia Finch", "Glass Harbour", 31, E::Cbr128},
    {"Paper Lanterns", "Aurelia Finch", "Glass Harbour", 24, E::Vbr48},
    {"Northern Light", "Aurelia Finch", "Glass Harbour", 38, E::Mono22Cbr},
    {"Glass Harbour", "Aurelia Finch", "Glass Harbour", 22, E::Cbr160At48},
    {"Slow Summer", "Aurelia Finch", "Velvet Morning", 75, E::Vbr44},
    {"Velvet Morning", "Aurelia Finch", "Velvet Morning", 27, E::Mono22Vbr},
    {"Last Summer Train", "Copper Lanterns", "Quiet Engines", 35, E::Vbr48},
    {"Quiet Engines", "Copper Lanterns", "Quiet Engines", 21, E::Cbr128},
    {"Harbour Light", "Copper Lanterns", "Quiet Engines", 28, E::Mono22Cbr},
    {"Maple Road", "Tomas Vell", "Maple Road", 25, E::Cbr160At48},
    {"Winter Tide", "Tomas Vell", "Maple Road", 30, E::Vbr44},
    {"Ink and Rain", "Nora Quill", "Ink and Rain", 23, E::Mono22Vbr},
}};

constexpr std::array<SingerPlan, 9> kSingers{{
    {"苏晴岚", 205},
    {"白沐阳", 28},
    {"夏知秋", 140},
    {"叶青川", 95},
    {"林溪月", 265},
    {"Aurelia Finch", 330},
    {"Copper Lanterns", 18},
    {"Tomas Vell", 180},
    {"Nora Quill", 295},
}};

// A Chinese and a Latin singer in the first rows, one song of each encoding.
constexpr std::array<int, 10> kPreset{0, 6, 20, 12, 26, 3, 11, 29, 17, 25};

}  // namespace

const EncodingForm& encodingForm(Encoding encoding) { return kForms[static_cast<int>(encoding)]; }

std::span<const SongPlan> catalogueSongs() { return kSongs; }
std::span<const SingerPlan> catalogueSingers() { return kSingers; }
std::span<const int> presetSongs() { return kPreset; }

}  // namespace songservice
