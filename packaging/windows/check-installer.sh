#!/usr/bin/env bash
# Checks the installer under Wine: /S installs for the current user (files, Start menu entry,
# "Open with" for .csv), the installed trendora.com answers, and /S uninstalls everything it
# installed while the user's settings and a recording kept in the folder stay.
# Whether a file or a registry key is there is asked so that "not there" is told apart from a
# question that could not be answered: the latter fails the check either way.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-win}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup="$build/trendora-$version-win64-setup.exe"
# shellcheck source=../../tools/wine-env.sh
. tools/wine-env.sh
if [ -n "${WINEPREFIX:-}" ] && [ -n "${WINE:-}" ]; then wine_find; else wine_prefix "$build"; fi

failed=0
check() { # check WHAT COMMAND...
  local what=$1; shift
  if "$@" >/dev/null; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
# wine_run PROGRAM ARGS...: runs it and waits until every Wine process it started has ended
# (the uninstaller goes on in a copy of itself in the temporary folder once the first exits).
wine_run() {
  local status=0
  timeout 300 "$WINE" "$@" || status=$?
  wine_wait 120 || return 1
  return $status
}
# path_state PATH: "present" or "absent", or the reason it cannot be told.
path_state() {
  local out
  if out=$(LC_ALL=C stat -c %F -- "$1" 2>&1); then echo present
  elif [[ $out == *"No such file or directory"* ]]; then echo absent
  else echo "${out:-stat failed}"; fi
}
# reg_state KEY [/v NAME]: the same for a registry key or value.
reg_state() {
  local status=0 message
  message=$(wine_reg_query "$@" 2>&1) || status=$?
  case $status in
    0) echo present ;;
    1) echo absent ;;
    *) echo "${message#error: }" ;;
  esac
}
# expect WHAT WANTED STATE: passes only when the state is the one wanted.
expect() {
  if [ "$3" = "$2" ]; then
    echo "ok: $1"
  else
    echo "FAILED: $1 ($3)"
    failed=1
  fi
}

local_appdata=$(timeout 60 "$WINE" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
appdata=$(timeout 60 "$WINE" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
unix_path() { timeout 60 "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
dir=$(unix_path "$local_appdata\\Programs\\Trendora")
lnk=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Trendora.lnk")
if [ -z "$local_appdata" ] || [ -z "$appdata" ] || [ -z "$dir" ] || [ -z "$lnk" ]; then
  echo "Wine does not say where the user's folders are" >&2
  exit 1
fi
settings='HKCU\Software\MirevaleStudio\Trendora'
app_key='HKCU\Software\Classes\Applications\trendora.exe\shell\open\command'
type_key='HKCU\Software\Classes\MirevaleStudio.Trendora.csv'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Trendora'

echo "== Installer, silently, for the current user"
check "setup /S exits with 0" wine_run "$setup" /S
for f in trendora.exe trendora.com Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
         libstdc++-6.dll NOTICE.txt licenses/qt/LGPL-3.0-only.txt uninstall.exe; do
  check "installed $f" test -f "$dir/$f"
done
check "Start menu entry" test -f "$lnk"
check "Open with: trendora.exe \"%1\"" \
  sh -c "timeout 60 '$WINE' reg query '$app_key' | grep -qi 'trendora.exe\" \"%1\"'"
expect ".csv offers Trendora" present \
  "$(reg_state 'HKCU\Software\Classes\.csv\OpenWithProgids' /v MirevaleStudio.Trendora.csv)"
expect "uninstall entry" present "$(reg_state "$uninstall_key" /v UninstallString)"
check "installed trendora.com --version" \
  sh -c "timeout 120 '$WINE' '$dir/trendora.com' --version | grep -qx 'Trendora $version'"
check "no Wine process is left after the install checks" wine_wait 60

echo "== Uninstaller, silently"
check "settings written for the test" \
  timeout 60 "$WINE" reg add "$settings" /v BkColor /t REG_DWORD /d 255 /f
printf 'kept\n' > "$dir/my recording.csv"
# What is removed and what is kept is looked at only once the uninstaller and its copy have
# ended: wine_run waited until no Wine process of the prefix was left, or failed.
if wine_run "$dir/uninstall.exe" /S; then
  echo "ok: uninstall /S exits with 0, and no Wine process is left"
  for f in trendora.exe trendora.com platforms/qwindows.dll uninstall.exe; do
    expect "removed $f" absent "$(path_state "$dir/$f")"
  done
  expect "removed the platforms folder" absent "$(path_state "$dir/platforms")"
  expect "removed the Start menu entry" absent "$(path_state "$lnk")"
  expect "removed Open with" absent "$(reg_state "$app_key")"
  expect "removed the file type" absent "$(reg_state "$type_key")"
  expect "removed the uninstall entry" absent "$(reg_state "$uninstall_key")"
  expect "kept the settings" present "$(reg_state "$settings" /v BkColor)"
  expect "kept the recording in the folder" present "$(path_state "$dir/my recording.csv")"
else
  echo "FAILED: uninstall /S exits with 0, and no Wine process is left: what it removed is not looked at"
  failed=1
fi

rm -rf "$dir"
timeout 60 "$WINE" reg delete "$settings" /f >/dev/null 2>&1 || true
[ $failed -eq 0 ] && echo "installer checks passed" || echo "installer checks FAILED"
exit $failed
