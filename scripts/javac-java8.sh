# shellcheck shell=bash
# shellcheck disable=SC2034 # its variable is for the scripts that source it
# Sourced: how the shipped classes (java/) are compiled, by compile-java.sh
# and build-jar.sh alike. --release 8 checks the Java 8 API as well as
# writing class files of Java 8 (major version 52), so that the jar loads on
# every JVM from 8 on. -Xlint:-options: javac 21 and later warn that release 8
# is obsolete, on every run, which -Werror would turn into a failed build;
# that lint says nothing about the code.
JAVAC_JAVA8=(-encoding UTF-8 --release 8 -Xlint:all,-options -Werror)
