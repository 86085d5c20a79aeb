#!/usr/bin/env bash
# Creates a sample ICQ installation in a Wine prefix without running Wine: the registry file
# that names ICQ's folder, the drive link, "icq.exe", two UINs and the databases of a few ICQ
# versions. The prefix is the first argument, else $WINEPREFIX, else a new temporary folder.
# Prints the prefix's path. An existing prefix that this script did not make is left alone.
set -euo pipefail

prefix="${1:-${WINEPREFIX:-}}"
if [[ -z "$prefix" ]]; then
    prefix="$(mktemp -d "${TMPDIR:-/tmp}/zeb-sample-icq.XXXXXX")"
fi
mkdir -p "$prefix"
prefix="$(cd "$prefix" && pwd)"

marker="$prefix/.zeb-sample-icq"
if [[ -e "$prefix/user.reg" && ! -e "$marker" ]]; then
    echo "make-sample-icq: $prefix already holds a registry that is not a sample; not touched" >&2
    exit 1
fi
touch "$marker"

# HKEY_CURRENT_USER as Wine keeps it. Key names and values double their backslashes.
cat >"$prefix/user.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Mirabilis\\ICQ\\DefaultPrefs] 1700000000
#time=1d9a0b0c0d0e0f0
"ICQPath"="C:\\Program Files\\ICQ\\"
REG

mkdir -p "$prefix/drive_c" "$prefix/dosdevices"
ln -sfn ../drive_c "$prefix/dosdevices/c:"

icq="$prefix/drive_c/Program Files/ICQ"
mkdir -p "$icq/UIN" "$icq/CL"
printf 'MZ sample ICQ program, not a real one\n' >"$icq/icq.exe"

# A few KiB of bytes that differ from file to file, the same on every run.
sample() { # <file> <KiB> <seed>
    { yes "$3" || true; } | head -c $(($2 * 1024)) >"$1"
}

for uin in 11111111 22222222; do
    : >"$icq/UIN/$uin.uin"
    sample "$icq/CL/$uin.cl" 1 "contacts of $uin"
done
for version in NewDB Db99b 2000b; do
    mkdir -p "$icq/$version"
    for uin in 11111111 22222222; do
        sample "$icq/$version/$uin.dat" 8 "$version messages of $uin"
        sample "$icq/$version/$uin.idx" 2 "$version index of $uin"
    done
done

echo "$prefix"
