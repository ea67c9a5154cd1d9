#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. Linux, RelWithDebInfo, warnings as errors: the core, the windows (on Qt's offscreen
#      platform) and their tests; the benchmark is built too.
#   1b. The Debian package of that build (CPack), installed into a temporary root and started
#      from there (tests/package/package_test.sh).
#   2. The core cross-built for Windows with MinGW-w64, its tests run under Wine.
#   3. The core tests under AddressSanitizer and UndefinedBehaviorSanitizer (Debug).
#   4. Each fuzz target for a short bounded time (PILOTRAME_FUZZ_SECONDS, 15 by default).
#   5. A very short run of the benchmark, to show that it works (its figures mean nothing here).
# The format of every C++ file is checked first, with the project's .clang-format.
# Ends with one line "N passed, M failed, K skipped" that adds up the CTest results, also when a
# step fails before its tests ran (that step then counts as one failure); exits non-zero on any
# failure.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$PILOTRAME_ROOT"

stage="installing the packages"
# Set once the failures of the step that stopped the run are counted.
failure_counted=0
on_failure() {
    echo "test.sh: FAILED while $stage" >&2
    if ((failure_counted == 0)); then
        total_failed=$((total_failed + 1))
    fi
    summary
}
trap on_failure ERR

summary() {
    echo "$total_passed passed, $total_failed failed, $total_skipped skipped"
}

# Runs a checking command whose output ends with "NAME: N passed, M failed, K skipped", keeps its
# output in build/logs/NAME.log and adds its counts; fails when the command failed (a command
# that printed no counts counts as one failure). Arguments: NAME, then the command.
run_counted() {
    local name=$1 status=0
    shift
    "$@" 2>&1 | tee "$LOG_DIR/$name.log" || status=$?
    local counts
    counts=$(sed -nE "s/^$name: ([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped\$/\1 \2 \3/p" \
        "$LOG_DIR/$name.log")
    if [[ -z $counts ]]; then
        status=1
    fi
    local passed failed skipped
    read -r passed failed skipped <<<"${counts:-0 1 0}"
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    total_skipped=$((total_skipped + skipped))
    if ((status != 0)); then
        failure_counted=1
        return 1
    fi
}

"$PILOTRAME_ROOT/scripts/install-deps.sh"

LOG_DIR=$PILOTRAME_ROOT/build/logs
mkdir -p "$LOG_DIR"

total_passed=0
total_failed=0
total_skipped=0

# Adds up the numbers that GoogleTest's closing lines give in a log.
# Arguments: the log, the label ("PASSED ", "SKIPPED" or "FAILED ").
sum_gtest() {
    # CTest's verbose output puts the test number before each line: "1: [  PASSED  ] 68 tests."
    sed -nE "s/^([0-9]+: )?\\[  $2 \\] ([0-9]+) tests?[.,].*/\\2/p" "$1" |
        awk '{ n += $1 } END { print n + 0 }'
}

# Runs CTest in a build tree, keeps its output in build/logs/ctest-NAME.log and adds its counts to
# the totals. Arguments: a name, the build tree, and "cases" when each CTest test is a whole
# GoogleTest program (the run under Wine) whose test cases are to be counted instead.
run_ctest() {
    local name=$1 tree=$2 count=${3:-tests}
    local log="$LOG_DIR/ctest-$name.log"
    local options=(--output-on-failure --timeout 600)
    if [[ $count == cases ]]; then
        options+=(--verbose)
    fi
    local status=0
    (cd "$tree" && ctest "${options[@]}") 2>&1 | tee "$log" || status=$?
    # "100% tests passed, 0 tests failed out of 57"
    local counts
    counts=$(sed -nE 's/.*tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$log" |
        tail -n 1)
    if [[ -z $counts ]]; then
        echo "test.sh: no test result from CTest in $tree" >&2
        return 1
    fi
    local failed=${counts% *} all=${counts#* } passed skipped
    if [[ $count == cases ]]; then
        passed=$(sum_gtest "$log" "PASSED ")
        skipped=$(sum_gtest "$log" SKIPPED)
        local failedCases
        failedCases=$(sum_gtest "$log" "FAILED ")
        # A program that crashed reports no cases: count the CTest failure then.
        if ((failedCases > failed)); then
            failed=$failedCases
        fi
        if ((passed + skipped + failed == 0)); then
            all=0
        fi
    else
        # Tests that skip themselves (GTEST_SKIP) are listed as "  9 - Name (Skipped)".
        skipped=$(grep -cE '^[[:space:]]+[0-9]+ - .+ \((Skipped|Disabled)\)$' "$log" || true)
        passed=$((all - failed - skipped))
    fi
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    total_skipped=$((total_skipped + skipped))
    if ((status != 0 || failed != 0 || all == 0)); then
        if ((failed > 0)); then
            failure_counted=1
        fi
        return 1
    fi
}

banner() {
    printf '\n==== %s ====\n' "$1"
}

# 0. Format
banner "Format (clang-format)"
stage="checking the format (run clang-format -i on the files named above)"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "format: every file follows .clang-format"

# 1. Linux
banner "Linux build (RelWithDebInfo, warnings as errors)"
stage="building for Linux"
configure_linux
cmake --build "$LINUX_BUILD" --parallel "$JOBS"
banner "Linux tests"
stage="running the Linux tests"
run_ctest linux "$LINUX_BUILD"

# 1b. The Debian package of that build, installed into a temporary root and started from there
banner "Debian package (CPack), installed into a temporary root"
stage="building the Debian package"
rm -f "$LINUX_BUILD"/pilotrame_*.deb
if ! (cd "$LINUX_BUILD" && cpack -G DEB) >"$LOG_DIR/cpack.log" 2>&1; then
    cat "$LOG_DIR/cpack.log" >&2
    false
fi
stage="testing the Debian package"
project_version=$(sed -nE 's/^project\(Pilotrame VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
run_counted package tests/package/package_test.sh "$LINUX_BUILD"/pilotrame_*.deb \
    "$project_version"

# 2. Windows cross build, tests under Wine
banner "Windows cross build of the core (MinGW-w64)"
stage="building for Windows"
WINDOWS_BUILD=$PILOTRAME_ROOT/build/windows
cmake -S "$PILOTRAME_ROOT" -B "$WINDOWS_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PILOTRAME_ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DPILOTRAME_CORE_ONLY=ON \
    -DPILOTRAME_WERROR=ON
cmake --build "$WINDOWS_BUILD" --parallel "$JOBS"

banner "Core tests under Wine"
stage="preparing Wine"
# The same prefix as cmake/wine-run.sh. A new prefix takes a while to create and talks a lot: do it
# once here, without the Mono and Gecko installers, and keep its output in a log.
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/pilotrame-wine}
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    wineboot_log=$LOG_DIR/wineboot.log
    if ! WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >"$wineboot_log" 2>&1; then
        cat "$wineboot_log" >&2
        false
    fi
    wineserver -w
fi
stage="running the core tests under Wine"
run_ctest windows "$WINDOWS_BUILD" cases

# 3. AddressSanitizer and UndefinedBehaviorSanitizer
banner "Core build with AddressSanitizer and UndefinedBehaviorSanitizer (Debug)"
stage="building with the sanitizers"
SANITIZE_BUILD=$PILOTRAME_ROOT/build/sanitize
cmake -S "$PILOTRAME_ROOT" -B "$SANITIZE_BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug \
    -DPILOTRAME_CORE_ONLY=ON \
    -DPILOTRAME_SANITIZE=ON \
    -DPILOTRAME_WERROR=ON
cmake --build "$SANITIZE_BUILD" --parallel "$JOBS"
banner "Core tests under the sanitizers"
stage="running the core tests under the sanitizers"
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1
run_ctest sanitize "$SANITIZE_BUILD"
unset ASAN_OPTIONS UBSAN_OPTIONS

# 4. Fuzzing, a short bounded run of each target on its corpus
banner "Fuzz targets, ${PILOTRAME_FUZZ_SECONDS:-15} s each (libFuzzer, AddressSanitizer, UBSan)"
stage="building the fuzz targets"
FUZZ_BUILD=$PILOTRAME_ROOT/build/fuzz
CC=clang CXX=clang++ cmake -S "$PILOTRAME_ROOT" -B "$FUZZ_BUILD" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPILOTRAME_CORE_ONLY=ON \
    -DPILOTRAME_FUZZ=ON \
    -DBUILD_TESTING=OFF \
    -DPILOTRAME_WERROR=ON
cmake --build "$FUZZ_BUILD" --parallel "$JOBS"
stage="running the fuzz targets"
run_counted fuzz "$PILOTRAME_ROOT/scripts/fuzz.sh" "${PILOTRAME_FUZZ_SECONDS:-15}"

# 5. Benchmark smoke run
banner "Benchmark, short run (figures not meaningful; see README, Performance)"
stage="running the benchmark"
"$LINUX_BUILD/bench/pilotrame_bench" --benchmark_min_time=0.01

trap - ERR
banner "Summary"
summary
