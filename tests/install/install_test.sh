#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# install_test.sh BUILD_DIR EXPECTED_FILES VERSION
# Installs BUILD_DIR with prefix /usr/local into a temporary DESTDIR, compares the installed
# files with EXPECTED_FILES, runs the desktop, AppStream, MIME and manual-page checks, and
# starts every installed program with --version from an unrelated folder. Exits 77 (skipped)
# when everything that could be checked passed but a checking tool is missing.
set -uo pipefail
build="$1"
expected="$2"
version="$3"
prefix=/usr/local

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
installed="$root$prefix"
failures=0
missing=()

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
have() {
    command -v "$1" >/dev/null 2>&1 || { missing+=("$1"); return 1; }
}

if ! DESTDIR="$root" cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
fi

# Exactly the expected files, nothing in the build tree's layout leaking through.
(cd "$installed" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort) >"$work/actual"
LC_ALL=C sort "$expected" | grep -v '^$' >"$work/expected"
diff -u "$work/expected" "$work/actual" >&2 || fail "installed files differ from $(basename "$expected") (- expected, + installed)"

for program in orv orv-query orv-demoservers Quillet quillet-tokens Heraldex; do
    [ -x "$installed/bin/$program" ] || fail "$program is not an executable in bin/"
done

if have desktop-file-validate; then
    for entry in "$installed"/share/applications/*.desktop; do
        # Hints (two main categories) are advice; errors and warnings fail.
        out="$(desktop-file-validate "$entry" 2>&1 | grep -v ': hint: ')"
        [ -z "$out" ] || fail "desktop-file-validate: $out"
    done
fi
# Orvane offers itself for unreal:// links without taking them over: the entry declares the
# scheme and passes the link, and nothing installed names a default handler.
orvane_entry="$installed/share/applications/example.orvane.Orvane.desktop"
grep -qx 'MimeType=x-scheme-handler/unreal;' "$orvane_entry" || fail "Orvane does not declare x-scheme-handler/unreal"
grep -qx 'Exec=orv %u' "$orvane_entry" || fail "Orvane's Exec line does not take the link (%u)"
find "$installed" -name 'mimeapps.list' | grep -q . && fail "a mimeapps.list is installed"
if have appstreamcli; then
    for metainfo in "$installed"/share/metainfo/*.metainfo.xml; do
        appstreamcli validate --no-net --no-color "$metainfo" >"$work/appstream.log" 2>&1 ||
            fail "appstreamcli validate $(basename "$metainfo"): $(cat "$work/appstream.log")"
    done
fi
if have update-mime-database; then
    cp -r "$installed/share/mime" "$work/mime"
    update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database"
    grep -qx '50:text/x-unrealscript:\*\.uc' "$work/mime/globs2" || fail "*.uc is not recognised as text/x-unrealscript"
fi
if have man; then
    for page in "$installed"/share/man/man1/*.1.gz; do
        warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
        [ -z "$warnings" ] || fail "man $(basename "$page"): $warnings"
    done
fi

# Every program answers --version without a display, from a folder unrelated to the build;
# those that read the shipped data find it from their installed place.
cd "$work"
for program in orv orv-query orv-demoservers Quillet quillet-tokens Heraldex; do
    out="$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$installed/bin/$program" --version 2>"$work/err")"
    status=$?
    [ "$status" -eq 0 ] || fail "$program --version exited with $status: $(cat "$work/err")"
    [ "$(head -n 1 <<<"$out")" = "$program $version" ] || fail "$program --version printed: $out"
    case "$program" in
    orv | orv-query | Heraldex)
        grep -qxF "Shipped data: $installed/share/orvane" <<<"$out" ||
            fail "$program does not find its installed data: $out"
        ;;
    esac
done
if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Not checked, tools missing (scripts/install-deps.sh installs them): ${missing[*]}"
    exit 77
fi
echo "All install checks passed"
