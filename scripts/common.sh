# shellcheck shell=bash
# Shared by the scripts (sourced, not run): the repository root, the number of build jobs, and the
# build set-ups, which are the presets of CMakePresets.json; each builds in build/<preset>.
# run.sh and test.sh share build/linux, so that the program is compiled once. Sourcing this file
# moves to the repository root, where cmake --build --preset and ctest --preset look for the
# presets.

PILOTRAME_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$PILOTRAME_ROOT" || exit
# shellcheck disable=SC2034 # used by the scripts that source this file
LINUX_BUILD=$PILOTRAME_ROOT/build/linux
# The project's machines have two cores.
# shellcheck disable=SC2034
JOBS=${PILOTRAME_JOBS:-2}

# Configures the build tree of a preset. Argument: the preset.
configure_preset() {
    cmake --preset "$1"
}

# Builds a configured preset with JOBS jobs. Arguments: the preset, then options of cmake --build
# (--target NAME ...).
build_preset() {
    local preset=$1
    shift
    cmake --build --preset "$preset" --parallel "$JOBS" "$@"
}

# The Linux build of run.sh and test.sh: RelWithDebInfo, warnings as errors, with the benchmarks.
configure_linux() {
    configure_preset linux
}
