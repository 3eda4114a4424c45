#!/usr/bin/env bash
# Packs the Windows client after tools/build-windows.sh: build/windows/tunora-setup.exe
# (installer: Program Files, Start menu, uninstaller) and build/windows/tunora-portable.zip
# (everything in one folder, settings beside the program). The programs (client and song
# service, with the demo catalogue) come from the Windows build; the pictures and preset
# file are made by host generators, so they come from the Linux build (built here when
# missing).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
windows=${TUNORA_WINDOWS_BUILD:-$root/build/windows}
linux=${TUNORA_LINUX_BUILD:-$root/build/release}
program=$windows/app/tunora.exe
service=$windows/tools/song-service/tunora-song-service.exe
catalogue=$windows/tools/song-service/catalogue
version=$(sed -n 's/^set(TUNORA_VERSION \(.*\))$/\1/p' packaging/CMakeLists.txt)

for needed in "$program" "$service" "$catalogue/index.txt"; do
  [ -f "$needed" ] || { echo "no $needed: run tools/build-windows.sh first" >&2; exit 1; }
done
command -v makensis > /dev/null || { echo "makensis missing: apt-get install nsis" >&2; exit 1; }
if [ ! -f "$linux/CMakeCache.txt" ]; then
  cmake -S . -B "$linux" > /dev/null
fi
cmake --build "$linux" -j "${TUNORA_JOBS:-2}" --target tunora_app_artwork tunora_song_catalogue > /dev/null
resources=$linux/assets/app-files/Resource
presets=$linux/tools/song-service/catalogue/js_rilu.txt

stage=$windows/package/Tunora
rm -rf "$windows/package"
mkdir -p "$stage/Resource" "$stage/plugins"
cp "$program" "$service" "$stage/"
cp -r "$catalogue" "$stage/"
# The build keeps debugging symbols; what people install does not need them.
x86_64-w64-mingw32-strip "$stage/tunora.exe" "$stage/tunora-song-service.exe"
for file in Resu.rdb Skin.rdb skin.png rilu.jpg skin@2x.png rilu@2x.jpg; do
  [ -f "$resources/$file" ] && cp "$resources/$file" "$stage/Resource/"
done
cp "$presets" "$stage/plugins/"

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$windows/tunora-setup.exe" \
  packaging/windows/tunora.nsi
rm -f "$windows/tunora-portable.zip"
(cd "$windows/package" && cmake -E tar cf "$windows/tunora-portable.zip" --format=zip Tunora)
echo "$windows/tunora-setup.exe"
echo "$windows/tunora-portable.zip"
