#!/usr/bin/env bash
# The command line without a display: -h, --help and --version print on standard
# output and exit 0, the help in the language of the locale or of --lang, a
# wrong command line (an unknown language among them) says why in one line on
# standard error and exits 2, a FILE operand gets past the parser (to the
# missing display), and a help text that can't be written is not a success.
# Usage: command-line.sh <reverse binary>
set -uo pipefail
bin=$1
err=$(mktemp)
trap 'rm -f "$err"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The locale is $LANG of the caller's choice, C when unset.
run() {
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LANGUAGE -u LC_ALL -u LC_MESSAGES \
        LANG="${LANG:-C}" "$bin" "$@" 2>"$err")
    rc=$?
}
japanese="使い方: reverse [-h|--help] [--version] [--lang ja|en] [FILE]"
english="Usage: reverse [-h|--help] [--version] [--lang ja|en] [FILE]"
first_line() { # args... expected
    local expected=${*: -1}
    run "${@:1:$#-1}"
    [ $rc = 0 ] && [ ! -s "$err" ] || fail "$*: exit $rc, stderr '$(cat "$err")'"
    [ "$(head -n 1 <<<"$out")" = "$expected" ] || fail "LANG=$LANG $*: printed '$out'"
}

LANG=C first_line --help "$japanese"
help=$out
LANG=C run -h
[ $rc = 0 ] && [ "$out" = "$help" ] || fail "-h: exit $rc, printed '$out'"
LANG=ja_JP.UTF-8 first_line --help "$japanese"
LANG=en_US.UTF-8 first_line --help "$english"
LANG=C first_line --lang en --help "$english"
LANG=C first_line --help --lang=en "$english"
LANG=en_US.UTF-8 first_line --lang ja -h "$japanese"

run --version
[ $rc = 0 ] && [ ! -s "$err" ] || fail "--version: exit $rc, stderr '$(cat "$err")'"
[[ $(head -n 1 <<<"$out") =~ ^reverse\ \(Tavix\ Reversi\)\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed '$out'"

for args in "--bogus" "--help=1" "one.ggf two.ggf" "--lang fr" "--lang" "--help --lang de"; do
    # shellcheck disable=SC2086 # the words are the arguments
    run $args
    [ $rc = 2 ] && [ -z "$out" ] || fail "'$args': exit $rc, stdout '$out'"
    [ "$(wc -l <"$err")" = 1 ] && grep -q '^reverse: ' "$err" || fail "'$args': stderr '$(cat "$err")'"
done

run game.ggf
[ $rc = 1 ] || fail "a FILE operand without a display: exit $rc, expected 1 (no display)"

env -u DISPLAY "$bin" --help >/dev/full 2>/dev/null && fail "--help into a full disk exited 0"
echo "command-line: passed"
