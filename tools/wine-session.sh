#!/usr/bin/env bash
# Runs a command with Wine ready under a virtual X display (Xvfb): Qt's programs create
# windows even on the offscreen platform, and Wine creates none without a display. The prefix
# is updated inside the session, so that Wine's desktop process belongs to this display.
# WINE, WINESERVER and WINEPREFIX are exported to the command. The session fails when the
# command fails, or when Wine's processes cannot be ended after it.
#   tools/wine-session.sh BUILD_DIR COMMAND...
set -euo pipefail
build=$1; shift
env_script=$(realpath "$(dirname "$0")/wine-env.sh")
# shellcheck source=wine-env.sh
. "$env_script"
wine_prefix "$build" >/dev/null
wine_kill
# shellcheck disable=SC2016 # expanded by the inner shell
exec xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
  . "$1"; shift
  timeout 300 "$WINE" wineboot -u >/dev/null 2>&1 || echo "note: wineboot did not finish"
  status=0
  "$@" || status=$?
  if ! wine_kill; then
    echo "wine-session: Wine did not end after $1" >&2
    [ $status -ne 0 ] || status=1
  fi
  exit $status' wine-session "$env_script" "$@"
