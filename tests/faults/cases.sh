# The bookkeeping of the fault scripts (faults.sh, windows_faults.sh; undo_faults.sh takes the
# set-up and keeps its own bookkeeping): each copier case begins with empty src/ and dst/
# folders below $work and counts as passed when it added no failure.
failed=0
passed=0
fail() {
    echo "FAIL [$case]: $*" >&2
    failed=$((failed + 1))
}
begin() {
    case=$1
    rm -rf "${work:?}/src" "${work:?}/dst"
    mkdir -p "$work/src" "$work/dst"
}
end() { [ "$failed" -gt "$1" ] || passed=$((passed + 1)); }
temporaries() { find "$1" -name '.~zeb*' | wc -l; }

# Skips the script (exit 77 tells ctest) unless it runs as root, which its mounts need.
need_root() { # <what needs root>
    if [ "$(id -u)" -ne 0 ]; then
        echo "fault injection needs root ($1); skipped"
        exit 77
    fi
}
# A tmpfs of the given size at the folder; the caller's cleanup unmounts $mounts.
small_disk() { # <folder> <size>
    mkdir -p "$1"
    mount -t tmpfs -o "size=$2" tmpfs "$1"
    mounts+=("$1")
}
# The scripts' folder $work, removed on exit after $mounts are unmounted (the last first,
# fusefat's with fusermount) and $loops detached.
make_work() { # <name>
    work=$(mktemp -d "${ZEB_FAULT_DIR:-/var/tmp}/$1.XXXXXX")
    mounts=()
    loops=()
    trap cleanup EXIT
}
cleanup() {
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        fusermount -u "${mounts[i]}" 2>/dev/null || umount "${mounts[i]}" 2>/dev/null || true
    done
    for l in "${loops[@]}"; do losetup -d "$l" 2>/dev/null || true; done
    rm -rf "$work"
}
