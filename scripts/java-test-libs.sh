# shellcheck shell=bash
# shellcheck disable=SC2034 # its variables are for the scripts that source it
# Sourced: the test-only Java libraries, all from Debian packages
# (scripts/install-deps.sh): JUnit, and the real JDBC clients the integration
# tests drive the driver through (jov.jdbc.odbc.clients). None of them is part
# of the driver's jar.
#
#   JOV_TEST_COMPILE_CLASSPATH  what the tests are compiled against
#   JOV_TEST_CLASSPATH          that and what the clients need at run time:
#                               slf4j (HikariCP's logging, silenced by nop),
#                               commons-logging (DBCP2, Spring), jline (sqlline).
#                               commons-logging's manifest names optional jars
#                               that are not installed, which javac's lint
#                               would report; it is needed at run time only.
#
#   junit5                 junit-platform-console-standalone
#   derby-tools            derbytools (ij; its messages inside)
#   libhikaricp-java       HikariCP
#   libcommons-dbcp2-java  commons-dbcp2, commons-pool2
#   libspring-jdbc-java    Spring 4.3: spring3-jdbc, -transaction, -beans, -core
#   sqlline                sqlline
_jov_jars() { local jar out=""; for jar in "$@"; do out+=/usr/share/java/$jar.jar:; done; printf %s "${out%:}"; }
JOV_TEST_COMPILE_CLASSPATH=$(_jov_jars junit-platform-console-standalone derbytools HikariCP \
    commons-dbcp2 commons-pool2 spring3-jdbc spring3-transaction spring3-beans spring3-core sqlline)
JOV_TEST_CLASSPATH=$JOV_TEST_COMPILE_CLASSPATH:$(_jov_jars slf4j-api slf4j-nop commons-logging jline)
unset -f _jov_jars
