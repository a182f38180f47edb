#!/usr/bin/env bash
# Builds the .deb, unpacks it into a scratch root and starts the installed
# binary in a virtual X server until its new-game dialog is up.
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
dpkg-deb -x "$deb" "$scratch/root"
for f in usr/bin/reverse usr/share/applications/net.tavix.Reversi.desktop \
         usr/share/metainfo/net.tavix.Reversi.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/net.tavix.Reversi.png \
         usr/share/icons/hicolor/256x256/apps/net.tavix.Reversi.png; do
    [ -e "$scratch/root/$f" ] || { echo "FAIL: $f missing from the package"; exit 1; }
done

mkdir "$scratch/home" && cd "$scratch/home"
XDG_CONFIG_HOME="$scratch/config" "$scratch/root/usr/bin/reverse" &
pid=$!
for _ in $(seq 1 200); do
    xdotool search --onlyvisible --name '^新規ゲーム$' >/dev/null 2>&1 && { echo "deb: passed"; exit 0; }
    sleep 0.1
done
echo "FAIL: the installed binary showed no new-game dialog"
exit 1
