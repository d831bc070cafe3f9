#!/bin/sh
# Every installed program answers --version with the project's one version and --help with its
# usage on stdout. (tesmor-engine without a command is the command tests' case.)
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
done
exit "$failed"
