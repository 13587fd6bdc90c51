#!/usr/bin/env bash
# Tests the Debian package: builds it with CPack from the build folder,
# installs it, connects to JovSqlite through DriverManager from a JVM whose
# class path is nothing but /usr/share/java/jovjdbcodbc.jar and which is told
# nothing about the library (the installed one on java.library.path must
# win, so the jar extracts nothing), and removes the package again however
# the test ends. Also checks that "cmake --install" lays out the same files
# under another prefix. Runs as root, after scripts/build.sh.
#
# Environment: JOV_BUILD_DIR (default <repo>/build), the variables of
# odbc-env.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=odbc-env.sh
. "$root/scripts/odbc-env.sh"
build=$JOV_BUILD_DIR
version=$(bash "$root/scripts/version.sh")
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
work=$(mktemp -d)
installed=0
finish() {
    if [[ $installed -eq 1 ]]; then
        apt-get -o DPkg::Lock::Timeout=300 remove -y -qq jovjdbcodbc >/dev/null
    fi
    rm -rf "$work"
}
trap finish EXIT

expected="lib/$triplet/jni/libJovJdbcOdbc.so
share/java/jovjdbcodbc-$version.jar
share/java/jovjdbcodbc.jar"

cmake --install "$build" --prefix "$work/prefix" >/dev/null
actual=$(cd "$work/prefix" && find . ! -type d | sed 's|^\./||' | sort)
[[ $actual == "$expected" ]] || { echo "cmake --install laid out:" >&2; echo "$actual" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/jovjdbcodbc_"$version"_*.deb)
echo "package $(basename "$deb"): depends on $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q 'libodbc2' || { echo "no dependency on libodbc2" >&2; exit 1; }
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)
[[ $actual == "$expected" ]] || { echo "the package holds:" >&2; echo "$actual" >&2; exit 1; }

# apt-get waits for a dpkg lock another process holds; a local file needs no download.
apt-get -o DPkg::Lock::Timeout=300 install -y -qq "$deb" >/dev/null
installed=1
cat >"$work/Smoke.java" <<'JAVA'
import java.sql.*;
public class Smoke {
    public static void main(String[] args) throws Exception {
        try (Connection c = DriverManager.getConnection("jdbc:jov:odbc:JovSqlite");
                Statement s = c.createStatement();
                ResultSet rs = s.executeQuery("SELECT 20 + 22, '日本語'")) {
            rs.next();
            System.out.println(c.getMetaData().getDriverName() + " " + rs.getInt(1) + " " + rs.getString(2));
        }
    }
}
JAVA
mkdir "$work/tmp"
output=$(java -Dfile.encoding=UTF-8 -Djov.jdbc.odbc.tempdir="$work/tmp" \
    -cp /usr/share/java/jovjdbcodbc.jar "$work/Smoke.java")
echo "smoke: $output"
[[ $output == "JovJdbcOdbc 42 日本語" ]] || exit 1
if [[ -n $(ls -A "$work/tmp") ]]; then
    echo "the jar extracted its library although the package installed one" >&2
    exit 1
fi
echo "test-package.sh: the package installs, connects and is removed"
