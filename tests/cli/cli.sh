#!/usr/bin/env bash
# zeb2000-cli as a real process on a sample Wine prefix, for what the in-process tests
# (commandline_tests) cannot show: the linking, exit codes and --json as a shell and a JSON
# parser see them, the terminal (the replace question, Ctrl+C at it, a status line that follows
# the width after SIGWINCH), SIGINT and SIGTERM during a copy, --keep on real set folders, and
# the refusal of a backup and a restore while a process runs icq.exe.
set -euo pipefail
# The tool speaks the user's language; these lines read its English words (the C locale, as CI).
export LC_ALL=C.UTF-8
unset LANGUAGE
cli=$1
make_sample=$2
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix"
"$make_sample" "$WINEPREFIX" >/dev/null
unset DISPLAY
icq="$WINEPREFIX/drive_c/Program Files/ICQ"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=$((failed + 1))
}
# Runs the tool; its exit code in $status, its output in $work/out.
run() {
    status=0
    "$cli" "$@" >"$work/out" 2>&1 </dev/null || status=$?
}
# Runs a shell line on a terminal of its own (script); output in $work/out.
on_terminal() {
    status=0
    script -qec "$1" /dev/null >"$work/out" 2>&1 </dev/null || status=$?
}
expect() { # <exit code> <what>
    [ "$status" = "$1" ] || fail "$2: exit $status, not $1: $(cat "$work/out")"
}
# Waits until the file holds the text (a state, not a time); gives up after 20 s.
wait_for() { # <file> <text>
    local end=$((SECONDS + 20))
    while [ $SECONDS -lt $end ]; do
        grep -qa -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.01
    done
    fail "never saw \"$2\" in $1: $(cat "$1")"
    return 1
}

# The core the tool is built on needs no Qt Gui or Widgets.
# The listing is captured first: under pipefail, grep -q leaving early would fail readelf.
needed=$(readelf -d "$cli")
if grep -qE 'NEEDED.*Qt6(Gui|Widgets)' <<<"$needed"; then
    fail "zeb2000-cli links Qt Gui or Widgets"
fi

run backup --to "$work/plain" --component 2000b --component cl
expect 0 "backup"
diff -r "$icq/2000b" "$work/plain/2000b" >/dev/null || fail "the backup differs"
# Under a locale that is not UTF-8 the system's reason (strerror speaks CP1251 there) comes out
# as the words it says.
mkdir "$work/locale"
localedef -i ru_RU -f CP1251 "$work/locale/ru_RU.CP1251" || fail "no ru_RU.CP1251 locale made"
LOCPATH="$work/locale" LC_ALL=ru_RU.CP1251 run backup --to "$work/$(printf '%0300d' 0)/b"
grep -q "Не удалось проверить .*: Слишком длинное имя файла" "$work/out" ||
    fail "the reason under CP1251: $(cat "$work/out")"

# The language follows LANG where its locale exists: the help in German and Russian, and --json
# the same document in every language (the last backup's line and each file's action are words
# too, translated on the terminal only).
in_language() { # <LANG> <command>...
    local language=$1
    shift
    env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LOCPATH="$work/locale" XDG_CONFIG_HOME="$work/config" \
        LANG="$language" "$@" </dev/null
}
for language in de_DE:Aufruf ru_RU:Использование; do
    localedef -i "${language%%:*}" -f UTF-8 "$work/locale/${language%%:*}.UTF-8" ||
        fail "no ${language%%:*}.UTF-8 locale made"
    in_language "${language%%:*}.UTF-8" "$cli" --help >"$work/out" 2>&1
    grep -q "^${language#*:}: zeb2000-cli <" "$work/out" || fail "--help in ${language%%:*}: $(cat "$work/out")"
done
for language in C de_DE.UTF-8 ru_RU.UTF-8; do # the free space aside, which others change
    { in_language $language "$cli" backup --to "$work/plain" --component cl --json -n
      in_language $language "$cli" schedule --status --json; } 2>/dev/null |
        grep -v '"available":' >"$work/json-$language"
done
cmp "$work/json-C" "$work/json-de_DE.UTF-8" && cmp "$work/json-C" "$work/json-ru_RU.UTF-8" ||
    fail "--json changes with the language: $(diff "$work/json-C" "$work/json-ru_RU.UTF-8")"

# --json as a JSON parser reads it; -v lists no files there: standard output is the one document.
status=0
"$cli" backup --to "$work/json" --component cl --json -v >"$work/out" 2>/dev/null </dev/null || status=$?
expect 0 "backup --json -v"
python3 -m json.tool "$work/out" >/dev/null || fail "backup --json -v is no JSON: $(cat "$work/out")"

# Only folders holding a set's record count: a folder named like a set, a link to one and a
# name near one stay, with what they hold; sets made in the same minute get names of their own.
mkdir -p "$work/sets/2001-01-01 0000" "$work/sets/not a set" "$work/sets/2000-1-1 0000"
touch "$work/sets/not a set/notes"
ln -s "$work/sets/not a set" "$work/sets/1999-01-01 0000"
for _ in 1 2; do
    run backup --to "$work/sets" --dated --quiet
    expect 0 "dated backup"
done
before=$(ls "$work/sets")
run backup --to "$work/sets" --dated --keep 2 --quiet
expect 0 "dated backup with --keep 2"
made=$(ls "$work/sets" | grep -vxF -- "$before" || true)
[ "$(echo "$made" | grep -cE '^20[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{4}(-[0-9]+)?$')" = 1 ] &&
    [ -d "$work/sets/$made/2000b" ] || fail "--keep 2 removed the set just made: $(ls "$work/sets")"
sets=$(ls "$work/sets")
new_sets=$(echo "$sets" | grep -cE '^20[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{4}(-[0-9]+)?$' || true)
[ "$(echo "$sets" | wc -l)" = 6 ] && [ "$new_sets" = 3 ] && grep -q "^2001-01-01 0000$" <<<"$sets" &&
    [ -e "$work/sets/1999-01-01 0000/notes" ] && [ -d "$work/sets/2000-1-1 0000" ] ||
    fail "--keep 2 left: $(ls "$work/sets")"

# The replace question: on a terminal it is asked and answered; with standard input not a
# terminal but standard error one, it is not asked, the file is kept and the exit is 1.
cp "$icq/NewDB/11111111.dat" "$work/original"
echo damaged >"$icq/NewDB/11111111.dat"
on_terminal "'$cli' restore --from '$work/sets' --latest --component NewDB </dev/null"
expect 1 "restore with standard input not a terminal"
! grep -q "Replace " "$work/out" && grep -q "kept, not replaced: .*11111111.dat" "$work/out" ||
    fail "a question without a terminal to answer it: $(cat "$work/out")"
[ "$(cat "$icq/NewDB/11111111.dat")" = damaged ] || fail "a file was replaced without asking"
status=0
printf 'a\n' | script -qec "'$cli' restore --from '$work/sets' --latest --component NewDB" \
    /dev/null >"$work/out" 2>&1 || status=$?
expect 0 "restore answered 'all' on a terminal"
grep -q "Replace .*11111111.dat?" "$work/out" || fail "no question asked: $(cat "$work/out")"
cmp -s "$work/original" "$icq/NewDB/11111111.dat" || fail "the restore did not give back the bytes"
# An undo that cannot be done tells why in the user's language, and in English in --json.
kept=("$icq/ZEB Undo/"*/files/NewDB/11111111.dat)
mv "${kept[0]}" "$work/kept"
for language in C ru_RU.UTF-8 de_DE.UTF-8; do # German last, in $work/out
    in_language $language "$cli" undo --json >"$work/undo-$language" 2>"$work/out" || true
done
grep -q "aufbewahrte Kopie fehlt" "$work/out" || fail "undo's reason in German: $(cat "$work/out")"
cmp "$work/undo-C" "$work/undo-ru_RU.UTF-8" || fail "undo --json changes with the language"
mv "$work/kept" "${kept[0]}"

# Ctrl+C at the question ends the run at once: exit 130, the stop line, nothing replaced.
echo damaged >"$icq/NewDB/11111111.dat"
mkfifo "$work/keys"
# Emptied first: the job empties it only once running, and the last run's question is in it.
: >"$work/out"
script -qec "'$cli' restore --from '$work/sets' --latest --component NewDB" /dev/null \
    <"$work/keys" >"$work/out" 2>&1 &
script_pid=$!
pids+=("$script_pid")
exec 3>"$work/keys"
wait_for "$work/out" "Replace " || true
printf '\003' >&3
# Ignored, the question would wait for Enter for ever: the line is waited for, not the end.
wait_for "$work/out" "stopped by SIGINT" || kill -KILL "$script_pid"
exec 3>&-
status=0
wait "$script_pid" || status=$?
[ "$(cat "$icq/NewDB/11111111.dat")" = damaged ] || fail "Ctrl+C at the question replaced the file"
# script passes the exit code on.
expect 130 "Ctrl+C at the question"

# SIGINT and SIGTERM stop a copy cleanly: nothing half written stays, and it says what it did.
# Allocated, not sparse: holes would be copied in no time.
fallocate -l 1G "$icq/NewDB/huge.db"
for signal in INT TERM; do
    rm -rf "$work/stopped"
    "$cli" backup --to "$work/stopped" --component NewDB >"$work/out" 2>&1 </dev/null &
    pid=$!
    pids+=("$pid")
    for _ in $(seq 2000); do
        [ -n "$(find "$work/stopped" -name '.~zeb*' 2>/dev/null)" ] && break
        sleep 0.005
    done
    kill -$signal $pid
    status=0
    wait $pid || status=$?
    expect $([ $signal = INT ] && echo 130 || echo 143) "backup stopped by SIG$signal"
    grep -q "stopped by SIG$signal: [0-9]* files copied" "$work/out" || fail "no word of the stop"
    [ -z "$(find "$work/stopped" -name '.~zeb*')" ] || fail "a temporary file stayed"
    [ ! -e "$work/stopped/NewDB/huge.db" ] || fail "a cut-off file stayed"
done
rm "$icq/NewDB/huge.db"

# The status line follows the terminal's width: wide at first; then, with the run held at the
# replace question, the terminal narrows to 30 columns and SIGWINCH comes; what is drawn after
# the answer fits, never wrapping onto a new line.
"$cli" backup --to "$work/narrow" --component NewDB >/dev/null 2>&1 </dev/null
echo changed >>"$icq/NewDB/11111111.dat"
cat >"$work/narrow.sh" <<SH
stty cols 200
'$cli' backup --to '$work/narrow' --component NewDB </dev/tty &
pid=\$!
until grep -q "Replace " '$work/out'; do kill -0 \$pid || exit 9; sleep 0.01; done
stty cols 30
kill -WINCH \$pid
echo narrowed
wait \$pid
SH
mkfifo "$work/keys2"
script -qec "sh '$work/narrow.sh'" /dev/null <"$work/keys2" >"$work/out" 2>&1 &
script_pid=$!
pids+=("$script_pid")
exec 3>"$work/keys2"
wait_for "$work/out" "narrowed" || true
printf 'y\n' >&3
wait_for "$work/out" "Backup into" || kill -KILL "$script_pid"
exec 3>&-
status=0
wait "$script_pid" || status=$?
expect 0 "backup on a terminal that narrows"
widths=$(tr '\r' '\n' <"$work/out" | sed 's/\x1b\[K//g' |
    awk '/^ICQ 99a database: / { print length($0) }')
[ "$(echo "$widths" | head -1)" -gt 30 ] && [ "$(echo "$widths" | tail -1)" -lt 30 ] ||
    fail "the status line did not follow the width: $widths"

# A process whose program is icq.exe blocks a backup.
mkdir "$work/bin"
cp "$(command -v sleep)" "$work/bin/ICQ.exe"
"$work/bin/ICQ.exe" 60 &
pids+=("$!")
run backup --to "$work/running2"
expect 3 "backup while ICQ runs"
[ ! -e "$work/running2" ] || fail "something was copied while ICQ runs"
run backup --to "$work/running2" --force --overwrite
expect 0 "backup with --force"
# A restore is refused too, leaving ICQ's folder as it was; its dry run changes nothing and goes on.
echo changed >>"$icq/2000b/11111111.dat"
icq_state() { (cd "$icq" && find . -printf '%p %s %T@\n' -type f -exec md5sum {} + | sort); }
icq_before=$(icq_state)
run restore --from "$work/plain" --overwrite
expect 3 "restore while ICQ runs"
[ "$(icq_state)" = "$icq_before" ] || fail "a restore changed ICQ's folder while ICQ runs"
run restore --from "$work/plain" --overwrite -n
expect 0 "dry run of a restore while ICQ runs"

echo "$failed failed"
[ "$failed" = 0 ]
