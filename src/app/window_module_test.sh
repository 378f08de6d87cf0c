#!/bin/sh
# The window front end is a module that only a run with windows loads: the program
# names no Qt library, a console run maps none, a window run loads the module (all
# its names bound to the program's own), and without the module the console serves
# after one line that says why.
set -eu
quillet=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work"

. "$(dirname "$0")/module_test_steps.sh"

if readelf -d "$quillet" | grep -E 'NEEDED.*(Qt|xcb)'; then
  fail "the program names Qt or xcb among the libraries it needs"
fi

run env QUILLET_UI=console LD_DEBUG=files "$quillet"
[ "$status" -eq 2 ] || fail "the console run ended with $status instead of 2"
if grep -E 'file=[^ ]*(Qt|xcb)' "$work/err"; then fail "a console run loaded Qt"; fi

mkdir "$work/source" "$work/target"
run env QUILLET_UI=window QT_QPA_PLATFORM=offscreen LD_DEBUG=files \
  "$quillet" "$(path_text "$work/source")\\*.*" "$(path_text "$work/target")"
[ "$status" -eq 0 ] || fail "the window run ended with $status instead of 0: $(grep -v '^ *[0-9]*:' "$work/err")"
grep -q 'file=libQt6Widgets' "$work/err" || fail "the window run did not load Qt"
if grep 'cannot load' "$work/err"; then fail "the window run could not load its module"; fi

cp "$quillet" "$work/quillet"
run env QUILLET_UI=window "$work/quillet"
[ "$status" -eq 2 ] || fail "without its module the program ended with $status instead of 2"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "without its module the program wrote more than one line: $(cat "$work/err")"
grep -q 'cannot load the window front end, running in the console instead: .*quillet_window' "$work/err" ||
  fail "without its module the program did not say why: $(cat "$work/err")"
grep -q 'Syntax:' "$work/out" || fail "without its module the console did not show the syntax"
