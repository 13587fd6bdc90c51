#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build and test JovJdbcOdbc.
# Runs as root. Does nothing (not even apt-get update) when all are present.
#
# Usage: install-deps.sh [--cross | --windows-tests | --wine32]
#   (none)           building the library and the jar, and the Linux tests
#   --cross          the mingw-w64 compilers of the Windows DLLs (64 and 32 bits)
#   --windows-tests  those, 64-bit Wine and the locales to make ja_JP.UTF-8
#   --wine32         32-bit Wine and the i386 ODBC libraries Wine's 32-bit
#                    odbc32 hands its calls to (about 1 GB); they need the
#                    mirror's i386 lists to match its amd64 ones
set -euo pipefail

cross=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix)
case ${1:-} in
    "")
        packages=(
            build-essential cmake g++
            unixodbc unixodbc-dev
            # the iODBC driver manager's runtime, for the library's second build (build-iodbc.sh);
            # not libiodbc2-dev, which conflicts with unixodbc-dev
            libiodbc2
            libsqliteodbc odbc-postgresql postgresql
            odbc-mariadb mariadb-server
            openjdk-17-jdk-headless default-jdk-headless junit5
            libgtest-dev googletest
            clang libclang-rt-14-dev
            # test-only: the JDBC clients the driver is tested with (java-test-libs.sh)
            derby-tools libhikaricp-java libcommons-dbcp2-java libspring-jdbc-java sqlline
            # test-only: the shell that writes and reads SQLite files beside the driver
            sqlite3
        )
        ;;
    --cross) packages=("${cross[@]}") ;;
    --windows-tests)
        packages=("${cross[@]}" wine64 locales)
        ;;
    --wine32) packages=(wine32:i386 libodbc2:i386 libsqliteodbc:i386) ;;
    *) echo "usage: install-deps.sh [--cross | --windows-tests | --wine32]" >&2; exit 2 ;;
esac

# installed NAME: once a package is installed for two architectures, "dpkg -s
# NAME" is ambiguous and fails; NAME:<native architecture> is not.
installed() {
    dpkg -s "$1" >/dev/null 2>&1 || { [[ $1 != *:* ]] &&
        dpkg -s "$1:$(dpkg --print-architecture)" >/dev/null 2>&1; }
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "missing packages (run as root to install): ${missing[*]}" >&2
    exit 1
fi

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [[ ${missing[*]} == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
# The postgresql and mariadb-server packages must not start a server of their
# own: the tests run throwaway ones. policy-rc.d keeps invoke-rc.d from starting services.
policy=/usr/sbin/policy-rc.d
own_policy=0
if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy"
    chmod +x "$policy"
    own_policy=1
fi
remove_policy() { if [[ $own_policy -eq 1 ]]; then rm -f "$policy"; fi; }
trap remove_policy EXIT
log=$(mktemp)
if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
fi
rm -f "$log"
