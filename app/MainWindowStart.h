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
// entries hold a picture.
int LoadButtonImages(MainWindowParts& parts, audio::AudioEngine& engine, const std::string& packagePath);

// The skin picture's bytes; empty when the file cannot be read.
platform::system::ByteBlock ReadSkinPicture(const std::string& path);

// The main window's attach arguments with the given caption buttons; the change-appearance
// window attaches with the same further arguments.
ui::AttachOptions MainWindowAttachOptions(int captionButtonSet);

// Attaches the host to the main window over the skin picture (empty or undecodable bytes
// give a plain colour background), with the caption buttons, alpha and close effect of
// the main window. False when the window cannot be attached.
bool AttachMainWindow(MainWindowParts& parts, platform::window::HWND hwnd, const platform::system::ByteBlock& skin);

// Makes sure the folder exists; false when it is missing and cannot be made (a read-only
// program folder), which nothing else depends on.
bool EnsureFolder(const std::string& path);

}  // namespace app
