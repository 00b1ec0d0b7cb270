# Shared by the shell tests: sourced, not run.

fail() { echo "FAIL: $*" >&2; exit 1; }

# A missing tool skips the test on a developer's machine; under CI it is a failure.
need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        [ "${CI:-}" = true ] && fail "$tool is not installed"
        echo "SKIP: $tool is not installed"
        exit 77
    done
}

# Polls a command for up to 5 seconds.
eventually() {
    for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
    return 1
}
