#!/usr/bin/env bash
# The Windows benchmark, run by scripts/benchmark-windows.sh in the throwaway Wine prefix of
# scripts/test-windows.sh: whole zeb2000-cli.exe backups of 20,000 files of 1 to 64 KiB in 200
# folders against the shell's file operation (SHFileOperationW, the program's copy before its
# own copier) on the same data, rounds in alternating order, medians of the rounds' ratios.
set -euo pipefail
build=$1
rounds=${ZEB_BENCH_ROUNDS:-3}
files=${ZEB_BENCH_FILES:-20000}
cli="$build/src/zeb2000-cli.exe"
shell="$build/tools/benchmark/zeb_shell_copy.exe"

work=$(mktemp -d "$ZEB_WINEPREFIX/drive_c/bench.XXXXXX")
dos="C:\\$(basename "$work")"
trap 'rm -rf "$work"' EXIT
sample=$(mktemp -d)
"$(dirname "$0")/../../scripts/make-sample-icq.sh" "$sample" >/dev/null
cp -a "$sample/drive_c/Program Files/ICQ" "$work/icq"
rm -rf "$sample" "$work/icq/2000b"
"$(dirname "$0")/small_files.py" "$work/icq/2000b" "$files"

# Seconds a command takes under Wine, the program's start included.
timed() {
    local start end
    start=$(date +%s.%N)
    wine "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    end=$(date +%s.%N)
    awk -v end="$end" -v start="$start" 'BEGIN { printf "%.3f", end - start }'
}
fresh() { rm -rf "$work/zeb" "$work/shell"; mkdir "$work/shell"; sync; }
zeb() { timed "$cli" backup --icq "$dos\\icq" --to "$dos\\zeb" --mkpath --component 2000b "$@"; }
shellCopy() { timed "$shell" "$dos\\icq\\2000b" "$dos\\shell"; }

declare -A ratios
for round in $(seq 1 "$rounds"); do
    for case in first noverify repeat; do
        [ "$case" = repeat ] || fresh
        [ "$case" != repeat ] || { rm -rf "$work/shell"; mkdir "$work/shell"; }
        options=()
        [ "$case" != noverify ] || options=(--no-verify)
        # Alternating order: odd rounds start with zeb2000-cli.exe.
        if [ $((round % 2)) = 1 ]; then
            z=$(zeb "${options[@]}"); s=$(shellCopy)
        else
            s=$(shellCopy); z=$(zeb "${options[@]}")
        fi
        printf 'round %d %-8s zeb2000-cli.exe %6.2f s, shell copy %6.2f s\n' "$round" "$case" "$z" "$s"
        ratios[$case]+="$(awk -v z="$z" -v s="$s" 'BEGIN { printf "%.4f", z / s }') "
    done
done
median() { tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
echo
echo "| Case ($files files, Wine) | zeb2000-cli.exe / shell copy |"
echo "|---|---|"
for case in first noverify repeat; do
    printf '| %s | %.2f |\n' "$case" "$(median <<<"${ratios[$case]}")"
done
