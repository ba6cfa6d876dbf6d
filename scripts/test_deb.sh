#!/usr/bin/env bash
# Builds the Debian package in a build directory (default build/bench, a release build), checks
# its file list and control archive with dpkg-deb, installs it with dpkg into a throwaway root and
# runs tamsu, perlo, tamsu-admin and odvor from there.
# Usage: scripts/test_deb.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
root=$(mktemp -d)
work=$(mktemp -d)
log=$work/log
server="tamsu-deb-$$"
trap 'tmux -L "$server" kill-server 2>/dev/null || true; rm -rf "$root" "$work"' EXIT
fail() { [ -s "$log" ] && cat "$log" >&2; echo "test_deb: $*" >&2; exit 1; }

rm -f "$build"/tamsu_*.deb
(cd "$build" && cpack -G DEB) >"$log" 2>&1 || fail "cpack failed"
deb=$(ls "$build"/tamsu_*.deb)

# The file list: programs in /opt/tamsu, links in /usr/bin, menu entries, manual pages.
list=$(dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
want=(./opt/tamsu/Package.txt
      ./usr/share/applications/tamsu.desktop ./usr/share/applications/perlo.desktop)
for p in tamsu perlo tamsu-admin odvor; do
  want+=("./opt/tamsu/$p" "./usr/bin/$p -> /opt/tamsu/$p" "./usr/share/man/man1/$p.1.gz")
done
[ -f docs/Tamsu.txt ] && want+=(./opt/tamsu/Tamsu.txt)
for w in "${want[@]}"; do
  grep -qxF -- "$w" <<<"$list" || fail "missing from the package: $w"
done
# No maintainer scripts: the man-db and desktop-file triggers do all there is to do.
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')
[ "$control" = "control md5sums " ] || fail "unexpected control files: $control"
dpkg-deb -f "$deb" Depends | grep -q libx11-6 || fail "Depends lacks libx11-6"

# Installed with dpkg into a throwaway root (dependencies are the host's, not the root's).
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(fakeroot)
"${as_root[@]}" dpkg --root="$root" --force-not-root --force-depends --log=/dev/null \
    -i "$deb" >"$log" 2>&1 || fail "dpkg could not install the package"
grep -q '^Status: install ok installed' "$root/var/lib/dpkg/status" || fail "dpkg did not record it"
[ "$(readlink "$root/usr/bin/tamsu")" = /opt/tamsu/tamsu ] || fail "bad link /usr/bin/tamsu"

opt=$root/opt/tamsu
export ASAN_OPTIONS=detect_leaks=0
"$opt/tamsu-admin" create "$work/data" --demo >"$log" 2>&1 || fail "tamsu-admin create failed"
"$opt/tamsu-admin" check "$work/data" >"$log" 2>&1 || fail "tamsu-admin check failed"
LC_ALL=C.UTF-8 "$opt/perlo" tax 2014 50000 | grep -q '8 443,98' || fail "perlo tax gave another result"

# The programs with a screen, on a terminal: tamsu on an empty directory asks to create the
# files; odvor from the package sends the user to the package manager and removes nothing.
mkdir -p "$work/empty"
tmux -L "$server" -f /dev/null new-session -d -s deb -x 80 -y 25 \
    "env -u DISPLAY TERM=xterm-256color LC_ALL=C.UTF-8 HOME=$work $opt/tamsu $work/empty" \
    || fail "tmux cannot start"
wait_for() {
  for _ in $(seq 100); do
    tmux -L "$server" capture-pane -p -t deb 2>/dev/null | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  tmux -L "$server" capture-pane -p -t deb 2>/dev/null || true
  fail "the screen never showed: $1"
}
wait_for "Utworzyć nowe pliki?"
tmux -L "$server" kill-session -t deb
tmux -L "$server" -f /dev/null new-session -d -s deb -x 80 -y 25 \
    "env -u DISPLAY TERM=xterm-256color LC_ALL=C.UTF-8 HOME=$work $opt/odvor"
wait_for "Tamsu zainstalowano z pakietu Debiana."
tmux -L "$server" send-keys -t deb Enter
for _ in $(seq 50); do tmux -L "$server" has-session -t deb 2>/dev/null || break; sleep 0.1; done
[ -x "$opt/odvor" ] && [ -x "$opt/tamsu" ] || fail "odvor removed files of a package installation"
echo "test_deb: $(basename "$deb") built, inspected, installed into a throwaway root and run"
