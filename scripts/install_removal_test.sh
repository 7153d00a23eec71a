#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The removal route for `cmake --install --prefix`: install into one prefix,
# install into a second one and build the package (both rewrite the build
# folder's install_manifest.txt), then run the first prefix's
# share/trilume/uninstall.sh. The first prefix must hold exactly what it
# held before the install, the second prefix and everything else must be
# as they were, and the package must not carry the script.
# Usage: install_removal_test.sh BUILD_DIR
set -euo pipefail
build_dir="$(cd "${1:?usage: install_removal_test.sh BUILD_DIR}" && pwd)"
root="$(mktemp -d /tmp/trilume-removal.XXXXXX)"
trap 'rm -rf "$root"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    failures=$((failures + 1))
  fi
}
# Every path with its type, size and content, so any change shows.
snapshot() {
  (cd "$1" && find . -printf '%p %y %s\n' | sort &&
    find . -type f -print0 | sort -z | xargs -0r md5sum)
}

# What the user had before: a folder of their own beside ours, an empty bin
# folder that must stay, and a file that must survive.
first="$root/first prefix's"
mkdir -p "$first/bin" "$first/share/applications"
echo "mine" >"$first/share/applications/other.desktop"
snapshot "$first" >"$root/first.before"

cmake --install "$build_dir" --prefix "$first" >"$root/install.log"
check "the install leaves a removal script" test -x "$first/share/trilume/uninstall.sh"

second="$root/second"
cmake --install "$build_dir" --prefix "$second" >>"$root/install.log"
snapshot "$second" >"$root/second.before"
cpack --config "$build_dir/CPackConfig.cmake" -B "$root/package" >"$root/package.log" 2>&1 ||
  { cat "$root/package.log"; exit 1; }
deb="$(ls "$root"/package/trilume_*.deb)"
check "the package build rewrote the manifest with /usr paths" \
  grep -qx '/usr/bin/trilume' "$build_dir/install_manifest.txt"
check "the package carries no removal script" \
  bash -c "! dpkg-deb -c '$deb' | grep -q uninstall"
snapshot "$root/package" >"$root/package.before"

sh "$first/share/trilume/uninstall.sh" >"$root/uninstall.log"
snapshot "$first" >"$root/first.after"
check "the first prefix holds exactly what it held before" \
  diff -u "$root/first.before" "$root/first.after"
check "the second prefix is untouched" \
  diff -u "$root/second.before" <(snapshot "$second")
check "the package build is untouched" \
  diff -u "$root/package.before" <(snapshot "$root/package")

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "removal test passed"
