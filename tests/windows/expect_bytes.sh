#!/bin/bash
# Runs a command and compares its standard output and error, byte for byte,
# and its exit status with what is expected.
#
#   expect_bytes.sh STATUS STDOUT_FILE STDERR_FILE -- COMMAND...
#
# The expected files spell the bytes with printf %b escapes (\r, \n, \0351,
# \\); their own line breaks only lay the text out and are not part of it.
# An expected file "-" means no output at all.
set -u
status=$1 out_file=$2 err_file=$3
shift 4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

spell() {
  if [ "$1" = - ]; then : >"$2"; else printf '%b' "$(tr -d '\n' <"$1")" >"$2"; fi
}
spell "$out_file" "$work/want.out"
spell "$err_file" "$work/want.err"

# Pipes, as for a user who pipes the report on; not a terminal, where Wine
# adds escape sequences of its own.
mkfifo "$work/err.pipe"
cat "$work/err.pipe" >"$work/got.err" &
err_reader=$!
"$@" </dev/null 2>"$work/err.pipe" | cat >"$work/got.out"
got_status=${PIPESTATUS[0]}
wait "$err_reader"

ok=1
for s in out err; do
  if ! cmp -s "$work/want.$s" "$work/got.$s"; then
    ok=0
    echo "std$s differs (want, then got):"
    od -An -c "$work/want.$s"
    echo "--"
    od -An -c "$work/got.$s"
  fi
done
if [ "$got_status" != "$status" ]; then
  ok=0
  echo "exit status $got_status, want $status"
fi
[ $ok = 1 ]
