#!/bin/sh
# Runs a Windows test program under Wine with a quiet, project-local prefix.
#   wine-run.sh [--dll-path FOLDER]... PROGRAM [ARGUMENT]...
# Each --dll-path folder (a Linux path) is added to the Windows PATH through WINEPATH, for the DLLs
# the program loads: those of Qt and of the MinGW runtime in the Windows program's build.
: "${WINEPREFIX:=${TMPDIR:-/tmp}/pilotrame-wine}"
export WINEPREFIX
export WINEDEBUG=-all
# A program that crashes ends at once, as on Windows without a debugger, instead of waiting for
# Wine's debugger to start: the tests time a crashing stand-in for AutoCAD's console against a
# one-second limit, which the debugger's start passes on a loaded machine.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d"
while [ "$1" = --dll-path ]; do
    # Wine's drive Z: is the Linux root.
    folder="Z:$(printf '%s' "$2" | tr / '\\')"
    WINEPATH="${WINEPATH:+$WINEPATH;}$folder"
    shift 2
done
[ -n "${WINEPATH:-}" ] && export WINEPATH
exec wine "$@"
