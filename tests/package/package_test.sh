#!/usr/bin/env bash
# Installs the Debian package into a temporary root (dpkg-deb -x) and checks it as a user meets it:
# the package's fields and dependencies, the desktop entry, icon and metainfo, and the installed
# program started through its start-up test hooks. The program must find Qt's French texts, keep
# its files in the user's data folder when the user cannot write its folder (an install in /usr or
# /opt), and keep them beside itself when the folder is writable.
# Usage: package_test.sh PACKAGE.deb [VERSION]
# Ends with one line "package: N passed, M failed, K skipped"; exits non-zero on any failure.
set -uo pipefail

deb=${1:?usage: package_test.sh PACKAGE.deb [VERSION]}
expected_version=${2:-}
deb=$(realpath "$deb")

. "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
finish() { finish_checks package; }

# Under /tmp, which every user can cross: the program also runs as an unprivileged user.
work=$(mktemp -d /tmp/pilotrame-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
root=$work/root

if ! dpkg-deb -x "$deb" "$root"; then
    fail "the package unpacks" "dpkg-deb -x $deb"
    finish
fi
pass "the package unpacks"

# The package's fields
field() { dpkg-deb -f "$deb" "$1"; }
version=$(field Version)
architecture=$(dpkg --print-architecture)
depends=$(field Depends)
app_id=org.pilotrame.Pilotrame
shipped_translations=$root/usr/share/pilotrame/translations
ships_translations=0
[[ -f $shipped_translations/qtbase_fr.qm ]] && ships_translations=1

check "package name pilotrame, section graphics, this machine's architecture" \
    test "$(field Package)|$(field Section)|$(field Architecture)" = "pilotrame|graphics|$architecture"
if [[ -n $expected_version ]]; then
    check "package version $expected_version" test "$version" = "$expected_version"
fi
check "file name pilotrame_VERSION_ARCH.deb, as the README's apt install ./pilotrame_*.deb expects" \
    test "$(basename "$deb")" = "pilotrame_${version}_${architecture}.deb"

has_dependency() { [[ ,$depends, =~ ,\ ?$1[\ ,] ]]; }
missing=()
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
    has_dependency "$library" || missing+=("$library")
done
if ((ships_translations == 0)); then
    has_dependency qt6-translations-l10n || missing+=(qt6-translations-l10n)
fi
if ((${#missing[@]} == 0)); then
    pass "depends on the Qt 6 libraries and Qt's translations"
else
    fail "depends on the Qt 6 libraries and Qt's translations" \
        "missing ${missing[*]} in \"$depends\""
fi

# What apt install ./pilotrame_*.deb does, simulated: the dependencies resolve.
if apt_output=$(apt-get --simulate --no-download install "$deb" 2>&1) &&
    grep -q '^Inst pilotrame ' <<<"$apt_output"; then
    pass "apt can install the package"
else
    fail "apt can install the package" "$(tail -n 5 <<<"$apt_output")"
fi

# The installed files
program=$root/usr/bin/pilotrame
desktop=$root/usr/share/applications/$app_id.desktop
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
check "the program is installed in /usr/bin" test -x "$program"
if unresolved=$(ldd "$program" 2>&1 | grep 'not found'); then
    fail "every library the program needs is found" "$unresolved"
else
    pass "every library the program needs is found"
fi

if readelf -S "$program" 2>/dev/null | grep -q '\.debug_\|\.symtab'; then
    fail "the program is stripped" "it still has its symbols or debugging sections"
else
    pass "the program is stripped"
fi

# Debian's documentation of the package: the copyright, machine-readable, and the changelog,
# whose latest entry is the package's version.
doc=$root/usr/share/doc/pilotrame
check "copyright in /usr/share/doc/pilotrame, in the machine-readable format" \
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$doc/copyright"
changelog_top=$(gzip -dc "$doc/changelog.gz" 2>/dev/null | head -n 1)
check "changelog.gz in /usr/share/doc/pilotrame, its latest entry for version $version" \
    test "${changelog_top%%)*}" = "pilotrame ($version"

desktop_key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
if [[ ! -f $desktop ]]; then
    fail "desktop entry in /usr/share/applications" "no $app_id.desktop"
else
    pass "desktop entry in /usr/share/applications"
    if command -v desktop-file-validate >/dev/null; then
        check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$desktop"
    else
        skip "desktop-file-validate accepts the desktop entry" "desktop-file-utils not installed"
    fi
    exec_name=$(desktop_key Exec)
    check "the desktop entry starts the installed program" test -x "$root/usr/bin/${exec_name%% *}"
    check "the desktop entry's icon is installed" \
        test -f "$root/usr/share/icons/hicolor/scalable/apps/$(desktop_key Icon).svg"
    check "the desktop entry is in French and in the Graphics menu" \
        test "$(desktop_key Name)|$(desktop_key Categories)" = "Pilotrame|Graphics;Engineering;"
    check "the desktop entry's comment is in French" grep -q '^Comment=.*plans AutoCAD' "$desktop"
fi

if [[ ! -f $metainfo ]]; then
    fail "AppStream metainfo in /usr/share/metainfo" "no $app_id.metainfo.xml"
else
    pass "AppStream metainfo in /usr/share/metainfo"
    if command -v appstreamcli >/dev/null; then
        if report=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
            pass "appstreamcli validate accepts the metainfo"
        else
            fail "appstreamcli validate accepts the metainfo" "$report"
        fi
    else
        skip "appstreamcli validate accepts the metainfo" "appstream not installed"
    fi
    check "the metainfo launches the installed desktop entry" \
        grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
    check "the metainfo has a release for version ${version%%-*}" \
        grep -q "<release version=\"${version%%-*}\"" "$metainfo"
fi

# The installed program, started through its start-up test hooks.

# As root the permission bits do not stop writing, so "a folder the user cannot write" takes an
# unprivileged user (nobody); any other user is stopped by the bits themselves.
nobody=65534
can_run_as_user=1
if ((EUID == 0)) && ! command -v setpriv >/dev/null; then
    can_run_as_user=0
fi

# run_program NAME AS: starts the installed program in a fresh home, as "user" (one who cannot
# write the program's folder) or "owner" (the owner of the unpacked files, who can); its
# transcript is $work/NAME/transcript.txt and its data folder $work/NAME/data.
run_program() {
    local dir=$work/$1 as=$2
    mkdir -p "$dir"/{home,data,cache,config,runtime,tmp}
    chmod 700 "$dir/runtime"
    local runner=() user
    user=$(id -un)
    if [[ $as == user ]]; then
        if ((EUID == 0)); then
            chown -R "$nobody:$nobody" "$dir"
            runner=(setpriv --reuid="$nobody" --regid="$nobody" --clear-groups)
            user=nobody
        else
            chmod a-w "$root/usr/bin"
        fi
    fi
    "${runner[@]}" env -i PATH=/usr/bin:/bin USER="$user" HOME="$dir/home" \
        XDG_DATA_HOME="$dir/data" XDG_CACHE_HOME="$dir/cache" XDG_CONFIG_HOME="$dir/config" \
        XDG_RUNTIME_DIR="$dir/runtime" TMPDIR="$dir/tmp" \
        QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.qpa.*=false' \
        PILOTRAME_TEST_TRANSCRIPT="$dir/transcript.txt" PILOTRAME_TEST_QUIT_MS=800 \
        PILOTRAME_TEST_TRANSLATIONS=1 \
        timeout 60 "$program" >"$dir/output.log" 2>&1
    local status=$?
    chmod u+w "$root/usr/bin"
    if ((status != 0)); then
        fail "$1: the program runs to its end" "exit status $status, $(tail -n 3 "$dir/output.log")"
        return 1
    fi
    if ! grep -qx 'shown|Pilotrame' "$dir/transcript.txt" 2>/dev/null; then
        fail "$1: the program runs to its end" "no window shown"
        return 1
    fi
    pass "$1: the program runs to its end"
}

# translations_of NAME: the folder the run NAME loaded Qt's French texts from, or "none".
translations_of() {
    local line
    line=$(grep -m 1 '^translations|' "$work/$1/transcript.txt")
    case $line in
    "translations|fr|"*) echo "${line#translations|fr|}" ;;
    "translations|none") echo none ;;
    *) echo "no translations line" ;;
    esac
}

# What is beside the program in its folder, besides the program.
beside_program() { find "$root/usr/bin" -mindepth 1 ! -name pilotrame; }
user_data=Pilotrame/Pilotrame # QStandardPaths' AppDataLocation: <data>/<organisation>/<program>

if ((can_run_as_user == 0)); then
    skip "installed in a folder the user cannot write" "setpriv (util-linux) is missing"
elif run_program per-user user; then
    found=$(translations_of per-user)
    if [[ $found != none && -f $found/qtbase_fr.qm ]]; then
        pass "per-user: finds Qt's French texts ($found)"
    else
        fail "per-user: finds Qt's French texts" "$found"
    fi
    check "per-user: no message shown at start-up" \
        test -z "$(grep '^message|' "$work/per-user/transcript.txt")"
    check "per-user: the settings file is created in the user's data folder" \
        test -s "$work/per-user/data/$user_data/savescript.txt"
    check "per-user: nothing is written beside the program" test -z "$(beside_program)"
fi

if run_program beside owner; then
    check "writable folder: the settings file stays beside the program" \
        test -s "$root/usr/bin/savescript.txt"
    check "writable folder: nothing in the user's data folder" \
        test ! -e "$work/beside/data/$user_data/savescript.txt"
    find "$root/usr/bin" -mindepth 1 ! -name pilotrame -delete
fi

# Qt's translation folder made empty through a qt.conf beside the program: the program must fall
# back on the copy in /usr/share/pilotrame/translations. Qt then takes every path from qt.conf, so
# it also names the folder of Qt's plugins, next to the Qt libraries the program uses.
qt_libraries=$(ldd "$program" | sed -nE 's/.*libQt6Core\.so[^ ]* => (.*)\/libQt6Core.*/\1/p')
plugins=$qt_libraries/qt6/plugins
if ((can_run_as_user == 0)); then
    skip "Qt's folder without the translations" "setpriv (util-linux) is missing"
elif [[ ! -f $plugins/platforms/libqoffscreen.so ]]; then
    skip "Qt's folder without the translations" "no Qt plugin folder at $plugins"
else
    mkdir -p "$work/empty-translations"
    printf '[Paths]\nPrefix=/usr\nPlugins=%s\nTranslations=%s\n' "$plugins" \
        "$work/empty-translations" >"$root/usr/bin/qt.conf"
    if ((ships_translations == 0)); then
        # The control: the hook reports a folder without them as such.
        if run_program no-copy user; then
            check "Qt's folder without them and no copy: reported as none" \
                test "$(translations_of no-copy)" = none
        fi
        mkdir -p "$shipped_translations"
        cp "$(translations_of per-user)/qtbase_fr.qm" "$shipped_translations/" 2>/dev/null ||
            cp /usr/share/qt6/translations/qtbase_fr.qm "$shipped_translations/"
    fi
    if run_program shipped-copy user; then
        check "Qt's folder without them: finds the copy in /usr/share/pilotrame/translations" \
            test "$(translations_of shipped-copy)" = "$(realpath "$shipped_translations")"
    fi
    # The layout windeployqt makes: one merged qt_fr.qm in a translations folder beside the
    # program, which comes before the shipped copy.
    mkdir -p "$root/usr/bin/translations"
    cp "$shipped_translations/qtbase_fr.qm" "$root/usr/bin/translations/qt_fr.qm"
    if run_program deployed-copy user; then
        check "Qt's folder without them: finds qt_fr.qm beside the program, as windeployqt puts it" \
            test "$(translations_of deployed-copy)" = "$(realpath "$root/usr/bin/translations")"
    fi
    rm -rf "$root/usr/bin/qt.conf" "$root/usr/bin/translations"
fi

finish
