#!/usr/bin/env bash
# Installs build-package/tesmor_<version>_amd64.deb with apt-get into a clean Debian 12 root,
# runs each program once from the PATH, starts the window with its desktop entry's command line
# under Xvfb, then purges the package and checks that none of its files is left behind.
# The root is made once with debootstrap (build-package/debian12-root) and used in a private
# mount namespace. With --here, or without debootstrap, the package goes onto this machine.
#   scripts/test-package.sh [--here]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$PWD/build-package"
deb="$(ls "$build"/tesmor_*_amd64.deb)"
version="$(dpkg-deb --field "$deb" Version)"
root=""
if [ "${1:-}" != --here ] && command -v debootstrap >/dev/null; then root="$build/debian12-root"; fi

fail() { echo "test-package: $*" >&2; exit 1; }
# A Debian user's PATH, which holds /usr/games.
user_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games

# The mounts below vanish with this namespace, whatever way the script ends.
if [ -n "$root" ] && [ -z "${TESMOR_PACKAGE_NS:-}" ]; then
  exec unshare --mount --propagation private env TESMOR_PACKAGE_NS=1 "$0" "$@"
fi
if [ -n "$root" ] && [ ! -d "$root" ]; then
  debootstrap --variant=minbase bookworm "$root.tmp" http://deb.debian.org/debian
  mv "$root.tmp" "$root"
fi
if [ -n "$root" ]; then
  for dir in proc sys dev dev/pts; do mount --bind "/$dir" "$root/$dir"; done
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mkdir -p "$root/tmp/.X11-unix"
  mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
  run() { chroot "$root" env -i PATH="$user_path" HOME=/root "$@"; }
else
  run() { env -i PATH="$user_path" HOME=/root "$@"; }
fi
work="$root/tmp/tesmor-package-test"
rm -rf "$work" && mkdir -p "$work"
cp "$deb" "$work/"

echo "test-package: installing $(basename "$deb") in ${root:-this machine}"
run apt-get update -qq
run env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/tesmor-package-test/$(basename "$deb")" >/dev/null
run dpkg -L tesmor >"$work/files"
run dpkg-query -W -f='${Status}\n' fonts-liberation fonts-arphic-ukai | grep -qv 'not-installed' ||
  fail "the fonts did not come with the package"

# Each program from the PATH, from a folder without a book, so that the installed one is used.
cd "$work"
for program in tesmor tesmor-engine pbrain-tesmor tesmor-book; do
  [ "$(run "$program" --version)" = "$program $version" ] || fail "$program --version"
  run "$program" --help >"$work/help" && grep -q "$program" "$work/help" || fail "$program --help"
done
status=0
run tesmor-engine >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] || fail "tesmor-engine without a command exits $status, not 2"
run sh -c 'cd /tmp && tesmor-engine move "H8 H9" --level 1 --rules rif 2>&1' >"$work/move"
grep -qx '[A-O][0-9]*' "$work/move" || fail "tesmor-engine move: $(cat "$work/move")"
! grep -q "no opening book" "$work/move" || fail "tesmor-engine did not find the installed book"
# No END: the brain answers what it was asked and then stops at the end of its input.
printf 'START 15\nINFO rule 4\nINFO timeout_turn 1000\nBEGIN\n' |
  run sh -c 'cd /tmp && pbrain-tesmor' >"$work/brain"
grep -q '^OK' "$work/brain" && grep -qx '[0-9]*,[0-9]*' "$work/brain" || fail "pbrain-tesmor"
! grep -q "no opening book" "$work/brain" || fail "pbrain-tesmor did not find the installed book"
run tesmor-book dump /usr/share/tesmor/M.lib >"$work/book.txt" && grep -q '^H8' "$work/book.txt" ||
  fail "tesmor-book dump"
echo "test-package: the four programs run and find the installed book"

# The window, started as the desktop menu starts it, with a saved game of three moves.
printf '\003\160\177\220' >"$work/game.pos"
exec_line="$(sed -n 's/^Exec=//p' "$root/usr/share/applications/tesmor.desktop")"
command_line="${exec_line//%f//tmp/tesmor-package-test/game.pos}"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
run env DISPLAY="$display" XDG_RUNTIME_DIR=/tmp $command_line >"$work/window.log" 2>&1 &
window=$!
shown=""
for _ in $(seq 40); do
  if xwininfo -display "$display" -root -tree 2>/dev/null | grep -q "\"Tesmor v"; then
    shown=yes
    break
  fi
  sleep 0.25
done
kill "$window" 2>/dev/null || true
wait "$window" 2>/dev/null || true
[ -n "$shown" ] || fail "the window did not appear: $command_line: $(cat "$work/window.log")"
echo "test-package: '$command_line' opened the window"

# Removal leaves none of the package's files, nor the MIME type the trigger registered.
cd /
run env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tesmor >/dev/null
run env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -qq >/dev/null
left=0
while read -r path; do
  if [ -f "$root$path" ] || [ -L "$root$path" ]; then
    echo "test-package: left behind: $path" >&2
    left=1
  fi
done <"$work/files"
[ ! -e "$root/usr/share/mime/application/x-tesmor-position.xml" ] ||
  fail "the MIME type outlived the package"
[ "$left" = 0 ] || fail "files left after purge"
rm -rf "$work"
echo "test-package: purged without a trace"
