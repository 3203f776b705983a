# Installs the Debian 12 packages Quelora needs: to build and run it, and with the
# argument "test" also what the test suite, benchmarks and fuzzers use.
# Sourced by run.sh and test.sh; uses sudo when not run as root.
install_deps() {
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    local packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n fonts-liberation libnuspell-dev hunspell-es libdtl-dev)
    if [ "${1:-}" = "test" ]; then
        packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth time clang libclang-rt-14-dev
                  syncthing iproute2) # the last two: the test with two real sync engines
    fi
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}
