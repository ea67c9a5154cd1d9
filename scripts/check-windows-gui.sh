#!/usr/bin/env bash
# Compiles every source of the windows and of the program (src/gui, src/app) with MinGW-w64 as for
# Windows, syntax and types only (-fsyntax-only), with the project's warnings as errors. Their
# Windows-only code (#ifdef Q_OS_WIN, _WIN32) is compiled nowhere else on this machine.
#
# This is not a Windows build: it uses the Qt 6 headers that Debian ships for Linux, which take
# their Windows branches from the compiler's _WIN32 (QProcess::CreateProcessArguments, for
# instance); there is no Qt for Windows here, and nothing is linked or run. Qt's configuration
# headers are those of the Linux build of Qt (qconfig.h, qtcore-config.h); they have not stood in
# the way, so nothing here works around them.
#
# Each file gets the definitions and include folders that it has in the Linux build (build/linux,
# configured here when it is not), so that a definition or an include root added in CMake reaches
# this check by itself; a source that includes its moc output (moc_x.cpp, x.moc) finds it in the
# folders of AUTOMOC, made here by Debian's moc. Ends with "windows-gui: N files checked, M
# failed"; exits non-zero when a file does not compile or cannot be checked.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

compiler=x86_64-w64-mingw32-g++-posix
qt_headers=/usr/include/x86_64-linux-gnu/qt6
qt_mkspecs=/usr/lib/x86_64-linux-gnu/qt6/mkspecs

fail() {
    echo "check-windows-gui: $*" >&2
    exit 1
}

command -v "$compiler" >/dev/null ||
    fail "$compiler not found (scripts/install-deps.sh installs g++-mingw-w64-x86-64-posix)"
[[ -d $qt_headers/QtWidgets ]] ||
    fail "no Qt 6 headers in $qt_headers (scripts/install-deps.sh installs qt6-base-dev)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ ! -f $LINUX_BUILD/compile_commands.json ]]; then
    configure_linux
fi
# The moc output of the three targets that hold src/gui and src/app (a no-op after a build).
if ! build_preset linux --target pilotrame_gui_autogen pilotrame_app_autogen pilotrame_autogen \
    >"$work/autogen.log" 2>&1; then
    cat "$work/autogen.log" >&2
    fail "AUTOMOC failed in $LINUX_BUILD"
fi

# One GCC response file per source: its -D, -I and -isystem options from the compile database,
# then the Windows additions. Every .cpp under src/gui and src/app must be in the database.
python3 - "$LINUX_BUILD/compile_commands.json" "$work" "$qt_headers" "$qt_mkspecs" <<'PYTHON'
import json, os, re, shlex, subprocess, sys

database, work, qt_headers, qt_mkspecs = sys.argv[1:]
root = os.getcwd()

def quoted(argument):
    # GCC reads response files with the shell's quoting; escape every special character.
    return re.sub(r'([\s"\'\\])', r'\\\1', argument)

commands = {}
for entry in json.load(open(database)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    arguments = entry.get("arguments") or shlex.split(entry["command"])
    commands[os.path.relpath(path, root)] = arguments

sources = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard",
                          "--", "src/gui/*.cpp", "src/app/*.cpp"],
                         check=True, capture_output=True, text=True).stdout.split()
if not sources:
    sys.exit("check-windows-gui: no source under src/gui and src/app")
missing = [source for source in sources if source not in commands]
if missing:
    sys.exit("check-windows-gui: not in the Linux build (add them to a CMakeLists.txt): "
             + " ".join(missing))

windows = [
    # What Qt's CMake package adds to every target that uses Qt on Windows: the wide (W)
    # Windows API under the plain names, and the old WIN32 spelling that strict -std=c++20 does
    # not define.
    "-DUNICODE", "-D_UNICODE", "-DWIN32",
    # pilotrame_gui links Qt Network on Windows (the single instance's local socket).
    "-DQT_NETWORK_LIB", "-isystem", os.path.join(qt_headers, "QtNetwork"),
    "-std=c++20", "-fsyntax-only",
]
for number, source in enumerate(sorted(sources)):
    kept = []
    arguments = commands[source]
    index = 0
    while index < len(arguments):
        argument = arguments[index]
        if argument in ("-I", "-isystem", "-D"):
            kept += arguments[index:index + 2]
            index += 2
            continue
        if argument.startswith(("-D", "-I", "-isystem")):
            kept.append(argument)
        index += 1
    # Qt's platform header folder: the Windows one instead of Linux's.
    kept = [a.replace(os.path.join(qt_mkspecs, "linux-g++"), os.path.join(qt_mkspecs, "win32-g++"))
            for a in kept]
    with open(os.path.join(work, f"{number:03}.rsp"), "w") as rsp:
        rsp.write("\n".join(quoted(a) for a in kept + windows + [source]) + "\n")
    with open(os.path.join(work, f"{number:03}.source"), "w") as name:
        name.write(source + "\n")
PYTHON

# The project's warning flags, as errors, in a response file shared by every compile.
cmake -P cmake/warnings.cmake >"$work/warnings"
[[ -s $work/warnings ]] || fail "no warning flags from cmake/warnings.cmake"
echo -Werror >>"$work/warnings"

# Each file on its own, JOBS at a time; the results are printed in order afterwards.
export compiler work
# shellcheck disable=SC2016 # expanded by the inner bash
printf '%s\0' "$work"/*.rsp |
    xargs -0 -n 1 -P "$JOBS" bash -c '
        if "$compiler" "@$work/warnings" "@$1" >"${1%.rsp}.log" 2>&1; then
            echo ok >"${1%.rsp}.status"
        else
            echo failed >"${1%.rsp}.status"
        fi' check

passed=0
failed=0
for rsp in "$work"/*.rsp; do
    file=$(<"${rsp%.rsp}.source")
    if [[ $(cat "${rsp%.rsp}.status" 2>/dev/null) == ok ]]; then
        echo "ok      $file"
        passed=$((passed + 1))
    else
        echo "FAILED  $file"
        cat "${rsp%.rsp}.log" 2>/dev/null || echo "(not compiled)"
        failed=$((failed + 1))
    fi
done
echo "windows-gui: $((passed + failed)) files checked, $failed failed"
((failed == 0))
