# What the module tests share, sourced after they set $work: a failure that ends
# the test, a run whose output lands in $work/out and $work/err and whose exit
# status is in $status, and the path text for a native path.
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
run() {
  status=0
  "$@" >"$work/out" 2>"$work/err" || status=$?
}
path_text() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
