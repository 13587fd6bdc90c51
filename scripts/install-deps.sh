#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build and test JovJdbcOdbc.
# Runs as root. Does nothing (not even apt-get update) when all are present.
set -euo pipefail

packages=(
    build-essential cmake g++
    unixodbc unixodbc-dev
    libsqliteodbc odbc-postgresql postgresql
    odbc-mariadb mariadb-server
    openjdk-17-jdk-headless default-jdk-headless junit5
    libgtest-dev googletest
    clang libclang-rt-14-dev
    # test-only: the JDBC clients the driver is tested with (java-test-libs.sh)
    derby-tools libhikaricp-java libcommons-dbcp2-java libspring-jdbc-java sqlline
)

missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "missing packages (run as root to install): ${missing[*]}" >&2
    exit 1
fi

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
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
