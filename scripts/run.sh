#!/usr/bin/env bash
# Installs what is missing, builds Pilotrame (preset linux: optimised, RelWithDebInfo) and starts
# it.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$PILOTRAME_ROOT/scripts/install-deps.sh"
configure_linux
build_preset linux --target pilotrame

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "run.sh: no graphical display (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
    echo "run.sh: the program is built: $LINUX_BUILD/src/app/pilotrame" >&2
    exit 1
fi
exec "$LINUX_BUILD/src/app/pilotrame"
