#!/usr/bin/env bash
# Installs the Debian packages listed in packaging/debian-packages.txt that are
# missing, and generates the locales the tests switch between.
# Does nothing when everything is already there.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/packaging/debian-packages.txt")
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
