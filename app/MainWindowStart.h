#pragma once
// The pieces of the main window's start that touch files: the button pictures, the skin
// and the plugins folder. Each takes its paths, so a test can hand it damaged or missing
// files. UI thread only (pictures and the host belong to it).

#include <string>

#include "app/MainWindowParts.h"
#include "audio/AudioEngine.h"
#include "platform/system/ByteBlock.h"

namespace app {

// Unpacks the package (through the audio object, which carries the reader) into the button picture table. A missing, damaged or short package
// leaves the affected entries empty; the buttons then show nothing. Answers how many
// entries hold a picture. Above scale 1 a package that carries the 2x set after the 1x
// one gives the 2x pictures; one without it gives the 1x pictures, stretched when drawn.
int LoadButtonImages(MainWindowParts& parts, audio::AudioEngine& engine, const std::string& packagePath,
                     double scale = 1);

// The skin picture's bytes; empty when the file cannot be read.
platform::system::ByteBlock ReadSkinPicture(const std::string& path);

// A picture's bytes and the scale it was drawn at.
struct ScaledPicture {
  platform::system::ByteBlock bytes;
  double scale = 1;
};
// The sibling drawn at twice the scale: skin.png -> skin@2x.png.
std::string TwiceScalePath(const std::string& path);
// Above scale 1 the picture's @2x sibling from the same folder when it can be read (so a
// picture of one's own is never paired with another's 2x), else the picture itself.
ScaledPicture ReadPictureForScale(const std::string& path, double scale);

// After a scale change: the button pictures and the skin of the set for the new scale, each
// button showing the same entries as before. A skin that cannot be read keeps the old one.
void ReloadForScale(MainWindowParts& parts, audio::AudioEngine& engine, const std::string& packagePath,
                    const std::string& skinPath, double scale);

// The main window's attach arguments with the given caption buttons; the change-appearance
// window attaches with the same further arguments.
ui::AttachOptions MainWindowAttachOptions(int captionButtonSet);

// Attaches the host to the main window over the skin picture (empty or undecodable bytes
// give a plain colour background), with the caption buttons, alpha and close effect of
// the main window. False when the window cannot be attached.
bool AttachMainWindow(MainWindowParts& parts, platform::window::HWND hwnd, const ScaledPicture& skin);

// Makes sure the folder exists; false when it is missing and cannot be made (a read-only
// program folder), which nothing else depends on.
bool EnsureFolder(const std::string& path);

}  // namespace app
