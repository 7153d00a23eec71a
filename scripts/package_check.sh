#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package of a configured build folder and checks it as a
# packager and a user would: lintian (no error, no warning), the control
# fields no tool checks, desktop-file-validate and appstreamcli on the
# installed files, and both programs run from the unpacked package without
# a display. Prints one line per check and "package checks: N passed, M
# failed"; exits 1 when a check failed.
# Usage: package_check.sh [BUILD_DIR]   (default build/release)
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build_dir="${1:-build/release}"
app_id=io.github.trilume.Trilume
passed=0
failed=0
work="$(mktemp -d /tmp/trilume-package.XXXXXX)"
trap 'rm -rf "$work"' EXIT

check() {  # check DESCRIPTION COMMAND...; the command's output is shown on failure
  local what="$1"
  shift
  if "$@" >"$work/out" 2>&1; then
    echo "ok    $what"
    passed=$((passed + 1))
  else
    echo "FAIL  $what"
    sed 's/^/      /' "$work/out"
    failed=$((failed + 1))
  fi
}

finish() {
  echo "package checks: ${passed} passed, ${failed} failed"
  [ "$failed" -eq 0 ]
  exit
}

# A package left from an earlier version must not be taken for this one.
rm -f "$build_dir"/trilume_*.deb
if ! cmake --build "$build_dir" --target package >"$work/build.log" 2>&1; then
  echo "FAIL  cmake --build $build_dir --target package"
  tail -n 30 "$work/build.log"
  failed=$((failed + 1))
  finish
fi
mapfile -t debs < <(ls "$build_dir"/trilume_*_amd64.deb 2>/dev/null)
if [ "${#debs[@]}" -ne 1 ]; then
  echo "FAIL  exactly one trilume_<version>_amd64.deb in $build_dir (found ${#debs[@]})"
  failed=$((failed + 1))
  finish
fi
deb="${debs[0]}"
version="$(dpkg-deb -f "$deb" Version)"
check "file name is trilume_${version}_amd64.deb" \
  test "$(basename "$deb")" = "trilume_${version}_amd64.deb"

lintian_clean() {
  # Info tags may stay; an error or a warning fails.
  lintian --pedantic --info --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges'
  return "${PIPESTATUS[0]}"
}
check "lintian --pedantic: no error, no warning" lintian_clean

control_fields() {
  local section depends recommends
  section="$(dpkg-deb -f "$deb" Section)"
  depends="$(dpkg-deb -f "$deb" Depends)"
  recommends="$(dpkg-deb -f "$deb" Recommends)"
  echo "Section: $section"
  echo "Depends: $depends"
  echo "Recommends: $recommends"
  # The font is opened by file name, the window icon is found through the
  # hicolor theme and the plugins are loaded at run time: shlibdeps sees
  # none of them.
  [ "$section" = "x11" ] && [[ ", $depends," == *", fonts-liberation (>= 1:2) | fonts-liberation2,"* ]] &&
    [[ ", $depends," == *", hicolor-icon-theme,"* ]] && [[ "$depends" == *libgif7* ]] &&
    [[ "$depends" == *libqt6widgets6* ]] &&
    [[ ", $recommends," == *", libqt6svg6,"* ]] && [[ ", $recommends," == *", qt6-wayland,"* ]]
}
check "control: Section x11, Depends Liberation 2, hicolor-icon-theme, Qt and giflib, Recommends libqt6svg6, qt6-wayland" \
  control_fields

root="$work/root"
check "dpkg-deb -x unpacks the package" dpkg-deb -x "$deb" "$root"
check "desktop-file-validate $app_id.desktop" \
  desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
check "appstreamcli validate --no-net $app_id.metainfo.xml" \
  appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
# Wayland compositors find the entry by the name the window gives.
check "trilume names its window after $app_id.desktop" grep -q "$app_id" "$root/usr/bin/trilume"

no_comment_section() {
  ! readelf -S "$root/usr/bin/trilume" "$root/usr/bin/trilume-render" | grep -F .comment
}
check "programs carry no .comment section" no_comment_section

version_without_display() {
  local out
  out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 120 "$root/usr/bin/trilume" --version)"
  echo "$out"
  [ "$out" = "trilume $version" ]
}
check "unpacked trilume --version without a display" version_without_display

render_png() {
  env -u DISPLAY -u WAYLAND_DISPLAY TZ=UTC timeout 120 "$root/usr/bin/trilume-render" \
    --at "2026-12-08 10:08:42.000" --frames 64 --png "$work/clock.png" &&
    file "$work/clock.png" | tee /dev/stderr | grep -q 'PNG image data, 280 x 310'
}
check "unpacked trilume-render --png writes a 280 x 310 picture" render_png

finish
