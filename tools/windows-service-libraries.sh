#!/usr/bin/env bash
# Cross-builds the libraries only the song service needs (cpp-httplib's header, TagLib,
# SQLite) from Debian's source packages into a prefix of their own. Kept apart from
# tools/windows-libraries.sh so adding to this set leaves that larger, slower prefix as built.
# The prefix is keyed by the source versions, the compiler and this script.
# Prints the prefix on its last line of output.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
host=x86_64-w64-mingw32
cache=${TUNORA_WINDOWS_CACHE:-/var/cache/tunora/windows}
jobs=${TUNORA_JOBS:-$(nproc)}
toolchain=$root/cmake/WindowsToolchain.cmake

sources=("cpp-httplib libcpp-httplib-dev" "taglib libtag1-dev" "sqlite3 libsqlite3-dev")

declare -A version
for pair in "${sources[@]}"; do
  set -- $pair
  version[$1]=$(dpkg-query -W -f '${source:Version}' "$2")
done

key=$( {
  for pair in "${sources[@]}"; do set -- $pair; echo "$1=${version[$1]}"; done
  $host-gcc-posix --version | head -1
  sha256sum "$0" | cut -d' ' -f1
} | sha256sum | cut -c1-16)
prefix=$cache/service-$key
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

if ! apt-cache showsrc --only-source sqlite3 2>/dev/null | grep -q '^Version:'; then
  sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    > /etc/apt/sources.list.d/tunora-deb-src.sources
  apt-get update -q
fi

work=$cache/work-service-$key
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"/{include,lib/pkgconfig}
cd "$work"
# As in tools/windows-libraries.sh: a file apt could not fetch from one archive is looked for
# in the other.
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
  dpkg-source -x "$1_${2#*:}.dsc" > /dev/null 2>&1
}
for pair in "${sources[@]}"; do
  set -- $pair
  fetch "$1" "${version[$1]}"
done
src() { find "$work" -maxdepth 1 -type d -name "$1-[0-9]*" | head -1; }

# Header only on Windows; Winsock is all it links.
echo "-- cpp-httplib"
httplib=$(src cpp-httplib)
cp "$httplib/httplib.h" "$prefix/include/"
cat > "$prefix/lib/pkgconfig/cpp-httplib.pc" <<EOF
prefix=$prefix
includedir=\${prefix}/include
Name: cpp-httplib
Description: A C++ HTTP/HTTPS server and client library
Version: ${version[cpp-httplib]%%+*}
Cflags: -I\${includedir}
Libs: -lws2_32
EOF

echo "-- taglib"
# Debian points TagLib at a system UTF-8 header package; the copy TagLib ships is the same.
mkdir -p "$work/utf8cpp"
ln -s "$(src taglib)/3rdparty/utf8-cpp" "$work/utf8cpp/utf8"
{
  cmake -S "$(src taglib)" -B "$work/build-taglib" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_CROSSCOMPILING_EMULATOR= \
    -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_BINDINGS=OFF -DWITH_ZLIB=ON \
    -DCMAKE_CXX_FLAGS="-isystem $work/utf8cpp"
  cmake --build "$work/build-taglib" -j "$jobs"
  cmake --install "$work/build-taglib"
} > "$work/taglib.log" 2>&1 || { tail -n 40 "$work/taglib.log"; exit 1; }
# The static library's users must not expect its symbols from a DLL, and need zlib after it.
sed -i -e 's/^Cflags: \(.*\)$/Cflags: \1 -DTAGLIB_STATIC/' \
  -e 's/^Libs: \(.*\)$/Libs: \1 -lz/' "$prefix/lib/pkgconfig/taglib.pc"

# The amalgamation is generated with the build machine's tools, then compiled for Windows
# with the options Debian's own build uses for its features.
echo "-- sqlite3"
{
  mkdir -p "$work/build-sqlite3"
  cd "$work/build-sqlite3"
  "$(src sqlite3)/configure" --disable-tcl > /dev/null
  make -j "$jobs" sqlite3.c
  $host-gcc-posix -O2 -c sqlite3.c -o sqlite3.o -DSQLITE_THREADSAFE=1 \
    -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_FTS4 \
    -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_JSON1 -DSQLITE_ENABLE_COLUMN_METADATA \
    -DSQLITE_ENABLE_RTREE -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_SECURE_DELETE \
    -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_MAX_VARIABLE_NUMBER=250000
  $host-ar rcs "$prefix/lib/libsqlite3.a" sqlite3.o
  cp sqlite3.h sqlite3ext.h "$prefix/include/"
  cd "$work"
} > "$work/sqlite3.log" 2>&1 || { tail -n 40 "$work/sqlite3.log"; exit 1; }
cat > "$prefix/lib/pkgconfig/sqlite3.pc" <<EOF
prefix=$prefix
includedir=\${prefix}/include
libdir=\${prefix}/lib
Name: SQLite
Description: SQL database engine
Version: ${version[sqlite3]%%-*}
Cflags: -I\${includedir}
Libs: -L\${libdir} -lsqlite3
EOF

cd "$cache"
rm -rf "$work"
for pair in "${sources[@]}"; do set -- $pair; echo "$1 ${version[$1]}"; done > "$prefix/.complete"
echo "$prefix"
