#!/usr/bin/env bash
# Checks the installer under Wine: /S installs for the current user (files, Start menu entry,
# "Open with" for .csv), the installed trendora.com answers, and /S uninstalls everything it
# installed while the user's settings and a recording kept in the folder stay.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-win}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup="$build/trendora-$version-win64-setup.exe"
# shellcheck source=../../tools/wine-env.sh
. tools/wine-env.sh
[ -n "${WINE:-}" ] && [ -n "${WINEPREFIX:-}" ] || wine_prefix "$build"

failed=0
check() { # check WHAT COMMAND...
  local what=$1; shift
  if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
absent() { ! "$@"; }
wine_run() { timeout 300 "$WINE" "$@"; local s=$?; timeout 120 wineserver -w || true; return $s; }
reg_has() { # reg_has KEY [VALUE-NAME]: the key (and the value) exist
  if [ $# -eq 2 ]; then timeout 60 "$WINE" reg query "$1" /v "$2"; else timeout 60 "$WINE" reg query "$1"; fi
}
unix_path() { timeout 60 "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

local_appdata=$(timeout 60 "$WINE" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
appdata=$(timeout 60 "$WINE" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
dir=$(unix_path "$local_appdata\\Programs\\Trendora")
lnk=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Trendora.lnk")
[ -n "$dir" ] && [ -n "$lnk" ] || { echo "Wine does not say where the user's folders are" >&2; exit 1; }
settings='HKCU\Software\MirevaleStudio\Trendora'
app_key='HKCU\Software\Classes\Applications\trendora.exe\shell\open\command'

echo "== Installer, silently, for the current user"
check "setup /S exits with 0" wine_run "$setup" /S
for f in trendora.exe trendora.com Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
         libstdc++-6.dll NOTICE.txt licenses/qt/LGPL-3.0-only.txt uninstall.exe; do
  check "installed $f" test -f "$dir/$f"
done
check "Start menu entry" test -f "$lnk"
check "Open with: trendora.exe \"%1\"" \
  sh -c "timeout 60 '$WINE' reg query '$app_key' | grep -qi 'trendora.exe\" \"%1\"'"
check ".csv offers Trendora" reg_has 'HKCU\Software\Classes\.csv\OpenWithProgids' MirevaleStudio.Trendora.csv
check "uninstall entry" reg_has 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trendora' UninstallString
check "installed trendora.com --version" \
  sh -c "timeout 120 '$WINE' '$dir/trendora.com' --version | grep -qx 'Trendora $version'"

echo "== Uninstaller, silently"
timeout 60 "$WINE" reg add "$settings" /v BkColor /t REG_DWORD /d 255 /f >/dev/null 2>&1
printf 'kept\n' > "$dir/my recording.csv"
check "uninstall /S exits with 0" wine_run "$dir/uninstall.exe" /S
# The uninstaller runs from a copy of itself in the temporary folder; wineserver -w waited for it.
for f in trendora.exe trendora.com platforms/qwindows.dll uninstall.exe; do
  check "removed $f" absent test -e "$dir/$f"
done
check "removed the platforms folder" absent test -e "$dir/platforms"
check "removed the Start menu entry" absent test -e "$lnk"
check "removed Open with" absent reg_has "$app_key"
check "removed the file type" absent reg_has 'HKCU\Software\Classes\MirevaleStudio.Trendora.csv'
check "removed the uninstall entry" absent reg_has 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trendora'
check "kept the settings" reg_has "$settings" BkColor
check "kept the recording in the folder" test -f "$dir/my recording.csv"

rm -rf "$dir"
timeout 60 "$WINE" reg delete "$settings" /f >/dev/null 2>&1 || true
[ $failed -eq 0 ] && echo "installer checks passed" || echo "installer checks FAILED"
exit $failed
