#!/usr/bin/env bash
# Prints the driver's version, major.minor, as DriverInfo declares it: the one
# place it is kept, read by the jar's manifest and name and by the package.
set -euo pipefail
info=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/java/jov/jdbc/odbc/driver/DriverInfo.java
major=$(sed -n 's/.*static final int MAJOR_VERSION = \([0-9]*\);.*/\1/p' "$info")
minor=$(sed -n 's/.*static final int MINOR_VERSION = \([0-9]*\);.*/\1/p' "$info")
echo "$major.$minor"
