#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that are missing: those of
# packaging/debian-packages.txt (build, package and run), and with --tests
# also those of packaging/debian-test-packages.txt, and then generates the
# locales the tests switch between. Does nothing when everything is there.
# Usage: setup.sh [--tests]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

with_tests=0
for argument in "$@"; do
  case "$argument" in
    --tests) with_tests=1 ;;
    *) echo "usage: setup.sh [--tests]" >&2; exit 2 ;;
  esac
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

lists=("$here/packaging/debian-packages.txt")
if [ "$with_tests" -eq 1 ]; then lists+=("$here/packaging/debian-test-packages.txt"); fi
mapfile -t wanted < <(cat "${lists[@]}" | grep -v -E '^\s*(#|$)')
missing=()
for pkg in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$with_tests" -eq 0 ]; then exit 0; fi

# C.UTF-8 is built into glibc; the others are generated once.
need_gen=0
for loc in en_US.UTF-8 de_DE.UTF-8 ja_JP.UTF-8; do
  norm="$(echo "$loc" | sed 's/UTF-8/utf8/')"
  if ! locale -a 2>/dev/null | grep -qx "$norm"; then
    need_gen=1
    if ! grep -q "^$loc UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$loc UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    fi
  fi
done
if [ "$need_gen" -eq 1 ]; then
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
