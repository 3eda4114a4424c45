#!/usr/bin/env bash
# Decodes the same songs through the Linux and the Windows (under Wine) tunora-play and
# compares their captures byte for byte. Needs build/release and build/windows built, and
# WINEPREFIX set up as tools/build-windows.sh --test leaves it.
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build/release/tools/tunora-play/tunora-play}
windows=${2:-build/windows/tools/tunora-play/tunora-play.exe}
media=$(mktemp -d)
trap 'rm -rf "$media"' EXIT

# name rate channels seconds: a source tone for each variant.
tone() { sox -q -n -r "$2" -c "$3" -b 16 "$media/$1.wav" synth "$4" sine 440 sine 554 tremolo 3 40 vol 0.6; }
tone s44 44100 2 3; tone m44 44100 1 3; tone s48 48000 2 3; tone s32 32000 2 3; tone m22 22050 1 3
tone s11 11025 2 3; tone m16 16000 1 3; tone s8 8000 2 3
songs=()
mp3() { lame --quiet "${@:3}" "$media/$1.wav" "$media/$2.mp3"; songs+=("$2.mp3"); }
mp3 s44 cbr128 -b 128; mp3 s44 cbr320 -b 320; mp3 s44 vbr0 -V 0; mp3 s44 vbr6-notag -V 6 -t
mp3 m44 mono64 -b 64; mp3 s48 s48-192 -b 192; mp3 s32 s32-96 -b 96; mp3 m22 m22-32 -b 32
mp3 s11 s11-24 -b 24; mp3 m16 m16-abr --abr 40
ogg() { oggenc -Q "${@:3}" -o "$media/$2.ogg" "$media/$1.wav"; songs+=("$2.ogg"); }
ogg s44 q0 -q 0; ogg s44 q5 -q 5; ogg s44 q10 -q 10; ogg m44 mono -q 3; ogg s48 s48 -q 4
ogg s32 s32 -q 2; ogg m22 m22 -q 1; ogg s11 s11 -q 3; ogg m16 m16 -q 6; ogg s8 s8 -q 0
flac -s -f -o "$media/s44.flac" "$media/s44.wav"; songs+=(s44.flac)
flac -s -f -o "$media/m22.flac" "$media/m22.wav"; songs+=(m22.flac)
opusenc --quiet --bitrate 96 "$media/s44.wav" "$media/s44.opus"; songs+=(s44.opus)
cp "$media/s44.wav" "$media/plain.wav"; songs+=(plain.wav)

same=0
for song in "${songs[@]}"; do
  "$linux" --quiet --capture "$media/$song.linux.wav" --speed 50 "$media/$song"
  timeout 120 wine "$windows" --quiet --capture "$media/$song.windows.wav" --speed 50 "$media/$song"
  if cmp -s "$media/$song.linux.wav" "$media/$song.windows.wav"; then
    same=$((same + 1)); echo "same       $song ($(stat -c %s "$media/$song.linux.wav") bytes)"
  else
    echo "DIFFERENT  $song ($(stat -c %s "$media/$song.linux.wav") / $(stat -c %s "$media/$song.windows.wav") bytes)"
  fi
done
echo "$same of ${#songs[@]} captures are identical"
[ "$same" = "${#songs[@]}" ]
