#!/bin/sh
# Runs a Windows test program under Wine with a quiet, project-local prefix.
: "${WINEPREFIX:=${TMPDIR:-/tmp}/pilotrame-wine}"
export WINEPREFIX
export WINEDEBUG=-all
exec wine "$@"
