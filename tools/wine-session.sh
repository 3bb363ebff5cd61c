#!/usr/bin/env bash
# Runs a command with Wine ready under a virtual X display (Xvfb): Qt's programs create
# windows even on the offscreen platform, and Wine creates none without a display. The prefix
# is updated inside the session, so that Wine's desktop process belongs to this display.
#   tools/wine-session.sh BUILD_DIR COMMAND...
set -euo pipefail
build=$1; shift
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh"
wine_prefix "$build" >/dev/null
timeout 60 wineserver -k 2>/dev/null || true
export WINE
exec xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
  timeout 300 "$WINE" wineboot -u >/dev/null 2>&1 || echo "note: wineboot did not finish"
  status=0
  "$@" || status=$?
  timeout 60 wineserver -k 2>/dev/null || true
  exit $status' wine-session "$@"
