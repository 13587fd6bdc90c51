#!/usr/bin/env bash
# check-stdcall.sh DEF: checks the argument sizes of the 32-bit DLL's natives.
#
# On 32-bit Windows a JNI native is __stdcall: the callee pops its arguments,
# so a native whose C++ parameters differ in size from its Java declaration
# corrupts the JVM's stack, and only there. The DLL exports plain names
# (--kill-at), which hides the size; DEF is the .def the linker wrote before
# that, where each native is still name@N. N must be 8 (the JNIEnv pointer and
# the class) plus 8 per long or double and 4 per any other parameter (int,
# short, byte, boolean, char, float, an object or an array), for every native
# declared in JOVODBCDLL.java and driver/odbc/OdbcNatives.java (a declaration
# may span lines),
# and the DLL must have no other export.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
def=$1

# The natives as Java declares them: symbol@N, one a line, sorted.
expected() {
    local class file line name params size param
    for class in JOVODBCDLL driver/odbc/OdbcNatives; do
        file=$root/java/jov/jdbc/odbc/$class.java
        while IFS= read -r line; do
            name=$(sed 's/.* \([A-Za-z0-9]*\)(.*/\1/' <<<"$line")
            params=$(sed 's/.*(\(.*\)).*/\1/' <<<"$line")
            size=8
            if [[ -n $params ]]; then
                while IFS= read -r param; do
                    case $(awk '{print $1}' <<<"$param") in
                        long | double) size=$((size + 8)) ;;
                        *) size=$((size + 4)) ;;
                    esac
                done < <(tr ',' '\n' <<<"$params")
            fi
            echo "Java_jov_jdbc_odbc_${class//\//_}_${name}@$size"
        done < <(tr '\n' ' ' <"$file" | grep -o 'public static native [^;]*;')
    done | sort
}

# The linker writes each export as "plain = decorated@N @ordinal".
actual=$(sed -n 's/^[[:space:]]*[A-Za-z0-9_]* = \([A-Za-z0-9_]*@[0-9]*\).*/\1/p' "$def" | sort)
want=$(expected)
if [[ $actual != "$want" ]]; then
    echo "argument sizes of $def differ from the Java declarations (< Java, > DLL):" >&2
    diff <(echo "$want") <(echo "$actual") >&2 || true
    exit 1
fi
echo "argument sizes: the $(wc -l <<<"$want") natives of $(basename "$def") match their Java declarations"
