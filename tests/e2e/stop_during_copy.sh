#!/usr/bin/env bash
# The real executable during a long copy: the bar moves within one component, and Exit with Yes
# stops the copy cleanly before the program ends. strace stretches each write of the copier (a
# pwrite of 1 MiB; the window's own writes go through write and sendmsg) to a tenth of a second,
# so that the copy of the large file lasts some 50 s. Every step waits
# for what it needs to see (a temporary file grown, the bar moved, the program gone), however
# long a loaded machine takes to get there, within one deadline for the whole walk.
set -euo pipefail
program=$1
make_sample=$2
. "$(dirname "$0")/lib.sh"

make_sample_prefix "$make_sample"
fallocate -l 512M "$icq/NewDB/huge.db" # last of its folder in name order; not sparse
cat >"$prefix/slow-zeb2000" <<SLOW
#!/bin/sh
exec strace -f -qq --seccomp-bpf -o /dev/null -e trace=pwrite64 \
    -e inject=pwrite64:delay_exit=100000 "$program"
SLOW
chmod +x "$prefix/slow-zeb2000"

start_program "$prefix/slow-zeb2000" "$prefix"
walk_to_task_options "$backup"
keys_to "$MAIN_WINDOW" Return Return

# The bar (Picture1) lies at 152,232 in the window, 305 x 25 pixels.
bar() { import -window "$MAIN_WINDOW" -crop 305x25+152+232 +repage "$prefix/bar$1.png"; }
temporary_grown() { [ -n "$(find "$backup/NewDB" -name '.~zeb*-huge.db' -size +20M 2>/dev/null)" ]; }
bar_moved() {
    bar 2
    [ "$(compare -metric AE "$prefix/bar1.png" "$prefix/bar2.png" null: 2>&1 || true)" != 0 ]
}
wait_for "the large file's copy to begin" temporary_grown
bar 1
wait_for "the bar to move within the component" bar_moved
[ -n "$(find "$backup/NewDB" -name '.~zeb*-huge.db')" ] || fail "the copy ended too soon to stop it"

keys_to "$MAIN_WINDOW" Escape
box=$(wait_for_window "Program is busy!")
keys_to "$box" alt+y
program_gone() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }
wait_for "the program to end after Yes" program_gone

[ -z "$(find "$backup" -name '.~zeb*')" ] || fail "a temporary file stayed"
[ ! -e "$backup/NewDB/huge.db" ] || fail "the file being written stayed"
for folder in 2000b CL Db99b; do
    diff -r "$icq/$folder" "$backup/$folder" >/dev/null || fail "$folder was not kept whole"
done
for file in 11111111.dat 11111111.idx 22222222.dat 22222222.idx; do
    cmp -s "$icq/NewDB/$file" "$backup/NewDB/$file" || fail "NewDB/$file was not kept whole"
done
[ ! -e "$backup/UIN" ] || fail "a component after the stop was copied"
rm -rf "$prefix"
echo "1 passed, 0 failed"
