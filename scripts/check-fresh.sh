#!/usr/bin/env bash
# Runs the README's two commands on a fresh, minimal Debian 12, the way a
# newcomer (or a new CI machine) would: a bookworm root made by debootstrap
# with only git and ca-certificates added, a clone of this checkout in it,
# then `CI=true scripts/test.sh` and `scripts/demo.sh` as root in a chroot.
# Whatever scripts/setup.sh forgets to install shows up here.
#
#   scripts/check-fresh.sh [--rebuild]
#
# It clones the commit HEAD names: commit first, uncommitted changes are not
# part of the check. The root made by debootstrap is kept as a tarball in
# build-fresh/ and unpacked anew for every run, so no run sees the packages
# of the one before; --rebuild makes that tarball again. Downloaded .deb
# files are kept in build-fresh/apt-archives/ to spare the mirror on reruns.
# Needs root (it asks sudo otherwise), network access to the Debian mirror
# that this machine's apt sources name, and about 6 GB of disk.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then exec sudo -- "$0" "$@"; fi

cd "$(dirname "$0")/.."
SOURCE=$PWD
SUITE=bookworm
FRESH=$SOURCE/build-fresh
PRISTINE=$FRESH/$SUITE-pristine.tar
ROOT=$FRESH/root
ARCHIVES=$FRESH/apt-archives
LOG=$FRESH/check.log
# The chroot's build is CPU-heavy; it yields to whatever else runs here.
NICE=10

REBUILD=no
case "${1:-}" in
  "") ;;
  --rebuild) REBUILD=yes ;;
  *) echo "usage: scripts/check-fresh.sh [--rebuild]" >&2; exit 2 ;;
esac
case "$FRESH" in
  *[[:space:]]*) echo "check-fresh: the checkout's path must not hold spaces: $FRESH" >&2; exit 2 ;;
esac

START=$(date +%s)
STEP="starting"

elapsed() {
  local s=$(($(date +%s) - START))
  printf '%dm %02ds' $((s / 60)) $((s % 60))
}

say() { echo "==> check-fresh: $*"; }

# Every mount point below a folder, deepest first.
mounts_below() {
  awk -v dir="$1/" 'index($2 "/", dir) == 1 { print $2 }' /proc/self/mounts | sort -r
}

unmount_below() {
  local m
  for m in $(mounts_below "$1"); do
    umount "$m" 2>/dev/null || umount -l "$m"
  done
}

# Removes a root made here. Whatever is mounted in it is unmounted first,
# and rm stays on this file system, so the machine's own /proc, /sys or
# /dev can never be touched.
remove_root() {
  [ -e "$1" ] || return 0
  unmount_below "$1"
  if [ -n "$(mounts_below "$1")" ]; then
    echo "check-fresh: $1 still has mounts in it; not removing it" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}

finish() {
  local status=$?
  set +e
  unmount_below "$ROOT"
  unmount_below "$ROOT.new"
  if [ "$status" -eq 0 ]; then
    say "passed in $(elapsed)"
  else
    echo
    echo "==> check-fresh: FAILED at: $STEP (exit status $status) after $(elapsed)"
    [ -f "$LOG" ] && echo "    full log: $LOG"
  fi
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The Debian mirror this machine's apt sources name for $SUITE: the URIs of
# a deb822 stanza (*.sources) listing the suite, else a one-line entry in
# sources.list or *.list. MIRROR=... overrides it.
find_mirror() {
  local f uri
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    uri=$(awk -v suite="$SUITE" '
      function stanza_end() {
        if (!found && types ~ /(^|[ \t])deb([ \t]|$)/ && enabled != "no" && uris != "" &&
            index(" " suites " ", " " suite " ")) {
          split(uris, u, /[ \t]+/); print u[1]; found = 1
        }
        types = uris = suites = enabled = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { stanza_end(); next }
      match($0, /^[A-Za-z-]+:/) {
        key = tolower(substr($0, 1, RLENGTH - 1))
        value = substr($0, RLENGTH + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", value)
        if (key == "types") types = value
        else if (key == "uris") uris = value
        else if (key == "suites") suites = value
        else if (key == "enabled") enabled = tolower(value)
      }
      END { stanza_end() }' "$f")
    if [ -n "$uri" ]; then echo "$uri"; return; fi
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # deb [options] URI SUITE COMPONENTS...
    uri=$(awk -v suite="$SUITE" '
      $1 == "deb" {
        i = 2
        if ($i ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
        if ($(i + 1) == suite) { print $i; exit }
      }' "$f")
    if [ -n "$uri" ]; then echo "$uri"; return; fi
  done
}

# A private /dev for the chroot: a tmpfs with the few device nodes a build
# and the tests use, rather than the machine's own /dev.
make_dev() {
  local dev=$1
  mount -t tmpfs -o mode=755,nosuid pxrun-dev "$dev"
  mknod -m 666 "$dev/null" c 1 3
  mknod -m 666 "$dev/zero" c 1 5
  mknod -m 666 "$dev/full" c 1 7
  mknod -m 666 "$dev/random" c 1 8
  mknod -m 666 "$dev/urandom" c 1 9
  mknod -m 666 "$dev/tty" c 5 0
  mkdir -m 1777 "$dev/shm"
  # A pseudo-terminal instance of its own, for apt's log of dpkg.
  mkdir -m 755 "$dev/pts"
  mount -t devpts -o newinstance,ptmxmode=0666,mode=620 pxrun-devpts "$dev/pts"
  ln -s pts/ptmx "$dev/ptmx"
  ln -s /proc/self/fd "$dev/fd"
  ln -s /proc/self/fd/0 "$dev/stdin"
  ln -s /proc/self/fd/1 "$dev/stdout"
  ln -s /proc/self/fd/2 "$dev/stderr"
}

# Runs a command as root in the chroot, in the clone, with the clean
# environment of a login on a new machine (no display, no CI variables
# other than those given).
in_root() {
  nice -n "$NICE" chroot "$ROOT" /usr/bin/env -i \
    HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb "$@"
}

mkdir -p "$FRESH" "$ARCHIVES"
: >"$LOG"
exec > >(tee -a "$LOG") 2>&1

# 1. The pristine root, made once.
if [ "$REBUILD" = yes ] || [ ! -f "$PRISTINE" ]; then
  STEP="making the $SUITE root with debootstrap"
  MIRROR=${MIRROR:-$(find_mirror)}
  if [ -z "$MIRROR" ]; then
    echo "check-fresh: no $SUITE mirror in /etc/apt/sources.list*; set MIRROR=URL" >&2
    exit 1
  fi
  if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null ||
      { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null; }
  fi
  say "$STEP from $MIRROR"
  remove_root "$ROOT.new"
  debootstrap --variant=minbase --include=git,ca-certificates "$SUITE" "$ROOT.new" "$MIRROR"
  rm -rf "$ROOT.new/var/cache/apt/archives/"*.deb "$ROOT.new/var/lib/apt/lists/"*
  unmount_below "$ROOT.new"
  tar -C "$ROOT.new" --numeric-owner -cpf "$PRISTINE.tmp" .
  mv "$PRISTINE.tmp" "$PRISTINE"
  remove_root "$ROOT.new"
fi

# 2. A fresh copy of it, with a clone of HEAD.
STEP="unpacking a fresh root"
say "$STEP"
remove_root "$ROOT"
mkdir -p "$ROOT"
tar -C "$ROOT" --numeric-owner -xpf "$PRISTINE"
cp /etc/resolv.conf "$ROOT/etc/resolv.conf"

STEP="cloning HEAD"
COMMIT=$(git -C "$SOURCE" rev-parse HEAD)
say "cloning $COMMIT"
if [ -n "$(git -C "$SOURCE" status --porcelain --untracked-files=no)" ]; then
  say "note: uncommitted changes in $SOURCE are not part of this check"
fi
git clone -q --no-hardlinks "$SOURCE" "$ROOT/root/pxrun"
git -C "$ROOT/root/pxrun" reset -q --hard "$COMMIT"

STEP="mounting /proc, /sys and /dev in the root"
mount -t proc proc "$ROOT/proc"
mount -t sysfs -o ro sysfs "$ROOT/sys"
make_dev "$ROOT/dev"
mount --bind "$ARCHIVES" "$ROOT/var/cache/apt/archives"

# 3. The README's commands.
STEP="CI=true scripts/test.sh"
say "$STEP (in the chroot, nice $NICE)"
in_root CI=true bash -c 'cd /root/pxrun && scripts/test.sh'

STEP="scripts/demo.sh"
say "$STEP (in the chroot, nice $NICE)"
in_root bash -c 'cd /root/pxrun && scripts/demo.sh'
STEP="checking the demo's last frame"
test -s "$ROOT/root/pxrun/build/demo.png"
