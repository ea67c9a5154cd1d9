#!/usr/bin/env bash
# Installs the Windows installer silently (/S) into a fresh Wine prefix and checks it as a user
# meets it: the program's folder in %LOCALAPPDATA%\Programs\Pilotrame with everything it needs,
# the Start menu shortcut, the .pilotrame association and the entry of "Applications et
# fonctionnalités"; the installed program started on Qt's windows platform (an Xvfb display), its
# French texts found and its files kept beside itself; a job file opened through the association;
# the uninstaller and the installer refusing a running copy; then the uninstaller, which removes
# what was installed and keeps the user's files, and leaves no folder behind when the user had
# none.
# Usage: installer_test.sh SETUP.exe [VERSION]
# Ends with one line "installer: N passed, M failed, K skipped"; exits non-zero on any failure.
set -uo pipefail

setup=${1:?usage: installer_test.sh SETUP.exe [VERSION]}
expected_version=${2:-}
setup=$(realpath "$setup")

. "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/pilotrame-installer.XXXXXX")
xvfb_pid=
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
finish() { finish_checks installer; }

# A fresh prefix, quiet, without the Mono and Gecko installers, and without winemenubuilder,
# which would copy the shortcut and the association into this machine's own desktop menus.
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if ! wineboot -i >"$work/wineboot.log" 2>&1 || ! wineserver -w; then
    fail "a fresh Wine prefix" "$(tail -n 3 "$work/wineboot.log")"
    finish
fi
# wine_folder VARIABLE: a folder of the Windows environment, as a Linux path.
wine_folder() {
    local folder
    folder=$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
    winepath -u "$folder" 2>/dev/null | sed 's:/$::'
}
# reg_value KEY [NAME]: a value of the registry (without NAME, the key's default), or nothing.
reg_value() {
    local which=(/ve) shown='\(Default\)'
    [[ -n ${2:-} ]] && which=(/v "$2") shown=$2
    wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' |
        sed -nE "s/^ +$shown +REG_[A-Z_]+ +(.*)$/\1/p"
}
# As Windows writes it: C:\users\...
windows_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

local_appdata=$(wine_folder LOCALAPPDATA)
appdata=$(wine_folder APPDATA)
folder=$local_appdata/Programs/Pilotrame
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pilotrame'
shortcut="$appdata/Microsoft/Windows/Start Menu/Programs/Pilotrame.lnk"

# ---- Installing ----
if ! wine "$setup" /S >"$work/setup.log" 2>&1; then
    fail "the installer runs silently" "$(tail -n 3 "$work/setup.log")"
    finish
fi
wineserver -w
check "installed per user into %LOCALAPPDATA%\\Programs\\Pilotrame" test -f "$folder/pilotrame.exe"
missing=()
for file in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll Qt6Network.dll \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll \
    libwinpthread-1.dll translations/qtbase_fr.qm desinstaller.exe; do
    [[ -f $folder/$file ]] || missing+=("$file")
done
check "beside the program, what it needs: ${missing[*]:-nothing} missing" test ${#missing[@]} -eq 0
installed=$(cd "$folder" && find . -type f | sort)

# The version and icon resources of pilotrame.exe, as Explorer reads them (UTF-16 texts).
resources() {
    python3 - "$folder/pilotrame.exe" "$expected_version" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
def utf16(text):
    return text.encode("utf-16-le")
version = sys.argv[2] or "."
ok = utf16("ProductVersion") in data and utf16("040C04E4") in data and utf16(version) in data
sys.exit(0 if ok and b"\x89PNG" in data else 1)
EOF
}
check "pilotrame.exe carries its version${expected_version:+ $expected_version} (French block) and its icon" resources

check "a Start menu shortcut" test -f "$shortcut"
command=$(reg_value 'HKCU\Software\Classes\Pilotrame.Travail\shell\open\command')
check ".pilotrame files open in the program" \
    test "$(reg_value 'HKCU\Software\Classes\.pilotrame')|$command" = \
    "Pilotrame.Travail|\"$(windows_path "$folder")\\pilotrame.exe\" \"%1\""
check "listed in Applications et fonctionnalités, with its uninstaller" \
    test "$(reg_value "$uninstall_key" DisplayName)|$(reg_value "$uninstall_key" UninstallString)" = \
    "Pilotrame|\"$(windows_path "$folder")\\desinstaller.exe\""
if [[ -n $expected_version ]]; then
    check "the entry names version $expected_version" \
        test "$(reg_value "$uninstall_key" DisplayVersion)" = "$expected_version"
    # Wine's processes ended before the next start: a window started right after a command line
    # whose output went to a pipe, while Wine still ends its processes, spins under Wine 8 and
    # never ends.
    version_said=$(wine "$folder/pilotrame.exe" --version 2>/dev/null | tr -d '\r')
    wineserver -w
    check "pilotrame.exe --version says the same: '$version_said'" \
        test "$version_said" = "Pilotrame $expected_version"
fi

# ---- The installed program ----
# Qt's windows platform needs a display; Wine does not pass QT_QPA_PLATFORM anyway.
display=
if command -v Xvfb >/dev/null; then
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 50); do
        [[ -s $work/display ]] && break
        sleep 0.1
    done
    [[ -s $work/display ]] && display=:$(head -n 1 "$work/display")
fi

# run_program NAME [COMMAND...]: starts the installed program (or COMMAND, which starts it) on the
# display with its start-up test hooks; its transcript is $work/NAME.txt.
run_program() {
    local name=$1
    shift
    local program=("$@")
    ((${#program[@]} > 0)) || program=(wine "$folder/pilotrame.exe")
    DISPLAY=$display PILOTRAME_TEST_TRANSCRIPT="$(windows_path "$work/$name.txt")" \
        PILOTRAME_TEST_QUIT_MS=1500 PILOTRAME_TEST_TRANSLATIONS=1 \
        timeout 120 "${program[@]}" >"$work/$name.log" 2>&1
    local status=$?
    wineserver -w
    if ((status != 0)) || ! grep -qx 'shown|Pilotrame' "$work/$name.txt" 2>/dev/null; then
        fail "$name: the main window is shown" "status $status, $(cat "$work/$name.txt" 2>/dev/null)"
        return 1
    fi
    pass "$name: the main window is shown"
}

if [[ -z $display ]]; then
    skip "the installed program starts" "no Xvfb display (Debian package xvfb)"
elif run_program installed; then
    check "installed: Qt's French texts are found beside the program" \
        grep -qix "translations|fr|$(windows_path "$folder" | tr '\\' /)/translations" \
        "$work/installed.txt"
    check "installed: no message at start-up" test -z "$(grep '^message|' "$work/installed.txt")"
    check "installed: its folder can be written, so its settings are kept there" \
        test -s "$folder/savescript.txt" -a ! -e "$appdata/Pilotrame/Pilotrame/savescript.txt"

    # A faulty job given as the association gives it (the program, then the file's path as one
    # argument, spaces and all): the program opens it and names its fault. Wine 8 does not look
    # in the user's own classes (HKCU\Software\Classes) when it opens a file by its type, so the
    # double-click itself is left to a real Windows.
    documents=$work/prefix/drive_c/users/Public/Documents
    mkdir -p "$documents"
    printf 'pilotrame-travail=1\nzoom=peut-etre\n' >"$documents/mon travail.pilotrame"
    if run_program job wine "$folder/pilotrame.exe" "$(windows_path "$documents/mon travail.pilotrame")"; then
        check "job: the job file reaches the program, which names its fault" \
            grep -q "^message|.*mon travail\.pilotrame.*ligne 2" "$work/job.txt"
    fi
fi

# ---- Over a running copy ----
# Left running, started as its shortcut starts it: the uninstaller (run in place, so that its
# exit code is its own rather than that of the copy it would start) and the installer refuse it
# silently with a non-zero code, and change nothing.
# what_is_installed: every file of the folder with its size and time, the shortcut, the entry.
what_is_installed() {
    (cd "$folder" && find . -type f -printf '%p %s %T@\n' | sort)
    ls "$shortcut" 2>/dev/null
    reg_value "$uninstall_key" DisplayName
}
if [[ -z $display ]]; then
    skip "over a running copy" "no Xvfb display (Debian package xvfb)"
else
    DISPLAY=$display PILOTRAME_TEST_TRANSCRIPT="$(windows_path "$work/running.txt")" \
        PILOTRAME_TEST_QUIT_MS=120000 wine "$(windows_path "$folder")\\pilotrame.exe" \
        >"$work/running.log" 2>&1 &
    running=$!
    for _ in $(seq 600); do
        grep -qx 'shown|Pilotrame' "$work/running.txt" 2>/dev/null && break
        sleep 0.1
    done
    before=$(what_is_installed)
    wine "$folder/desinstaller.exe" /S "_?=$(windows_path "$folder")" >"$work/refused.log" 2>&1
    status=$?
    check "running: the uninstaller refuses, code $status" test "$status" -ne 0
    check "running: the uninstaller removes nothing" test "$(what_is_installed)" = "$before"
    wine "$setup" /S >"$work/refused-setup.log" 2>&1
    status=$?
    check "running: the installer refuses, code $status" test "$status" -ne 0
    check "running: the installer changes nothing" test "$(what_is_installed)" = "$before"
    kill "$running" 2>/dev/null
    wait "$running" 2>/dev/null
    wineserver -w
fi

# ---- Uninstalling ----
# The user's files in the program's folder: settings, list, run settings, script, job, journal.
user_files=(savescript.txt Liste01.txt execution.txt Pilotrame.scr travail.pilotrame
    Pilotrame-journal/2026-01-05_10-00-00/resume.csv)
mkdir -p "$folder/Pilotrame-journal/2026-01-05_10-00-00"
for file in "${user_files[@]}"; do
    [[ -e $folder/$file ]] || echo "du contenu" >"$folder/$file"
done

# uninstall: runs the uninstaller silently; it copies itself elsewhere and returns at once, so
# the end of every Wine process is waited for.
uninstall() {
    wine "$folder/desinstaller.exe" /S >"$work/uninstall.log" 2>&1 && wineserver -w
}
if ! uninstall; then
    fail "the uninstaller runs silently" "$(tail -n 3 "$work/uninstall.log")"
    finish
fi
left=()
while read -r file; do
    [[ -e $folder/$file ]] && left+=("$file")
done <<<"$installed"
check "uninstalled: every installed file is removed (left: ${left[*]:-none})" \
    test ${#left[@]} -eq 0
kept=()
for file in "${user_files[@]}"; do
    [[ -f $folder/$file ]] && kept+=("$file")
done
check "uninstalled: the user's files are kept (${#kept[@]} of ${#user_files[@]})" \
    test ${#kept[@]} -eq ${#user_files[@]}
check "uninstalled: the shortcut is removed" test ! -e "$shortcut"
check "uninstalled: the association and the entry are removed" \
    test -z "$(reg_value 'HKCU\Software\Classes\.pilotrame')$(reg_value "$uninstall_key" DisplayName)"

# Installed again and uninstalled at once: nothing of the user's, nothing left.
rm -rf "$folder"
if wine "$setup" /S >"$work/setup2.log" 2>&1 && wineserver -w && uninstall; then
    check "installed and uninstalled without user files: the folder is gone" test ! -e "$folder"
else
    fail "installed and uninstalled without user files" "$(tail -n 3 "$work/setup2.log")"
fi

finish
