#!/usr/bin/env bash
# Builds the Windows DLL and its test program with mingw-w64 for 64 and for 32
# bits, checks what the files export and import (and, on 32 bits, each
# native's argument size), and runs each test program under Wine of its width
# against the SQLite data source of the rig.
#
# Wine's odbc32 hands every ODBC call to the host's unixODBC (libodbc.so.2, the
# i386 one for 32-bit Wine), which reads ODBCSYSINI/ODBCINI from the
# environment (scripts/odbc-env.sh), so the Windows process reaches the same
# JovSqlite as the Linux tests, and the rig's PostgreSQL when it runs. Wine takes
# its ANSI code page from the locale: under ja_JP.UTF-8 it is 932.
#
# Each Wine prefix is made afresh in a temporary folder and removed on the way
# out, with its wineserver stopped. Runs as root to install what is missing
# (install-deps.sh --windows-tests and --wine32: about 1 GB, most of it 32-bit Wine).
#
# Environment: JOV_WIN_BUILD_DIR (default <repo>/build-win),
# JOV_WIN32_BUILD_DIR (<repo>/build-win32), JOV_BUILD_TYPE (Release), the
# variables of odbc-env.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win64_build=${JOV_WIN_BUILD_DIR:-$root/build-win}
win32_build=${JOV_WIN32_BUILD_DIR:-$root/build-win32}
native_prefix=Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBC
driver_prefix=Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_

# step NAME: starts a timed step; its time is printed when the next starts.
step_name=""
step_start=0
step() {
    local now ms
    now=$(date +%s%N)
    if [[ -n $step_name ]]; then
        ms=$(((now - step_start) / 1000000))
        printf 'test-windows.sh: %-26s %4d.%03d s\n' "$step_name" $((ms / 1000)) $((ms % 1000))
    fi
    step_name=$1
    step_start=$now
}

# 32-bit Wine comes from the i386 lists, which a mirror in mid-sync can serve
# out of step with the amd64 ones; apt then cannot install it. The 32-bit DLL
# is still built and its exports checked; only its run under Wine is skipped,
# and the output says so.
wine32=1
install_missing() {
    bash "$root/scripts/install-deps.sh"
    bash "$root/scripts/install-deps.sh" --windows-tests
    if ! bash "$root/scripts/install-deps.sh" --wine32; then
        wine32=0
        echo "test-windows.sh: 32-bit Wine could not be installed (apt's answer above);" \
            "the 32-bit DLL is built and checked but NOT RUN under Wine"
    fi
}

ensure_japanese_locale() {
    locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}

# build_windows ARCH BUILD: the DLL and wine_test.exe for x86_64 or i686.
build_windows() {
    cmake --no-warn-unused-cli -S "$root" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$1.cmake" \
        -DCMAKE_BUILD_TYPE="${JOV_BUILD_TYPE:-Release}" >/dev/null
    cmake --build "$2" -j2
}

# The DLL exports the 29 natives declared in jni/natives.h and the 53 of
# driver/jni/natives.h, and nothing else,
# each by name (no ordinal-only entries), under their plain names.
check_exports() {
    local dll=$build/JovJdbcOdbc.dll dump expected actual addresses
    dump=$("$objdump" -p "$dll")
    expected=$({ grep -o "${native_prefix}[A-Za-z]*" "$root/jni/natives.h"
        grep -o "${driver_prefix}[A-Za-z]*" "$root/driver/jni/natives.h"; } | sort)
    actual=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
        sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
    addresses=$(sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-f]*\)$/\1/p' <<<"$dump" | head -n 1)
    echo "exports of $dll ($((16#${addresses:-0})) addresses, $(wc -l <<<"$actual") names):"
    sed 's/^/    /' <<<"$actual"
    if [[ $actual != "$expected" || $((16#${addresses:-0})) -ne 82 ]]; then
        echo "export table differs from the 29 + 53 natives:" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        return 1
    fi
    echo "exports: the 29 natives, the 53 of OdbcNatives and nothing else"
}

# check_imports FILE DLL...: FILE imports exactly the DLLs given. The C++
# run-time and winpthread are linked in, so nothing of mingw's is needed.
check_imports() {
    local file=$1 actual expected
    shift
    actual=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort | paste -sd' ')
    expected=$(printf '%s\n' "$@" | sort | paste -sd' ')
    echo "imports of $(basename "$file"): $actual"
    if [[ $actual != "$expected" ]]; then
        echo "expected imports: $expected" >&2
        return 1
    fi
}

# unicode_pg ARCH: the connection string of the rig's PostgreSQL cluster
# through psqlODBC's Unicode driver of that width, which exports the wide
# functions, so unixODBC hands the DLL's wide calls through unconverted: the
# nearest this host gets to Windows with a Unicode driver. Empty (the test
# program then says it skipped that part) when the cluster is not running, as
# when this script runs alone; scripts/test.sh starts it first.
unicode_pg() {
    local driver=/usr/lib/$1-linux-gnu/odbc/psqlodbcw.so
    [[ $1 == i686 ]] && driver=/usr/lib/i386-linux-gnu/odbc/psqlodbcw.so
    [[ -f $driver ]] && bash "$root/scripts/pg-cluster.sh" status "$JOV_PG_DIR" || return 0
    echo "Driver=$driver;Servername=$JOV_PG_DIR;Port=${JOV_PG_PORT:-54329};Database=${JOV_PG_DATABASE:-jovtest};Username=${JOV_PG_USER:-jov};Password=${JOV_PG_PASSWORD:-jovpass}"
}

wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

prefixes=()
remove_prefixes() {
    local dir
    for dir in "${prefixes[@]}"; do
        WINEPREFIX=$dir/wine "$wineserver" -k 2>/dev/null || true
        rm -rf "$dir"
    done
}
trap remove_prefixes EXIT

# test_width BITS: builds, checks and runs the DLL of that width. Called in
# a || list, where set -e does not hold: each step returns on failure itself.
test_width() {
    local arch build wine winearch dir status=0
    if [[ $1 == 64 ]]; then
        arch=x86_64 build=$win64_build winearch=win64
        wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
    else
        arch=i686 build=$win32_build winearch=win32 wine=/usr/lib/wine/wine
    fi
    objdump=$arch-w64-mingw32-objdump
    step "build ($1-bit mingw-w64)"
    build_windows "$arch" "$build" || return
    step "export and import checks"
    check_exports || return
    check_imports "$build/JovJdbcOdbc.dll" KERNEL32.dll msvcrt.dll ODBC32.dll ODBCCP32.dll || return
    check_imports "$build/wine_test.exe" KERNEL32.dll msvcrt.dll || return
    if [[ $1 == 32 ]]; then
        bash "$root/scripts/check-stdcall.sh" "$build/JovJdbcOdbc.def" || return
    fi

    if [[ $1 == 32 && $wine32 -eq 0 ]]; then
        echo "test-windows.sh: wine_test.exe (32-bit Wine) SKIPPED: 32-bit Wine is not installed"
        return 0
    fi
    dir=$(mktemp -d)
    prefixes+=("$dir")
    step "wine prefix ($winearch)"
    WINEPREFIX=$dir/wine WINEARCH=$winearch LC_ALL=ja_JP.UTF-8 timeout 300 "$wine" wineboot --init >/dev/null 2>&1 || return
    step "wine_test.exe ($1-bit Wine)"
    # LoadLibrary finds the DLL in the program's own folder.
    (cd "$build" && JOV_WINE_PG=$(unicode_pg "$arch") WINEPREFIX=$dir/wine WINEARCH=$winearch \
        LC_ALL=ja_JP.UTF-8 timeout 300 "$wine" wine_test.exe) || status=$?
    WINEPREFIX=$dir/wine "$wineserver" -k 2>/dev/null || true
    return "$status"
}

step "install"
install_missing
ensure_japanese_locale

# shellcheck source=odbc-env.sh
. "$root/scripts/odbc-env.sh"
export WINEDEBUG=-all
# No Mono or Gecko: the prefix needs neither, and asking for them would stall.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

status=0
test_width 64 || status=$?
test_width 32 || status=$?
step ""
exit "$status"
