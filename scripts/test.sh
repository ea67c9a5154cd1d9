#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test:
#   1. Linux, RelWithDebInfo, warnings as errors (preset linux): the core, the windows (on Qt's
#      offscreen platform) and their tests; the benchmark is built too. Then two checks on the
#      sources: the naming of identifiers (scripts/check-naming.sh: clang-tidy with .clang-tidy),
#      and every source of the windows and the program compiled as for Windows, syntax and types
#      only (scripts/check-windows-gui.sh).
#   1b. The Debian package of that build (CPack), installed into a temporary root and started
#      from there (tests/package/package_test.sh), then checked by lintian: any error fails.
#   2. The core cross-built for Windows with MinGW-w64 (preset windows), its tests run under Wine.
#   2b. With Qt for Windows (PILOTRAME_QT_WINDOWS, or scripts/build-qt-windows.sh's folder): the
#      whole program cross-built (preset windows-gui), its window, program and core tests run
#      under Wine; then its NSIS installer, installed silently into a fresh Wine prefix, the
#      program started from there on an Xvfb display, and uninstalled
#      (tests/package/installer_test.sh). Without Qt for Windows both count as skipped.
#   3. The core tests under AddressSanitizer and UndefinedBehaviorSanitizer (preset sanitize).
#   4. Each fuzz target for a short bounded time (preset fuzz; PILOTRAME_FUZZ_SECONDS, 15 by
#      default).
#   5. A very short run of the benchmark, to show that it works (its figures mean nothing here).
# The format of every C++ file is checked first, with the project's .clang-format.
#
#   scripts/test.sh          all of the above
#   scripts/test.sh --core   the core and its tests only (preset core): configure, build, run
#
# Test results are counted from CTest's JUnit report (and, under Wine, where one CTest test is a
# whole GoogleTest program, from GoogleTest's own report); a check counts as one test. A step
# whose tests or check fail is counted and the run goes on; a build that fails stops the run and
# counts as one failure. Ends with one line "N passed, M failed, K skipped"; exits non-zero on any
# failure. The output of each step is kept in build/logs/.
# -E: a command that fails inside a function (a build) reaches the ERR trap too.
set -Eeuo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

usage() {
    echo "usage: scripts/test.sh [--core]"
    echo "  (no option)  builds and runs every test and check (see the top of this script)"
    echo "  --core       builds the core alone (preset core) and runs its tests"
}

only_core=0
if (($# > 1)); then
    usage >&2
    exit 2
fi
case ${1:-} in
"") ;;
--core) only_core=1 ;;
-h | --help)
    usage
    exit 0
    ;;
*)
    echo "test.sh: unknown option '$1'" >&2
    usage >&2
    exit 2
    ;;
esac

total_passed=0
total_failed=0
total_skipped=0
# The steps that failed, named in the summary.
failed_steps=()

summary() {
    if ((${#failed_steps[@]} > 0)); then
        local IFS=,
        echo "test.sh: failed: ${failed_steps[*]}" | sed 's/,/, /g' >&2
    fi
    echo "$total_passed passed, $total_failed failed, $total_skipped skipped"
}

stage="installing the packages"
on_failure() {
    # Once, in the script itself: a subshell inherits the trap (with -E) and fails in turn.
    if ((BASH_SUBSHELL > 0)); then
        return
    fi
    echo "test.sh: FAILED while $stage" >&2
    total_failed=$((total_failed + 1))
    failed_steps+=("$stage")
    summary
}
trap on_failure ERR

# Adds the counts of a step to the totals; a step that failed counts at least one failure.
# Arguments: the step's name, passed, failed, skipped, and its status (0 when it succeeded).
add_counts() {
    local name=$1 passed=$2 failed=$3 skipped=$4 status=$5
    if ((status != 0 && failed == 0)); then
        failed=1
    fi
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    total_skipped=$((total_skipped + skipped))
    if ((failed > 0)); then
        failed_steps+=("$name")
        echo "test.sh: $name FAILED" >&2
    fi
}

# Runs a check that counts as one test, keeping its output in build/logs/NAME.log.
# Arguments: NAME, then the command.
run_check() {
    local name=$1 status=0
    shift
    "$@" 2>&1 | tee "$LOG_DIR/$name.log" || status=$?
    if ((status == 0)); then
        add_counts "$name" 1 0 0 0
    else
        add_counts "$name" 0 1 0 "$status"
    fi
}

# Runs a checking command whose output ends with "NAME: N passed, M failed, K skipped", keeps its
# output in build/logs/NAME.log and adds its counts (a command that printed no counts counts as
# one failure). Arguments: NAME, then the command.
run_counted() {
    local name=$1 status=0
    shift
    "$@" 2>&1 | tee "$LOG_DIR/$name.log" || status=$?
    local counts
    counts=$(sed -nE "s/^$name: ([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped\$/\1 \2 \3/p" \
        "$LOG_DIR/$name.log")
    if [[ -z $counts ]]; then
        echo "test.sh: $name printed no count" >&2
        status=1
    fi
    local passed failed skipped
    read -r passed failed skipped <<<"${counts:-0 0 0}"
    add_counts "$name" "$passed" "$failed" "$skipped" "$status"
}

# Runs the tests of a preset with CTest, keeps its output in build/logs/ctest-PRESET.log and its
# JUnit report in build/logs/junit-PRESET.xml, and adds their counts. Arguments: the preset, and
# "cases" when each CTest test is a whole GoogleTest program (the run under Wine): its cases are
# then counted from the report each program writes into build/PRESET/tests/googletest-results/
# (tests/CMakeLists.txt).
run_ctest() {
    local preset=$1 count=${2:-tests}
    local log=$LOG_DIR/ctest-$preset.log junit=$LOG_DIR/junit-$preset.xml
    local options=()
    rm -f "$junit"
    if [[ $count == cases ]]; then
        local reports=$PILOTRAME_ROOT/build/$preset/tests/googletest-results
        rm -rf "$reports"
        options=(--googletest-dir "$reports")
    fi
    local status=0
    ctest --preset "$preset" --output-junit "$junit" 2>&1 | tee "$log" || status=$?
    local counts
    if ! counts=$(python3 "$PILOTRAME_ROOT/scripts/count-tests.py" "$junit" "${options[@]}"); then
        echo "test.sh: no test result from CTest for the preset $preset" >&2
        add_counts "tests of $preset" 0 1 0 1
        return 0
    fi
    local passed failed skipped
    read -r passed failed skipped <<<"$counts"
    if ((status != 0 && failed == 0)); then
        echo "test.sh: CTest failed (status $status) with no failed test in its report" >&2
    fi
    echo "tests of $preset: $passed passed, $failed failed, $skipped skipped"
    add_counts "tests of $preset" "$passed" "$failed" "$skipped" "$status"
}

# Fails the run when a step failed, after the summary line.
finish() {
    trap - ERR
    banner "Summary"
    summary
    ((total_failed == 0))
}

# The time since the start shows what each step takes.
banner() {
    printf '\n==== %s ==== (at %dm%02ds)\n' "$1" $((SECONDS / 60)) $((SECONDS % 60))
}

"$PILOTRAME_ROOT/scripts/install-deps.sh"

LOG_DIR=$PILOTRAME_ROOT/build/logs
mkdir -p "$LOG_DIR"

if ((only_core)); then
    banner "Core build (preset core: Debug, warnings as errors)"
    stage="building the core"
    configure_preset core
    build_preset core
    banner "Core tests"
    run_ctest core
    finish
    exit
fi

# 0. Format
banner "Format (clang-format)"
check_format() {
    if git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror; then
        echo "format: every file follows .clang-format"
    else
        echo "format: run clang-format -i on the files named above" >&2
        return 1
    fi
}
run_check format check_format

# 1. Linux
banner "Linux build (preset linux: RelWithDebInfo, warnings as errors)"
stage="building for Linux"
configure_linux
build_preset linux
banner "Linux tests"
run_ctest linux

banner "Naming of identifiers (clang-tidy, .clang-tidy)"
run_check naming "$PILOTRAME_ROOT/scripts/check-naming.sh"

banner "Sources of the windows and the program compiled as for Windows (syntax only)"
run_check windows-gui "$PILOTRAME_ROOT/scripts/check-windows-gui.sh"

# 1b. The Debian package of that build, installed into a temporary root and started from there
banner "Debian package (CPack), installed into a temporary root"
stage="building the Debian package"
rm -f "$LINUX_BUILD"/pilotrame_*.deb
if ! (cd "$LINUX_BUILD" && cpack -G DEB) >"$LOG_DIR/cpack.log" 2>&1; then
    cat "$LOG_DIR/cpack.log" >&2
    false
fi
project_version=$(sed -nE 's/^project\(Pilotrame VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
run_counted package tests/package/package_test.sh "$LINUX_BUILD"/pilotrame_*.deb \
    "$project_version"

banner "Debian package checked by lintian (errors fail, warnings are shown)"
# lintian fails on an error by itself; an "E:" line is looked for too, so that a report whose
# exit status says nothing cannot pass an error.
check_lintian() {
    local report status=0
    report=$(lintian "$@" 2>&1) || status=$?
    echo "$report"
    if ((status != 0)) || grep -q '^E: ' <<<"$report"; then
        echo "lintian: the package has errors (status $status)" >&2
        return 1
    fi
    echo "lintian: no error"
}
run_check lintian check_lintian "$LINUX_BUILD"/pilotrame_*.deb

# 2. Windows cross build, tests under Wine
banner "Windows cross build of the core (preset windows: MinGW-w64)"
stage="building for Windows"
configure_preset windows
build_preset windows

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
run_ctest windows cases

# 2b. The whole program for Windows, with Qt for Windows
qt_windows=${PILOTRAME_QT_WINDOWS:-}
default_qt_windows=${XDG_CACHE_HOME:-$HOME/.cache}/pilotrame/qt6-windows-6.4.2
if [[ -z $qt_windows && -f $default_qt_windows/.pilotrame-complete ]]; then
    qt_windows=$default_qt_windows
fi
if [[ -z $qt_windows || ! -d $qt_windows/lib/cmake/Qt6 ]]; then
    banner "Windows program (preset windows-gui): skipped"
    echo "test.sh: no Qt for Windows (PILOTRAME_QT_WINDOWS: '${qt_windows}'): the Windows" \
        "program's tests and its installer are skipped; scripts/build-qt-windows.sh makes one" \
        "(about an hour), or set PILOTRAME_QT_WINDOWS to a Qt 6 qtbase for MinGW-w64"
    add_counts "Windows program" 0 0 2 0
else
    export PILOTRAME_QT_WINDOWS=$qt_windows
    banner "Windows build of the whole program (preset windows-gui: MinGW-w64, Qt for Windows)"
    stage="building the Windows program"
    configure_preset windows-gui
    build_preset windows-gui

    banner "Window, program and core tests under Wine"
    run_ctest windows-gui cases

    banner "Windows installer (NSIS), installed into a fresh Wine prefix"
    stage="building the Windows installer"
    build_preset windows-gui --target installer
    run_counted installer tests/package/installer_test.sh \
        "build/windows-gui/Pilotrame-$project_version-setup.exe" "$project_version"
fi

# 3. AddressSanitizer and UndefinedBehaviorSanitizer (their options are in the test preset)
banner "Core build with AddressSanitizer and UndefinedBehaviorSanitizer (preset sanitize: Debug)"
stage="building with the sanitizers"
configure_preset sanitize
build_preset sanitize
banner "Core tests under the sanitizers"
run_ctest sanitize

# 4. Fuzzing, a short bounded run of each target on its corpus
banner "Fuzz targets, ${PILOTRAME_FUZZ_SECONDS:-15} s each (preset fuzz: libFuzzer, ASan, UBSan)"
stage="building the fuzz targets"
configure_preset fuzz
build_preset fuzz
run_counted fuzz "$PILOTRAME_ROOT/scripts/fuzz.sh" "${PILOTRAME_FUZZ_SECONDS:-15}"

# 5. Benchmark smoke run
banner "Benchmark, short run (figures not meaningful; see docs/performance.md)"
run_check bench "$LINUX_BUILD/bench/pilotrame_bench" --benchmark_min_time=0.01

finish
