#!/usr/bin/env bash
# Checks what a build installs and packages: installs it into a temporary prefix, checks
# the menu entry, the AppStream data, the manual pages and the song service's user unit
# there, then builds the Debian package and runs lintian on it.
#   tools/check-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: check-install.sh BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failed=0
fail() { echo "FAIL: $*"; failed=1; }

echo "-- cmake --install into $prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"
for file in bin/tunora bin/tunora-song-service bin/tunora-play \
            share/tunora/Resource/Resu.rdb share/tunora/Resource/Skin.rdb share/tunora/Resource/skin.png \
            share/tunora/Resource/rilu.jpg share/tunora/Resource/skin@2x.png share/tunora/Resource/rilu@2x.jpg \
            share/tunora/plugins/js_rilu.txt share/tunora/catalogue/js_rilu.txt \
            share/applications/tunora.desktop share/metainfo/tunora.metainfo.xml \
            share/man/man1/tunora.1.gz share/man/man1/tunora-song-service.1.gz share/man/man1/tunora-play.1.gz \
            lib/systemd/user/tunora-song-service.service; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
ls "$prefix"/share/tunora/catalogue/*.mp3 > /dev/null 2>&1 || fail "the catalogue's songs are not installed"
for size in 48 64 96 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/tunora.png
  # Drawn at its size, not scaled: the file says so.
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] || fail "icon $size"
done

echo "-- desktop-file-validate"
desktop-file-validate "$prefix/share/applications/tunora.desktop" || fail "desktop entry"
echo "-- appstreamcli validate"
appstreamcli validate --no-net "$prefix/share/metainfo/tunora.metainfo.xml" || fail "AppStream data"

echo "-- manual pages"
for page in tunora tunora-song-service tunora-play; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page(1): $warnings"
done

echo "-- systemd-analyze --user verify"
unit=$prefix/lib/systemd/user/tunora-song-service.service
grep -qx "ExecStart=$prefix/bin/tunora-song-service --library %h/Music" "$unit" || fail "the unit's ExecStart"
mkdir -m 0700 "$work/runtime"
# Its Documentation= names a manual page, which it looks up with man.
XDG_RUNTIME_DIR=$work/runtime MANPATH=$prefix/share/man systemd-analyze --user verify "$unit" || fail "user unit"

echo "-- cpack -G DEB"
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" > "$work/cpack.log") ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/tunora_*_amd64.deb 2>/dev/null | head -n 1)
if [ -n "$deb" ]; then
  echo "   $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
  contents=$(dpkg-deb -c "$deb")
  for file in ./usr/bin/tunora ./usr/share/doc/tunora/copyright ./usr/share/doc/tunora/changelog.gz \
              ./usr/lib/systemd/user/tunora-song-service.service; do
    grep -q " $file\$" <<< "$contents" || fail "the package lacks $file"
  done
  echo "-- every library the programs open is a dependency"
  # Libraries opened at run time are names inside the programs that the package tools
  # never see; each must belong to a package the Depends line names.
  names() { sed -E 's/\([^)]*\)//g; s/:[a-z0-9]+//g; s/[,|]/ /g'; }
  depends=$(dpkg-deb -f "$deb" Depends | names)
  # A package may hold its library through one it depends on (libtag1v5 through its
  # -vanilla build).
  for name in $depends; do
    depends+=" $({ dpkg-query -W -f='${Depends} ${Pre-Depends}' "$name" 2>/dev/null || true; } | names)"
  done
  depends=" $(echo $depends) "
  sonames=$(strings -a "$prefix"/bin/* | grep -oE 'lib[A-Za-z0-9_+.-]+\.so(\.[0-9]+)*$' | sort -u) || true
  [ -n "$sonames" ] || fail "no library names found in the programs"
  patterns=()
  for soname in $sonames; do patterns+=("*/$soname"); done
  # One search of the package database for all of them: one each takes half a minute.
  holders=$(dpkg -S "${patterns[@]}" 2>/dev/null) || true
  for soname in $sonames; do
    owners=$(awk -v end="/$soname" 'substr($0, length($0) - length(end) + 1) == end' <<< "$holders" |
             sed -E 's/: \/.*$//' | names)
    [ -n "$owners" ] || { fail "no installed package holds $soname"; continue; }
    found=
    for owner in $owners; do
      if [[ "$depends" == *" $owner "* ]]; then found=1; fi
    done
    [ -n "$found" ] || fail "the program opens $soname, but Depends names none of: $owners"
  done
  packaged_unit=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/systemd/user/tunora-song-service.service)
  grep -qx "ExecStart=/usr/bin/tunora-song-service --library %h/Music" <<< "$packaged_unit" || fail "the package's unit"
  echo "-- lintian"
  lintian --fail-on error "$deb" > "$work/lintian.log" 2>&1 || lintian_failed=1
  grep -v "running with root privileges" "$work/lintian.log" || true
  [ -z "${lintian_failed:-}" ] || fail "lintian"
else
  fail "no package was built"
fi

[ "$failed" = 0 ] && echo "install checks passed"
exit "$failed"
