#!/usr/bin/env bash
# Checks the naming of the identifiers of src/ (sources and headers) against .clang-tidy, with
# Debian's clang-tidy on the compile database of the Linux build (build/linux, configured here
# when it is not). Lists every name to change, once, and ends with "naming: N names to change";
# exits non-zero when there is one or when clang-tidy could not check a file.
set -euo pipefail
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

fail() {
    echo "check-naming: $*" >&2
    exit 1
}

command -v run-clang-tidy >/dev/null ||
    fail "run-clang-tidy not found (scripts/install-deps.sh installs clang-tidy)"
if [[ ! -f $LINUX_BUILD/compile_commands.json ]]; then
    configure_linux
fi

# The root as a regular expression (clang-tidy and run-clang-tidy match absolute paths).
root_regex=$(printf '%s' "$PILOTRAME_ROOT" | sed 's/[][\.*^$+?(){}|]/\\&/g')
log=$(mktemp)
trap 'rm -f "$log"' EXIT

status=0
# -Wno-unknown-warning-option: the build's GCC flags include some that clang does not know
# (-Wno-restrict). -Wno-error: clang's own warnings, which the build's -Werror would make errors,
# are not this check's business (GCC's are, in the build). The source files are those of src/
# only; their headers come with them.
run-clang-tidy -quiet -p "$LINUX_BUILD" -j "$JOBS" \
    -extra-arg=-Wno-unknown-warning-option -extra-arg=-Wno-error \
    -header-filter="^$root_regex/src/" \
    "^$root_regex/src/.*\.cpp\$" >"$log" 2>&1 || status=$?
# run-clang-tidy 14 always asks for colours.
sed -i -E 's/\x1b\[[0-9;]*m//g' "$log"

# A header's names are reported once per source that includes it: one line each, sorted.
findings=$(grep -E '^/.*: (warning|error): .*\[readability-identifier-naming' "$log" |
    sed -E "s|^$root_regex/||; s/ \[readability-identifier-naming.*\]\$//" |
    sed -E 's/: (warning|error): /: /' | sort -u -t: -k1,1 -k2,2n -k3,3n || true)
if [[ -n $findings ]]; then
    echo "$findings"
fi
count=$(grep -c . <<<"$findings" || true)

# Anything else clang-tidy says as an error (a file it could not compile) is shown whole.
if grep -qE ': error: ' <<<"$(grep -v 'readability-identifier-naming' "$log")"; then
    grep -v 'readability-identifier-naming' "$log" >&2
    fail "clang-tidy could not check every file (see above)"
fi
if ((status != 0 && count == 0)); then
    cat "$log" >&2
    fail "run-clang-tidy failed (status $status)"
fi
if ((count == 1)); then
    echo "naming: 1 name to change"
else
    echo "naming: $count names to change"
fi
((count == 0))
