#!/usr/bin/env bash
# The command line without a display: -h, --help and --version print on standard
# output and exit 0, a wrong command line says why in one line on standard
# error and exits 2, a FILE operand gets past the parser (to the missing
# display), and a help text that can't be written is not a success.
# Usage: command-line.sh <reverse binary>
set -uo pipefail
bin=$1
err=$(mktemp)
trap 'rm -f "$err"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() { out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" "$@" 2>"$err"); rc=$?; }

run --help
[ $rc = 0 ] && [ ! -s "$err" ] || fail "--help: exit $rc, stderr '$(cat "$err")'"
[ "$(head -n 1 <<<"$out")" = "Usage: reverse [-h|--help] [--version] [FILE]" ] || fail "--help printed '$out'"
help=$out
run -h
[ $rc = 0 ] && [ "$out" = "$help" ] || fail "-h: exit $rc, printed '$out'"

run --version
[ $rc = 0 ] && [ ! -s "$err" ] || fail "--version: exit $rc, stderr '$(cat "$err")'"
[[ $(head -n 1 <<<"$out") =~ ^reverse\ \(Tavix\ Reversi\)\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$out'"

for args in "--bogus" "--help=1" "one.ggf two.ggf"; do
    # shellcheck disable=SC2086 # the words are the arguments
    run $args
    [ $rc = 2 ] && [ -z "$out" ] || fail "'$args': exit $rc, stdout '$out'"
    [ "$(wc -l <"$err")" = 1 ] && grep -q '^reverse: ' "$err" || fail "'$args': stderr '$(cat "$err")'"
done

run game.ggf
[ $rc = 1 ] || fail "a FILE operand without a display: exit $rc, expected 1 (no display)"

env -u DISPLAY "$bin" --help >/dev/full 2>/dev/null && fail "--help into a full disk exited 0"
echo "command-line: passed"
