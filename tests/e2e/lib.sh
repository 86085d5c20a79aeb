# Shared steps of the tests that drive the real executable under Xvfb with xdotool.
# The caller runs under xvfb-run, so $DISPLAY is a private X server.

# The program speaks the desktop's language, and the walks read its English texts (the boxes'
# titles, --help): they run in the C locale, as CI does.
export LC_ALL=C.UTF-8
unset LANGUAGE

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The id of the one visible window whose title is exactly $1, waiting up to 20 s for it.
wait_for_window() {
    local title=$1 id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window titled '$title'"
}

# Every wait_for of a walk draws on one deadline well inside ctest's 300 s, so that a stuck step
# fails under its own name, not as ctest's bare "Timeout".
WALK_DEADLINE=$((SECONDS + 240))

# Waits until a command succeeds, at most until the walk's deadline (a limit for a machine that
# is stuck, not a measure of how long anything takes), else fails naming what it waited for.
wait_for() {
    local what=$1 since=$SECONDS
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$WALK_DEADLINE" ] || fail "gave up after $((SECONDS - since)) s waiting for $what"
        sleep 0.1
    done
}

wait_until_gone() {
    local title=$1
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$title' stayed open"
}

# Types keys into a window after giving it the keyboard; there is no window manager to do it.
keys_to() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers --delay 60 "$@"
}

# Closes a message box with Enter and waits until it is gone.
acknowledge() {
    local title=$1 box
    box=$(wait_for_window "$title")
    keys_to "$box" Return
    wait_until_gone "$title"
}

MAIN_TITLE="ZEB 2000 2.0 Public Beta 1 Build 2518 - Standard Edition"

# Starts the program on the Wine prefix $2 and answers its start-up warning.
start_program() {
    local program=$1 prefix=$2
    WINEPREFIX=$prefix "$program" >"$prefix/program.log" 2>&1 &
    PROGRAM_PID=$!
    trap 'kill $PROGRAM_PID 2>/dev/null || true' EXIT
    acknowledge "Warning"
    MAIN_WINDOW=$(wait_for_window "$MAIN_TITLE")
}

# A sample ICQ installation in a new Wine prefix made by make-sample-icq.sh ($1); sets prefix,
# icq (ICQ's folder) and backup (an empty backup folder).
make_sample_prefix() {
    prefix=$(mktemp -d)
    "$1" "$prefix" >/dev/null
    icq="$prefix/drive_c/Program Files/ICQ"
    backup="$prefix/backup"
    mkdir -p "$backup"
}

# A button's access key (Alt+F for Find) clicks it only 100 ms after the program takes the key,
# as Qt animates the click; a program slowed down by a loaded machine then takes the keys after
# it first, or drops a second one. The walks use keys that act at once and in order: Enter on a
# focused button or on the window, Tab and Shift+Tab, Down between the task options, and the
# access keys of labels, which only move the focus.

# From Select Task (Backup chosen) to Task Options: Find (Alt+P into ICQ's folder, Tab to Find,
# Enter) fills ICQ's folder, the backup folder is typed in.
walk_to_task_options() {
    keys_to "$MAIN_WINDOW" Return alt+p Tab Return alt+l ctrl+a
    xdotool type --delay 20 "$1"
    keys_to "$MAIN_WINDOW" Return
}

# The backup folder ($backup) holds the sample's components byte for byte, and no other.
check_backup() {
    for folder in CL NewDB Db99b 2000b UIN; do
        diff -r "$icq/$folder" "$backup/$folder" || fail "backup of $folder differs"
    done
    [ ! -e "$backup/DB" ] || fail "a component that ICQ does not have was copied"
}

# ICQ's data changes; a restore walked from the page after a backup (Shift+Tab to Back, Enter
# three times; Back, disabled on the first page, hands the focus on to Next; Shift+Tab twice,
# over Debug, to the chosen task, Down to Restore, and forward again) puts the backed-up bytes back. $1 is a
# scratch file for the original database.
restore_damaged_icq() {
    cp "$icq/2000b/11111111.dat" "$1"
    echo "damaged" >"$icq/2000b/11111111.dat"
    rm "$icq/NewDB/22222222.idx"
    keys_to "$MAIN_WINDOW" shift+Tab Return Return Return shift+Tab shift+Tab Down Return Return Return Return
    acknowledge "Info"
    cmp "$1" "$icq/2000b/11111111.dat" || fail "restore did not put the database back"
    [ -f "$icq/NewDB/22222222.idx" ] || fail "restore did not bring the missing index back"
    for folder in CL NewDB Db99b 2000b UIN; do
        diff -r "$backup/$folder" "$icq/$folder" || fail "restore of $folder differs"
    done
}

# After restore_damaged_icq, its undo from the first page (offered below Restore): refused while a
# file the restore wrote was changed since, naming it and changing nothing; done once the file is
# as the restore left it (the same bytes written again: a new change time, so the checksum
# decides). $1 is a scratch file.
undo_the_restore() {
    cp -p "$icq/2000b/11111111.dat" "$1"
    echo "changed since the restore" >"$icq/2000b/11111111.dat"
    keys_to "$MAIN_WINDOW" shift+Tab Return Return Return shift+Tab shift+Tab Down Return
    keys_to "$(wait_for_window "Undo")" alt+y
    acknowledge "Error!"
    grep -q "since the restore" "$icq/2000b/11111111.dat" || fail "a refused undo changed a file"
    [ -f "$icq/NewDB/22222222.idx" ] || fail "a refused undo took a file away"
    cp -p "$1" "$icq/2000b/11111111.dat"
    keys_to "$MAIN_WINDOW" Return
    keys_to "$(wait_for_window "Undo")" alt+y
    acknowledge "Info"
    [ "$(cat "$icq/2000b/11111111.dat")" = damaged ] || fail "undo did not put back what was there"
    [ ! -e "$icq/NewDB/22222222.idx" ] || fail "undo did not take away what the restore added"
}
