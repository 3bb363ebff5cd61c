#!/usr/bin/env bash
# Makes the Windows packages from a cross build (build-win/ by default):
#   BUILD/trendora-VERSION-win64.zip        the portable folder trendora-VERSION-win64/
#   BUILD/trendora-VERSION-win64-setup.exe  the installer (NSIS), for the current user
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-win}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "$build is not a configured build" >&2; exit 1; }
name="trendora-$version-win64"
stage="$(realpath -m "$build/$name")"

rm -rf "$stage" "$build/$name.zip" "$build/$name-setup.exe"
cmake --install "$build" --prefix "$stage" >/dev/null
# Nothing but what the program loads: the test programs and the tools are not installed.
for f in trendora.exe trendora.com Qt6Core.dll platforms/qwindows.dll NOTICE.txt; do
  [ -f "$stage/$f" ] || { echo "the portable folder lacks $f" >&2; exit 1; }
done
(cd "$build" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "wrote $build/$name.zip ($(du -k "$build/$name.zip" | cut -f1) KiB)"

# The uninstaller removes the files the installer put there, one by one, and the folders only
# when they are empty, so whatever the user keeps in the folder stays.
list="$build/uninstall-files.nsh"
(cd "$stage" && find . -type f | sed 's|^\./||' | sort | sed 's|/|\\|g' |
   while IFS= read -r f; do printf 'Delete "$INSTDIR\\%s"\n' "$f"; done
 cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r | sed 's|/|\\|g' |
   while IFS= read -r d; do printf 'RMDir "$INSTDIR\\%s"\n' "$d"; done) > "$list"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$(realpath "$stage")" \
  -DUNINSTALL_LIST="$(realpath "$list")" -DICON="$(realpath src/res/images/icon128.ico)" \
  -DOUTFILE="$(realpath "$build")/$name-setup.exe" packaging/windows/trendora.nsi
echo "wrote $build/$name-setup.exe ($(du -k "$build/$name-setup.exe" | cut -f1) KiB)"
