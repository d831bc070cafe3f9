#!/bin/sh
# Every installed program answers --version with the project's one version and --help with its
# usage on stdout; tesmor-engine without a command puts its usage on stderr and exits 2.
#   programs_test.sh VERSION PROGRAM...
set -u
version="$1"
shift
failed=0
fail() { echo "FAIL: $*"; failed=1; }
for program in "$@"; do
  name="$(basename "$program")"
  answer="$("$program" --version 2>&1)" || fail "$name --version exits $?"
  [ "$answer" = "$name $version" ] || fail "$name --version says '$answer'"
  help="$("$program" --help 2>/dev/null)" || fail "$name --help exits $?"
  case "$help" in *"$name"*) ;; *) fail "$name --help prints no usage on stdout" ;; esac
  if [ "$name" = tesmor-engine ]; then
    "$program" >/dev/null 2>&1
    status=$?
    [ "$status" = 2 ] || fail "$name without a command exits $status"
    [ -z "$("$program" 2>/dev/null)" ] || fail "$name without a command writes on stdout"
    [ -n "$("$program" 2>&1)" ] || fail "$name without a command says nothing on stderr"
  fi
done
exit "$failed"
