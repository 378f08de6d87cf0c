#!/bin/sh
# libzip, SQLite and GIO are loaded in modules only by a run that needs them: the
# program names none of them (nor the shared C++ library, which the modules
# bring), a job that neither zips, compacts nor trashes maps none, and without
# its module a /Z job ends with the program's own warning after one line that
# says why, never with a crash.
set -eu
quillet=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. "$(dirname "$0")/module_test_steps.sh"
late='(zip|sqlite|gio|glib|gobject|crypto|gnutls)'

if readelf -d "$quillet" | grep -E "NEEDED.*($late|stdc\+\+)"; then
  fail "the program names a library that only some runs need"
fi

mkdir -p "$work/source/sub" "$work/target"
echo one >"$work/source/sub/a.txt"
run env QUILLET_UI=console LD_DEBUG=files "$quillet" "$(path_text "$work/source")\\*.*" "$(path_text "$work/target")" /S
[ "$status" -eq 0 ] || fail "the plain job ended with $status instead of 0"
if grep -E "file=[^ ]*$late" "$work/err"; then fail "a plain job loaded a library it does not use"; fi

cp "$quillet" "$work/quillet"
run env QUILLET_UI=console "$work/quillet" "$(path_text "$work/source")\\*.*" "$(path_text "$work/zipped")" /S /Z
[ "$status" -eq 1 ] || fail "without its module the /Z job ended with $status instead of 1"
grep -q 'cannot load the zip archiver: .*quillet_zip32' "$work/err" ||
  fail "without its module the /Z job did not say why: $(cat "$work/err")"
grep -q 'It appears the zip dll is not installed' "$work/err" ||
  fail "without its module the /Z job did not warn: $(cat "$work/err")"
