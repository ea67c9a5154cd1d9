# shellcheck shell=bash
# Shared by run.sh and test.sh (sourced, not run): the repository root and the Linux build, one
# build tree for both so that the program is compiled once.

PILOTRAME_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LINUX_BUILD=$PILOTRAME_ROOT/build/linux
# The project's machines have two cores.
# shellcheck disable=SC2034 # used by the scripts that source this file
JOBS=${PILOTRAME_JOBS:-2}

# RelWithDebInfo (-O2 -g): optimised, with readable stacks when a test crashes.
configure_linux() {
    cmake -S "$PILOTRAME_ROOT" -B "$LINUX_BUILD" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPILOTRAME_WERROR=ON \
        -DPILOTRAME_BENCH=ON
}
