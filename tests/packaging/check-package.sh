#!/usr/bin/env bash
# Checks the Debian package with the tools Debian itself uses and as a user meets it: lintian,
# the desktop entry and AppStream validators, the manual pages, the user units, the installed
# program under Xvfb from a throwaway root, and a real install and purge that must leave the
# system as it was (root or sudo needed; skipped when zeb2000 is already installed here).
#   tests/packaging/check-package.sh build/zeb2000_2.0.0_amd64.deb
# Writes a screenshot of the installed program's Task Options page beside the package.
set -euo pipefail
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { echo "-- $*"; }

step "lintian"
# Warnings fail as errors do: none is left, so a new one must be fixed, or explained in the
# README and suppressed here.
lintian --fail-on error,warning "$deb" 2> >(grep -v "root privileges" >&2)

step "dependencies"
# The checksum's library comes in by the program's links; OpenSSL, which nothing uses, stays out.
depends=$(dpkg-deb -f "$deb" Depends)
grep -q "libxxhash0" <<<"$depends" || fail "Depends names no libxxhash0: $depends"
if grep -q "libssl" <<<"$depends"; then fail "Depends names OpenSSL: $depends"; fi

root=$work/root
usr=$root/usr
dpkg -x "$deb" "$root"
id=example.zeb2000.Zeb2000
desktop=$usr/share/applications/$id.desktop
metainfo=$usr/share/metainfo/$id.metainfo.xml
with_cli=false
[ -e "$usr/bin/zeb2000-cli" ] && with_cli=true

step "desktop entry, AppStream metadata, icon"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli: $(cat "$work/appstream.log")"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$usr/bin/$program" ] || fail "Exec=$program is not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 22 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x$size" ] ||
        fail "no $size px icon $icon.png"
done

step "manual pages"
pages=("$usr/share/man/man1/zeb2000.1.gz")
if $with_cli; then
    pages+=("$usr/share/man/man1/zeb2000-cli.1.gz")
else
    pages+=("$source_dir/packaging/man/zeb2000-cli.1")
fi
mkdir -p "$work/man/man1"
for page in "${pages[@]}"; do
    [ -f "$page" ] || fail "missing manual page $page"
    # lintian's way of finding troff mistakes: any warning while formatting counts.
    out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "$page: $out"
    # Captured before matching: under pipefail, grep -q leaving early would fail the writer.
    rendered=$(man -l "$page" 2>/dev/null)
    grep -q "^EXIT STATUS" <<<"$rendered" || fail "$page does not render"
    ln -s "$page" "$work/man/man1/"
done

step "user units"
if $with_cli; then
    units=$usr/lib/systemd/user
    settings=$usr/share/doc/zeb2000/examples/backup.env
else
    units=$source_dir/packaging/systemd
    settings=$units/backup.env
fi
service=$units/zeb2000-backup.service
timer=$units/zeb2000-backup.timer
# A user manager needs a runtime folder even to verify; MANPATH lets it find Documentation=.
mkdir -m 700 "$work/run"
failure_unit=$units/zeb2000-backup-failed.service
out=$(XDG_RUNTIME_DIR=$work/run MANPATH=$work/man systemd-analyze --user verify "$service" \
    "$timer" "$failure_unit" 2>&1) || fail "systemd-analyze: $out"
# The failure unit's script, where the unit names it (tests/packaging/weekly-backup.sh runs it).
if $with_cli; then
    script=$(sed -n 's|^ExecStart=/bin/sh ||p' "$failure_unit")
    [ -f "$root$script" ] || fail "the failure unit's $script is not in the package"
fi
[ -z "$out" ] || fail "systemd-analyze: $out"
# What the service starts, with the example settings, with and without an ICQ folder: systemd
# turns "$$" into "$" and "%%" into "%" and splits this line as the shell does; a stand-in
# records the arguments. The backups are counted in the unit's state folder.
exec_start=$(sed -n 's/^ExecStart=//p' "$service")
exec_start=${exec_start//\$\$/\$}
exec_start=${exec_start//%%/%}
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@"\n' >"$work/bin/zeb2000-cli"
chmod +x "$work/bin/zeb2000-cli"
# shellcheck source=/dev/null
started() {
    (set -a && . "$settings" && STATE_DIRECTORY=$work && PATH=$work/bin:$PATH &&
        eval "$exec_start")
}
expected=(backup --scheduled --dated --keep 8 --to "/home/me/ICQ backups")
[ "$(started)" = "$(printf '%s\n' "${expected[@]}")" ] || fail "the service starts: $(started)"
icq="/opt/ICQ here"
[ "$(ZEB_ICQ_DIR=$icq started)" = "$(printf '%s\n' "${expected[@]}" --icq "$icq")" ] ||
    fail "with ZEB_ICQ_DIR the service starts: $(ZEB_ICQ_DIR=$icq started)"

step "the installed program, from its bin/ link, under Xvfb"
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$here/installed-program.sh" "$usr/bin/zeb2000" \
    "$source_dir/scripts/make-sample-icq.sh" "$(dirname "$deb")/shot-installed.png"
if $with_cli; then
    prefix=$("$source_dir/scripts/make-sample-icq.sh" "$work/prefix")
    listed=$(WINEPREFIX=$prefix "$usr/bin/zeb2000-cli" list)
    grep -q 2000b <<<"$listed" ||
        fail "the installed zeb2000-cli does not offer the sample's components"
fi

step "install and purge"
installed() { dpkg-query -W -f='${Status}' zeb2000 2>/dev/null | grep -q "ok installed"; }
if installed; then
    echo "SKIP: zeb2000 is installed on this machine; the check would remove it"
    exit 0
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
apt_get() {
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@" \
        >"$work/apt.log" 2>&1 || fail "apt-get $*: $(cat "$work/apt.log")"
}
# The caches that the icon and menu triggers rebuild belong to no package.
snapshot() {
    find /usr /etc /opt /var/lib/dpkg/info -xdev 2>/dev/null |
        grep -vE '/(mimeinfo|icon-theme)\.cache$' | sort
}
snapshot >"$work/before"
trap 'if installed; then $sudo apt-get purge -y -qq zeb2000 >/dev/null; fi; cleanup' EXIT
apt_get install "$deb"
# What the install added is the package's own files and dpkg's records of it, nothing else;
# this also shows that the snapshot sees them.
snapshot | comm -13 "$work/before" - >"$work/added"
grep -qx /usr/lib/zeb2000/zeb2000 "$work/added" || fail "the installed program is not seen"
dpkg -L zeb2000 | sort | comm -23 "$work/added" - | grep -v "^/var/lib/dpkg/info/zeb2000\." &&
    fail "the install added files that are not the package's (above)"
[ "$(readlink -f /usr/bin/zeb2000)" = /usr/lib/zeb2000/zeb2000 ] || fail "/usr/bin/zeb2000"
[ "$(man -w zeb2000)" = /usr/share/man/man1/zeb2000.1.gz ] || fail "man zeb2000 not found"
apt_get purge zeb2000
snapshot >"$work/after"
diff "$work/before" "$work/after" || fail "the purge left the system changed (above)"
echo "package checks passed"
