# shellcheck shell=bash
# Sourced by the Windows build and checks: Wine with a prefix of its own inside a build folder.
#   wine_find             sets WINE (the loader) and WINESERVER, or fails saying what is missing
#   wine_prefix BUILD_DIR   wine_find, then WINEPREFIX and the quiet settings, and starts the prefix
#   wine_wait SECONDS     waits until the prefix's Wine processes have all ended; fails when
#                         they still run after SECONDS
#   wine_kill             ends the prefix's Wine processes; fails unless they are gone
#   wine_reg_query KEY [/v NAME]   0: there; 1: Wine's reg says it is not there; 2: the query
#                         failed (said why on stderr)
# Each fails with a message rather than hiding an error: a check that runs while a Wine process
# it waits for is still busy, or against a server that never ran, proves nothing.

wine_find() {
  WINE=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64 2>/dev/null) || true
  if [ -z "$WINE" ]; then
    echo "error: no Wine: neither wine64 nor wine is on the PATH, and there is no /usr/lib/wine/wine64 (apt install wine64)" >&2
    return 1
  fi
  # Debian's wine64 puts neither wine nor wineserver on the PATH: the server is beside the
  # loader (wineserver, a script choosing wineserver64 or wineserver32). Wine itself honours
  # WINESERVER, so a server chosen by the caller is taken as it is.
  if [ -z "${WINESERVER:-}" ]; then
    local dir
    dir=$(dirname "$(realpath "$WINE")")
    if [ -x "$dir/wineserver" ]; then
      WINESERVER=$dir/wineserver
    elif [ -x "$dir/wineserver64" ]; then
      WINESERVER=$dir/wineserver64
    else
      WINESERVER=$(command -v wineserver) || true
    fi
    if [ -z "$WINESERVER" ]; then
      echo "error: no wineserver beside $(realpath "$WINE") nor on the PATH" >&2
      return 1
    fi
  fi
  if [ ! -f "$WINESERVER" ] || [ ! -x "$WINESERVER" ]; then
    echo "error: WINESERVER=$WINESERVER is not a program" >&2
    return 1
  fi
  export WINE WINESERVER
}

wine_prefix() {
  wine_find || return 1
  export WINEPREFIX="$PWD/$1/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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
        /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1 || echo "note: no font replacement for $family"
    done
  fi
  wine_wait 60
}

# The prefix's Wine processes that are still alive, one "PID COMMAND" a line: those run by this
# loader or server (Windows programs show their Windows command line) under this WINEPREFIX.
# Ended processes nobody has reaped yet have no program and are not listed.
wine_leftovers() {
  local dir server p exe cmd
  dir=$(dirname "$(realpath "$WINE")")
  server=$(realpath "$WINESERVER")
  for p in /proc/[0-9]*; do
    exe=$(readlink "$p/exe" 2>/dev/null) || continue
    [ "${exe%/*}" = "$dir" ] || [ "$exe" = "$server" ] || continue
    tr '\0' '\n' < "$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    cmd=$(tr '\0' ' ' < "$p/cmdline" 2>/dev/null) || true
    echo "${p#/proc/} ${cmd%"${cmd##*[! ]}"}"
  done
}

# wine_gone SECONDS: no Wine process of the prefix is left, at the latest after SECONDS.
wine_gone() {
  local left i
  for ((i = 0; i <= $1; i++)); do
    left=$(wine_leftovers)
    [ -z "$left" ] && return 0
    [ "$i" -lt "$1" ] && sleep 1
  done
  echo "error: Wine processes of $WINEPREFIX still run:" >&2
  echo "  ${left//$'\n'/$'\n'  }" >&2
  return 1
}

# wineserver -w returns once the server has ended, which it does when the last of the prefix's
# programs has ended (and at once, with 0, when none runs).
wine_wait() {
  local status=0
  timeout "$1" "$WINESERVER" -w || status=$?
  if [ $status -eq 124 ]; then
    local left
    left=$(wine_leftovers)
    echo "error: $WINESERVER -w did not return within $1 s; Wine processes of $WINEPREFIX:" >&2
    echo "  ${left:-(none)}" | sed '2,$s/^/  /' >&2
    return 1
  elif [ $status -ne 0 ]; then
    echo "error: $WINESERVER -w failed (exit $status)" >&2
    return 1
  fi
  wine_gone 10
}

# wineserver -k exits with 1 and says nothing when no server runs for the prefix: that alone is
# taken for "nothing to end". Any other failure (a prefix that is not a folder or not the user's)
# comes with a message and fails.
wine_kill() {
  local out status=0
  out=$(timeout 60 "$WINESERVER" -k 2>&1) || status=$?
  if [ $status -ne 0 ] && ! { [ $status -eq 1 ] && [ -z "$out" ]; }; then
    echo "error: $WINESERVER -k failed (exit $status)${out:+: $out}" >&2
    return 1
  fi
  wine_gone 30
}

# Wine's reg says "Unable to find the specified registry key" (or "... value") and exits with 1
# for what is not there; it also exits with 1 for a bad key name or a bad option, with other
# words. Its messages follow the locale, so the query runs in the C locale.
wine_reg_query() {
  local out status=0
  out=$(LC_ALL=C LANG=C timeout 60 "$WINE" reg query "$@" 2>&1) || status=$?
  out=${out//$'\r'/}
  [ $status -eq 0 ] && return 0
  if [ $status -eq 1 ] &&
     grep -qx 'reg: Unable to find the specified registry \(key\|value\)' <<< "$out"; then
    return 1
  fi
  local why="exit $status"
  [ $status -eq 124 ] && why="no answer within 60 s"
  out=$(tr -s '\n' ' ' <<< "$out")
  out=${out# }
  echo "error: reg query $* failed ($why)${out:+: ${out% }}" >&2
  return 2
}
