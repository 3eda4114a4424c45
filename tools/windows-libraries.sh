#!/usr/bin/env bash
# Cross-builds the libraries the Windows build links, from Debian's own source packages, into
# a prefix outside the clone. The prefix is keyed by the source versions, the compiler and
# this script, so a second run (or another clone) finds it built and takes seconds.
# Prints the prefix on its last line of output.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
host=x86_64-w64-mingw32
cache=${TUNORA_WINDOWS_CACHE:-/var/cache/tunora/windows}
jobs=${TUNORA_JOBS:-$(nproc)}
toolchain=$root/cmake/WindowsToolchain.cmake

# Source package, and the binary package whose installed version names the source version:
# the Linux build already installs them, so both builds use the same library releases.
sources=(
  "libogg libogg-dev" "libvorbis libvorbis-dev" "flac libflac-dev" "mpg123 libmpg123-dev"
  "opus libopus-dev" "opusfile libopusfile-dev" "libsndfile libsndfile1-dev" "libsdl2 libsdl2-dev"
  "curl libcurl4-openssl-dev" "googletest libgtest-dev")

declare -A version
for pair in "${sources[@]}"; do
  set -- $pair
  version[$1]=$(dpkg-query -W -f '${source:Version}' "$2")
done

key=$( {
  for pair in "${sources[@]}"; do set -- $pair; echo "$1=${version[$1]}"; done
  $host-gcc-posix --version | head -1
  sha256sum "$0" "$toolchain" | cut -d' ' -f1
} | sha256sum | cut -c1-16)
prefix=$cache/$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# apt-get source needs the deb-src lines of the archive the system installs from.
if ! apt-cache showsrc --only-source mpg123 2>/dev/null | grep -q '^Version:'; then
  sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    > /etc/apt/sources.list.d/tunora-deb-src.sources
  apt-get update -q
fi

work=$cache/work-$key
# Built in place (pkg-config files hold their prefix); .complete marks a finished one.
stage=$prefix
rm -rf "$work" "$stage"
mkdir -p "$work" "$stage"
cd "$work"
# A mirror may hold a file of a security update in only one of the two archives; what apt
# could not fetch is looked for in the other before unpacking.
fetch() {  # source package, version
  apt-get source -q --download-only "$1=$2" > "$work/$1.fetch.log" 2>&1 || true
  local uri name dir base
  while read -r uri name _; do
    name=${name//\'/}
    [ -s "$name" ] && continue
    for dir in $(apt-cache showsrc --only-source "$1" | sed -n 's/^Directory: //p' | sort -u); do
      for base in http://deb.debian.org/debian http://deb.debian.org/debian-security; do
        curl -fsSL -o "$name" "$base/$dir/$name" && break 2
      done
    done
    [ -s "$name" ] || { echo "cannot fetch $name"; exit 1; }
  done < <(apt-get source -q --print-uris "$1=$2" | grep "^'")
  # The archive's signature was checked by apt; the uploaders' keys are not installed.
  dpkg-source -x "$1_${2#*:}.dsc" > /dev/null 2>&1
}
for pair in "${sources[@]}"; do
  set -- $pair
  fetch "$1" "${version[$1]}"
done
src() { find "$work" -maxdepth 1 -type d -name "$1-[0-9]*" | head -1; }

export PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig:/usr/$host/lib/pkgconfig
export PKG_CONFIG_PATH=

cmake_build() {  # name, source dir, cmake args... ; a build log is kept in the work folder
  local name=$1 dir=$2; shift 2
  echo "-- $name"
  {
    cmake -S "$dir" -B "$work/build-$name" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTUNORA_WINDOWS_LIBRARIES="$stage" \
      -DCMAKE_INSTALL_PREFIX="$stage" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
      -DCMAKE_CROSSCOMPILING_EMULATOR= -DBUILD_TESTING=OFF "$@"
    cmake --build "$work/build-$name" -j "$jobs"
    cmake --install "$work/build-$name"
  } > "$work/$name.log" 2>&1 || { tail -n 40 "$work/$name.log"; exit 1; }
}

autotools_build() {  # name, source dir, configure args...
  local name=$1 dir=$2; shift 2
  echo "-- $name"
  {
    cd "$dir"
    ./configure --host=$host --prefix="$stage" --disable-shared --enable-static \
      CC=$host-gcc-posix CFLAGS="-O2" "$@"
    make -j "$jobs"
    make install
    cd "$work"
  } > "$work/$name.log" 2>&1 || { tail -n 40 "$work/$name.log"; exit 1; }
}

cmake_build ogg "$(src libogg)"
cmake_build vorbis "$(src libvorbis)"
# The stack protector would need libssp; static users define FLAC__NO_DLL.
cmake_build flac "$(src flac)" -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF -DWITH_STACK_PROTECTOR=OFF \
  -DWITH_FORTIFY_SOURCE=OFF
cmake_build mpg123 "$(src mpg123)/ports/cmake" -DNETWORK=OFF -DBUILD_LIBOUT123=OFF \
  -DBUILD_PROGRAMS=OFF
# opus's own CMake files are missing from its release tarball. Its hardening (fortify,
# stack protector) would need libssp in every program.
autotools_build opus "$(src opus)" --disable-doc --disable-extra-programs --disable-hardening
autotools_build opusfile "$(src opusfile)" --disable-http --disable-examples --disable-doc
cmake_build sndfile "$(src libsndfile)" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DINSTALL_MANPAGES=OFF -DENABLE_CPACK=OFF
# For the rate converter and the Windows sound output. Its Windows video part stays: the
# static library's function table refers to it.
cmake_build sdl2 "$(src libsdl2)" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF \
  -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_FILESYSTEM=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF
# TLS through the system's Schannel; HTTP and HTTPS are all the program speaks.
cmake_build curl "$(src curl)" -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
  -DCURL_USE_LIBSSH2=OFF -DUSE_LIBIDN2=OFF -DCURL_ZSTD=OFF -DCURL_BROTLI=OFF -DUSE_NGHTTP2=OFF \
  -DCURL_DISABLE_LDAP=ON -DHTTP_ONLY=ON -DBUILD_CURL_EXE=OFF -DENABLE_MANUAL=OFF
cmake_build googletest "$(src googletest)" -DBUILD_GMOCK=ON

cd "$cache"
rm -rf "$work"
for pair in "${sources[@]}"; do set -- $pair; echo "$1 ${version[$1]}"; done > "$prefix/.complete"
echo "$prefix"
