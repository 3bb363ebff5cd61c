# Sourced by the Windows build and checks: Wine with a prefix of its own inside a build folder.
#   wine_prefix BUILD_DIR   sets WINE, WINEPREFIX and the quiet settings, and starts the prefix
wine_prefix() {
  WINE=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64)
  export WINE WINEPREFIX="$PWD/$1/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # A first start sets up the prefix; it must not hold up the run if it hangs.
  timeout 300 "$WINE" wineboot --init >/dev/null 2>&1 || echo "note: wineboot did not finish"
  # Wine's own stand-ins for Windows' fonts are few and have no Chinese glyphs. Give Windows'
  # fonts folder what a Windows desktop has there in kind: Liberation (Arial's and Times'
  # metrics) and WenQuanYi Zen Hei, which the Chinese fonts Windows has stand for.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f family
  if [ -d "$fonts" ] && [ ! -e "$fonts/wqy-zenhei.ttc" ]; then
    for f in /usr/share/fonts/truetype/liberation/Liberation*.ttf \
             /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc; do
      [ -e "$f" ] && ln -sf "$f" "$fonts/"
    done
    for family in "Microsoft JhengHei" "Microsoft JhengHei UI" PMingLiU MingLiU "Microsoft YaHei" \
                  "Microsoft YaHei UI" SimSun NSimSun; do
      timeout 60 "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$family" \
        /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1 || true
    done
  fi
  timeout 60 wineserver -w 2>/dev/null || true
}
