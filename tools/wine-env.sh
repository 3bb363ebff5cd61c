# Sourced by the Windows build and checks: Wine with a prefix of its own inside a build folder.
#   wine_prefix BUILD_DIR   sets WINE, WINEPREFIX and the quiet settings, and starts the prefix
wine_prefix() {
  WINE=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64)
  export WINE WINEPREFIX="$PWD/$1/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # A first start sets up the prefix; it must not hold up the run if it hangs.
  timeout 300 "$WINE" wineboot --init >/dev/null 2>&1 || echo "note: wineboot did not finish"
  timeout 60 wineserver -w 2>/dev/null || true
}
