#!/usr/bin/env bash
# Installs the build into a private prefix and checks that a desktop finds everything there: the
# program and the media player's module it loads from beside it, its desktop entry (valid, naming the program, its icon and the MIME type), the icon at every
# size in the hicolor theme, and the MIME type of program files registered for *.lxt.
#
#   check-install.sh BUILD_DIR PREFIX
set -euo pipefail
build="$1"
prefix="$2"
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "check-install: $*" >&2; exit 1; }
share="$prefix/share"
[[ -x "$prefix/bin/lorvex" ]] || fail "bin/lorvex is missing"
[[ -f "$prefix/lib/lorvex/liblxmedia.so" ]] || fail "lib/lorvex/liblxmedia.so (the media player) is missing"
entry="$share/applications/lorvex.desktop"
[[ -f "$entry" ]] || fail "the desktop entry is missing"
grep -qx 'Exec=lorvex %f' "$entry" || fail "the desktop entry does not start the program"
grep -qx 'MimeType=text/x-lorvex;' "$entry" || fail "the desktop entry does not name the MIME type"
# Every text of the program is Japanese: so are the entry's name and comment in a Japanese desktop.
grep -q '^Name\[ja\]=.' "$entry" && grep -q '^Comment\[ja\]=.' "$entry" ||
  fail "the desktop entry has no Japanese name and comment"
icon=$(sed -n 's/^Icon=//p' "$entry")
[[ -n "$icon" ]] || fail "the desktop entry names no icon"
for size in 16 32 48 128 256; do
  [[ -f "$share/icons/hicolor/${size}x${size}/apps/$icon.png" ]] || fail "no ${size}x${size} icon"
done
[[ -f "$share/mime/packages/lorvex.xml" ]] || fail "the MIME package is missing"
if command -v update-mime-database >/dev/null; then
  grep -q 'text/x-lorvex:\*\.lxt' "$share/mime/globs2" || fail "the MIME database does not know *.lxt"
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "the desktop entry is not valid"
fi
echo "check-install: ok"
