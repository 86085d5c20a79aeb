# The bookkeeping of the copier's fault scripts (faults.sh, windows_faults.sh), sourced after
# they set $work: each case begins with empty src/ and dst/ folders and counts as passed when it
# added no failure.
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
