# The counting of the package tests, sourced by each: pass, fail, skip and check count one check
# each; finish NAME prints "NAME: N passed, M failed, K skipped" and exits non-zero on any failure.
passed=0
failed=0
skipped=0
pass() {
    echo "ok - $1"
    passed=$((passed + 1))
}
fail() {
    echo "not ok - $1${2:+: $2}"
    failed=$((failed + 1))
}
skip() {
    echo "skipped - $1: $2"
    skipped=$((skipped + 1))
}
# check NAME COMMAND...: passes when the command succeeds.
check() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}
finish_checks() {
    echo "$1: $passed passed, $failed failed, $skipped skipped"
    exit $((failed > 0 ? 1 : 0))
}
