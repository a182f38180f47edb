#!/usr/bin/env bash
# Builds the .deb, checks it with lintian (no errors, no warnings), unpacks it
# into a scratch root, checks that its version, changelog and manual pages
# agree, and starts the installed binary in a virtual X server until its
# new-game dialog is up.
# Usage: deb.sh <build folder>   (run under xvfb-run)
set -euo pipefail
build=$(realpath "$1")
scratch=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libqt6widgets6*fonts-ipafont-gothic* ]] || { echo "FAIL: Depends is '$depends'"; exit 1; }
lintian --fail-on error,warning "$deb" || { echo "FAIL: lintian reports the above"; exit 1; }
dpkg-deb -x "$deb" "$scratch/root"
doc=usr/share/doc/tavix-reversi
for f in usr/games/reverse usr/share/applications/net.tavix.Reversi.desktop \
         usr/share/metainfo/net.tavix.Reversi.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/net.tavix.Reversi.png \
         usr/share/icons/hicolor/256x256/apps/net.tavix.Reversi.png \
         usr/share/man/man6/reverse.6.gz usr/share/man/ja/man6/reverse.6.gz \
         $doc/copyright $doc/changelog.gz; do
    [ -e "$scratch/root/$f" ] || { echo "FAIL: $f missing from the package"; exit 1; }
done

# One version everywhere: the package, the program, its changelog and its manual pages.
version=$(dpkg-deb -f "$deb" Version)
[ "$("$scratch/root/usr/games/reverse" --version | head -n 1)" = "reverse (Tavix Reversi) $version" ] ||
    { echo "FAIL: --version differs from the package's $version"; exit 1; }
zcat "$scratch/root/$doc/changelog.gz" >"$scratch/changelog"
[ "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)" = "$version" ] ||
    { echo "FAIL: the changelog's last entry is not $version"; exit 1; }
for page in man6 ja/man6; do
    zcat "$scratch/root/usr/share/man/$page/reverse.6.gz" | grep -q "^\.TH REVERSE 6 .*\"Tavix Reversi $version\"" ||
        { echo "FAIL: the $page page is not of version $version"; exit 1; }
done

mkdir "$scratch/home" && cd "$scratch/home"
export XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state"
"$scratch/root/usr/games/reverse" &
pid=$!
for _ in $(seq 1 200); do
    xdotool search --onlyvisible --name '^新規ゲーム$' >/dev/null 2>&1 && { echo "deb: passed"; exit 0; }
    sleep 0.1
done
echo "FAIL: the installed binary showed no new-game dialog"
exit 1
