#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Tries the README's two set-up commands as a new user of one Debian release
# would: a fresh minimal root of that release (debootstrap --variant=minbase,
# from the mirror this machine's apt uses), the checkout copied in, the run
# command (the clock is started on an X server of this machine and must show
# its window), then the test command. Last, the Debian package that run built
# is installed with apt-get --no-install-recommends into a second fresh root
# of the release, started, and its window must carry its icon.
#
# Prints the test command's closing line after "RELEASE: the test command:",
# then "RELEASE: total: N passed, M failed", which adds this script's own
# three checks (the clock of the run command, the package's install, its
# window) to it; exits 1 when anything failed. The roots, their mounts and
# every process in them are removed however the script ends. Downloaded
# packages stay in /var/cache/trilume-debian-roots/RELEASE, where apt and
# debootstrap check each against the release's signed indexes before use.
#
# Usage: scripts/debian_root_test.sh RELEASE     (bookworm or 12, trixie or 13)
# Needs root (through sudo otherwise), debootstrap, Xvfb and xdotool.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

case "${1:-}" in
  12 | bookworm) release=bookworm ;;
  13 | trixie) release=trixie ;;
  *) echo "usage: debian_root_test.sh bookworm|trixie (or 12|13)" >&2; exit 2 ;;
esac
if [ "$(id -u)" -ne 0 ]; then exec sudo -- "$0" "$@"; fi

# The host's tools: debootstrap builds the roots, Xvfb and xdotool show and
# find the clock's window.
host_missing=()
for tool in debootstrap:debootstrap Xvfb:xvfb xdotool:xdotool xprop:x11-utils; do
  command -v "${tool%%:*}" >/dev/null || host_missing+=("${tool#*:}")
done
if [ "${#host_missing[@]}" -gt 0 ]; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${host_missing[@]}" >/dev/null || exit 1
fi

# The first Debian mirror apt on this machine names, else Debian's own.
mirror="$(sed -n -E 's|^URIs: *(\S+/debian)/?( .*)?$|\1|p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
  head -n 1)"
if [ -z "$mirror" ]; then
  mirror="$(sed -n -E 's|^deb +(\[[^]]*\] +)?(\S+/debian)/? .*|\2|p' /etc/apt/sources.list 2>/dev/null |
    head -n 1)"
fi
mirror="${mirror:-http://deb.debian.org/debian}"

cache="/var/cache/trilume-debian-roots/$release"
work="$(mktemp -d /var/tmp/trilume-root.XXXXXX)"
log_dir="$here/build/debian-root"
mkdir -p "$cache/debootstrap" "$cache/apt" "$log_dir"
xvfb_pid=""

# Every process whose root is inside WORK, killed; then every mount below
# WORK, deepest first; only then the files, never crossing into a mount.
remove_roots() {
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    case "$(readlink "/proc/$pid/root" 2>/dev/null)" in
      "$work"/*) kill -9 "$pid" 2>/dev/null ;;
    esac
  done
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  local mount
  for mount in $(awk -v w="$work/" 'index($2, w) == 1 { print $2 }' /proc/mounts | sort -r); do
    umount -l "$mount" 2>/dev/null
  done
  if awk -v w="$work/" 'index($2, w) == 1 { found = 1 } END { exit !found }' /proc/mounts; then
    echo "debian_root_test: mounts are left below $work; not removing it" >&2
    return
  fi
  rm -rf --one-file-system "$work"
}
trap remove_roots EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

say() { echo "== $release: $*"; }

# interruptible COMMAND...: COMMAND in the background, waited for, so that
# INT or TERM reaches the traps at once rather than after a long build.
interruptible() {
  "$@" &
  wait "$!"
}

# make_root NAME: a fresh minimal root at $work/NAME.
make_root() {
  local root="$work/$1"
  say "debootstrap --variant=minbase $release ($mirror)"
  if ! interruptible debootstrap --variant=minbase --cache-dir="$cache/debootstrap" "$release" "$root" "$mirror" \
      >"$log_dir/$release-$1-debootstrap.log" 2>&1; then
    tail -n 20 "$log_dir/$release-$1-debootstrap.log"
    return 1
  fi
}

# mount_root NAME: what a chroot needs mounted, apt's downloads kept in the
# cache, and no service started by a package's maintainer scripts.
mount_root() {
  local root="$work/$1"
  mount -t proc proc "$root/proc" &&
    mount -t sysfs sysfs "$root/sys" &&
    mount --bind /dev "$root/dev" &&
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts" &&
    mount -t tmpfs tmpfs "$root/dev/shm" &&
    mount --bind "$cache/apt" "$root/var/cache/apt/archives" || return 1
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
  chmod 755 "$root/usr/sbin/policy-rc.d"
}

# in_root NAME COMMAND: runs COMMAND with bash in the root, as a login
# with a plain environment would.
in_root() {
  local root="$work/$1"
  shift
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb CI="${CI:-}" DISPLAY="${DISPLAY_FOR_ROOT:-}" /bin/bash -c "$*"
}

# An X server of this machine, with openbox framing windows where it is
# installed; a root reaches it through the abstract socket.
start_x() {
  local fifo="$work/displayfd"
  : >"$fifo"
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$fifo" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local tries=0
  until [ -s "$fifo" ] && DISPLAY=":$(tr -dc 0-9 <"$fifo")" xprop -root >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 600 ]; then cat "$work/xvfb.log"; return 1; fi
    sleep 0.1
  done
  DISPLAY_FOR_ROOT=":$(tr -dc 0-9 <"$fifo")"
  if command -v openbox >/dev/null; then
    DISPLAY="$DISPLAY_FOR_ROOT" openbox >/dev/null 2>&1 &
  fi
}

# show_clock ROOT PROGRAM NAME [icon]: starts PROGRAM in ROOT, waits for its
# main window, saves a screenshot and ends it; with "icon", the window must
# carry an icon of at least 16 x 16 (the hicolor theme's, so only once
# installed).
show_clock() {
  local root="$1" program="$2" name="$3" want_icon="${4:-}" window="" tries=0
  in_root "$root" "$program" >"$log_dir/$release-$name.log" 2>&1 &
  local runner=$!
  until window="$(DISPLAY="$DISPLAY_FOR_ROOT" xdotool search --onlyvisible --classname '^trilume$' 2>/dev/null |
    head -n 1)" && [ -n "$window" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 1200 ] || ! kill -0 "$runner" 2>/dev/null; then
      echo "FAIL  $name: no clock window; its output:"
      sed 's/^/      /' "$log_dir/$release-$name.log" | tail -n 20
      return 1
    fi
    sleep 0.1
  done
  # The picture is taken once the title shows the status line.
  tries=0
  until DISPLAY="$DISPLAY_FOR_ROOT" xprop -id "$window" WM_NAME 2>/dev/null | grep -q 'Triangle is'; do
    tries=$((tries + 1))
    [ "$tries" -gt 600 ] && break
    sleep 0.1
  done
  # xprop names each size the icon holds as "Icon (W x H):".
  local icon_sizes
  icon_sizes="$(DISPLAY="$DISPLAY_FOR_ROOT" xprop -id "$window" _NET_WM_ICON 2>/dev/null |
    grep -oE 'Icon \([0-9]+ x [0-9]+\)' | tr -dc '0-9x \n' | xargs)"
  if command -v import >/dev/null; then
    DISPLAY="$DISPLAY_FOR_ROOT" import -window root "$log_dir/$release-$name.png" 2>/dev/null
  fi
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    case "$(readlink "/proc/$pid/root" 2>/dev/null)" in
      "$work/$root") [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = trilume ] && kill "$pid" ;;
    esac
  done
  wait "$runner" 2>/dev/null
  if [ -n "$want_icon" ] && ! grep -qE '(^| )(1[6-9]|[2-9][0-9]|[1-9][0-9]{2,}) x' <<<"$icon_sizes"; then
    echo "FAIL  $name: the window shows no icon of 16 x 16 or more (sizes: ${icon_sizes:-none})"
    return 1
  fi
  echo "ok    $name: the clock's window shows${want_icon:+, with its icon (${icon_sizes})} ($log_dir/$release-$name.png)"
}

readme_command() {  # the README's indented set-up command that starts with $1
  grep -E "^    $1" "$here/README.md" | head -n 1 | sed 's/^    //'
}
run_command="$(readme_command 'bash scripts/setup.sh && ')"
test_command="$(readme_command 'bash scripts/setup.sh --tests')"
if [ -z "$run_command" ] || [ -z "$test_command" ]; then
  echo "debian_root_test: the README's two set-up commands were not found" >&2
  exit 1
fi
started=$SECONDS
status=0
own_passed=0
own_failed=0
# check COMMAND...: one of this script's own checks, counted.
check() {
  if "$@"; then own_passed=$((own_passed + 1)); else own_failed=$((own_failed + 1)); status=1; fi
}

make_root build || exit 1
# A pristine copy for the package's install, made before anything is added.
cp -a "$work/build" "$work/install-root"
mount_root build || exit 1
mkdir -p "$work/build/src/trilume"
if git -C "$here" rev-parse --git-dir >/dev/null 2>&1; then
  git -C "$here" ls-files -z --cached --others --exclude-standard |
    tar -C "$here" --null -T - -cf - | tar -C "$work/build/src/trilume" -xf -
else
  tar -C "$here" --exclude=./build -cf - . | tar -C "$work/build/src/trilume" -xf -
fi

start_x || exit 1
say "the run command: $run_command"
run_setup="${run_command% && ./build/app/ui/trilume}"
if interruptible in_root build "cd /src/trilume && $run_setup" >"$log_dir/$release-run-command.log" 2>&1; then
  check show_clock build "cd /src/trilume && ./build/app/ui/trilume" run-command-clock
else
  echo "FAIL  the run command; the end of its output:"
  tail -n 30 "$log_dir/$release-run-command.log" | sed 's/^/      /'
  check false
fi
say "run command done after $((SECONDS - started)) s"

say "the test command: $test_command"
(
  in_root build "cd /src/trilume && $test_command" 2>&1 | tee "$log_dir/$release-test-command.log"
  exit "${PIPESTATUS[0]}"
) &
wait "$!"
test_rc=$?
closing="$(grep -E '^total: [0-9]+ passed, [0-9]+ failed$' "$log_dir/$release-test-command.log" | tail -n 1)"
[ "$test_rc" -eq 0 ] || status=1
say "test command done after $((SECONDS - started)) s"
# The cache keeps only what the release still serves.
in_root build "apt-get autoclean -qq" >/dev/null 2>&1

say "the package, installed into a fresh root"
debs=("$work"/build/src/trilume/build/release/trilume_*_amd64.deb)
if [ -f "${debs[0]}" ]; then
  mount_root install-root || exit 1
  cp "${debs[0]}" "$work/install-root/tmp/"
  if interruptible in_root install-root "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends /tmp/$(basename "${debs[0]}")" \
      >"$log_dir/$release-package-install.log" 2>&1; then
    echo "ok    apt-get install --no-install-recommends $(basename "${debs[0]}")"
    check true
    check show_clock install-root trilume package-clock icon
  else
    echo "FAIL  apt-get install --no-install-recommends $(basename "${debs[0]}"):"
    tail -n 20 "$log_dir/$release-package-install.log" | sed 's/^/      /'
    check false
    check false
  fi
else
  echo "FAIL  the test command left no package in build/release"
  check false
  check false
fi

say "done after $((SECONDS - started)) s"
if [ -n "$closing" ]; then
  echo "$release: the test command: $closing"
  test_passed="$(sed -E 's/^total: ([0-9]+) passed.*/\1/' <<<"$closing")"
  test_failed="$(sed -E 's/.*, ([0-9]+) failed$/\1/' <<<"$closing")"
else
  echo "$release: the test command printed no closing line"
  test_passed=0
  test_failed=1
  status=1
fi
echo "$release: total: $((test_passed + own_passed)) passed, $((test_failed + own_failed)) failed"
exit "$status"
