#!/usr/bin/env bash
# Builds the Windows DLL and its test program with mingw-w64, checks what the
# two files export and import, and runs the test program under Wine against the
# SQLite data source of the rig.
#
# Wine's odbc32 hands every ODBC call to the host's unixODBC (libodbc.so.2),
# which reads ODBCSYSINI/ODBCINI from the environment (scripts/odbc-env.sh), so
# the Windows process reaches the same JovSqlite as the Linux tests. Wine takes
# its ANSI code page from the locale: under ja_JP.UTF-8 it is 932.
#
# The Wine prefix is made afresh in a temporary folder and removed on the way
# out, with its wineserver stopped. Runs as root to install what is missing.
#
# Environment: JOV_WIN_BUILD_DIR (default <repo>/build-win), JOV_BUILD_TYPE
# (Release), the variables of odbc-env.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_WIN_BUILD_DIR:-$root/build-win}
objdump=x86_64-w64-mingw32-objdump
native_prefix=Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBC
extras_prefix=Java_jov_jdbc_odbc_JovOdbcExtras_

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

install_missing() {
    bash "$root/scripts/install-deps.sh"
    local packages=(g++-mingw-w64-x86-64-posix wine64 locales) missing=() p
    for p in "${packages[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    if [[ $(id -u) -ne 0 ]]; then
        echo "missing packages (run as root to install): ${missing[*]}" >&2
        return 1
    fi
    echo "installing: ${missing[*]}"
    local log
    log=$(mktemp)
    if ! { apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
}

ensure_japanese_locale() {
    locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
}

build_windows() {
    cmake --no-warn-unused-cli -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE="${JOV_BUILD_TYPE:-Release}" >/dev/null
    cmake --build "$build" -j2
}

# The DLL exports the 29 natives declared in jni/natives.h and the 5 of
# jni/extras_natives.h, and nothing else, each by name (no ordinal-only
# entries).
check_exports() {
    local dll=$build/JovJdbcOdbc.dll dump expected actual addresses
    dump=$("$objdump" -p "$dll")
    expected=$({ grep -o "${native_prefix}[A-Za-z]*" "$root/jni/natives.h"
        grep -o "${extras_prefix}[A-Za-z]*" "$root/jni/extras_natives.h"; } | sort)
    actual=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
        sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
    addresses=$(sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-f]*\)$/\1/p' <<<"$dump" | head -n 1)
    echo "exports of $dll ($((16#${addresses:-0})) addresses, $(wc -l <<<"$actual") names):"
    sed 's/^/    /' <<<"$actual"
    if [[ $actual != "$expected" || $((16#${addresses:-0})) -ne 34 ]]; then
        echo "export table differs from the 29 + 5 natives:" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        return 1
    fi
    echo "exports: the 29 natives, the 5 of JovOdbcExtras and nothing else"
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

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

prefix_dir=""
remove_prefix() {
    if [[ -n $prefix_dir ]]; then
        WINEPREFIX=$prefix_dir/wine "$wineserver" -k 2>/dev/null || true
        rm -rf "$prefix_dir"
    fi
}
trap remove_prefix EXIT

step "install"
install_missing
ensure_japanese_locale
step "build (mingw-w64)"
build_windows
step "export and import checks"
check_exports
check_imports "$build/JovJdbcOdbc.dll" KERNEL32.dll msvcrt.dll ODBC32.dll
check_imports "$build/wine_test.exe" KERNEL32.dll msvcrt.dll

# shellcheck source=odbc-env.sh
. "$root/scripts/odbc-env.sh"
prefix_dir=$(mktemp -d)
export WINEPREFIX=$prefix_dir/wine
export WINEDEBUG=-all
# No Mono or Gecko: the prefix needs neither, and asking for them would stall.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
unset DISPLAY WAYLAND_DISPLAY

step "wine prefix (wineboot)"
timeout 300 "$wine" wineboot --init >/dev/null 2>&1
step "wine_test.exe under Wine"
status=0
# LoadLibrary finds the DLL in the program's own folder.
(cd "$build" && timeout 300 "$wine" wine_test.exe) || status=$?
step ""
exit "$status"
