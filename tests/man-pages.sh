#!/usr/bin/env bash
# The manual pages format without a single warning from man and groff, as
# lintian runs them, and each names every option that --help lists.
# Usage: man-pages.sh <reverse binary> <page>...
set -uo pipefail
bin=$1
shift
options=$("$bin" --help | grep -E '^  -' | grep -oE -- '-{1,2}[a-z][a-z-]*')
[ -n "$options" ] || { echo "FAIL: no options in --help"; exit 1; }
status=0
for page in "$@"; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "FAIL: $page: $warnings"; status=1; }
    for option in $options; do
        grep -qF "${option//-/\\-}" "$page" || { echo "FAIL: $page does not describe $option"; status=1; }
    done
done
[ $status = 0 ] && echo "man-pages: passed"
exit $status
