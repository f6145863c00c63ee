#!/bin/bash
# Checks the harness itself: exact bytes through the serial ports, stdout and
# stderr kept apart, exit status, shipping a C++ binary with its libraries and
# an extra file, and the hard timeout.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { # NAME EXPECTED-FILE ACTUAL-FILE
    if cmp -s "$2" "$3"; then echo "PASS selftest: $1"
    else echo "FAIL selftest: $1"; diff -a "$2" "$3" | head -n 20 | sed 's/^/    /'; fail=1; fi
}

# Bytes a tty would mangle (CR, LF, NUL, ESC, 0xff), then enough lines to
# overrun any buffer on the way.
payload="printf 'crlf\\r\\nnul\\000esc\\033[0m\\377\\n'; seq 1 20000"
bash -c "$payload" >"$tmp/want.out"
printf 'to stderr\n' >"$tmp/want.err"

printf 'shipped file\n' >"$tmp/data.txt"
cat >"$tmp/hello.cpp" <<'CPP'
#include <iostream>
#include <string>
int main(int argc, char **argv) { std::cout << std::string("hello from ") + argv[0] << '\n'; }
CPP
bin_args=() want_bin=
if c++ -O1 -o "$tmp/hello-vm" "$tmp/hello.cpp" 2>"$tmp/cc.err"; then
    bin_args=(--binary "$tmp/hello-vm")
    want_bin="hello from hello-vm"
else
    echo "SKIP selftest: binary shipping (no working C++ compiler)"
fi

"$here/run-in-vm.sh" --radios 1 "${bin_args[@]}" --file "$tmp/data.txt" --cmd "
    ${want_bin:+hello-vm}
    cat /vm/files/data.txt
    $payload
    printf 'to stderr\n' >&2
    exit 7" >"$tmp/got.out" 2>"$tmp/got.err"
rc=$?
{ [[ -z $want_bin ]] || echo "$want_bin"; echo "shipped file"; cat "$tmp/want.out"; } >"$tmp/want.all"
check "stdout bytes" "$tmp/want.all" "$tmp/got.out"
check "stderr bytes" "$tmp/want.err" "$tmp/got.err"
echo "exit status 7" >"$tmp/want.rc"; echo "exit status $rc" >"$tmp/got.rc"
check "exit status" "$tmp/want.rc" "$tmp/got.rc"

start=$SECONDS
"$here/run-in-vm.sh" --radios 0 --timeout 10 --cmd 'echo before; sleep 600' >"$tmp/got.out" 2>/dev/null
rc=$?
echo "exit status 124, before" >"$tmp/want.rc"
echo "exit status $rc, $(cat "$tmp/got.out")" >"$tmp/got.rc"
check "timeout" "$tmp/want.rc" "$tmp/got.rc"
((SECONDS - start < 30)) || { echo "FAIL selftest: timeout took $((SECONDS - start)) s"; fail=1; }
exit $fail
