// The natives of jov.jdbc.odbc.JovOdbcExtras, the only functions the library
// exports beside the 29 of natives.h: the calling thread's own last failure
// (with the ODBC driver's diagnostic and native error behind it),
// an update with its row count, fixed-width numbers without objects, SQL run
// as the driver reports it, and the timeouts and cancelling that keep a
// silent server from hanging callers. The
// same conventions: no Java exception is thrown or checked for, failures are
// result values with the reason in the last-error record (and the thread's
// own), the class reference is never used.
#pragma once

#include "jni.h"

extern "C" {

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorString(JNIEnv* env, jclass cls);
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorCode(JNIEnv* env, jclass cls);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorNativeCode(JNIEnv* env, jclass cls);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_execSQLUpdateRowCount(JNIEnv* env, jclass cls, jint id, jstring sql, jlongArray rowCount);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_getColumnLong(JNIEnv* env, jclass cls, jint id, jint cursor, jint column, jlongArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_getColumnDouble(JNIEnv* env, jclass cls, jint id, jint cursor, jint column, jdoubleArray value);

// SQL run as the driver reports it.
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_execSQL(JNIEnv* env, jclass cls, jint id, jstring sql, jlongArray rowCount);

// Timeouts and cancelling.
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_openWithLoginTimeout(JNIEnv* env, jclass cls, jstring dataSource, jstring user, jstring password, jint seconds);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_setQueryTimeout(JNIEnv* env, jclass cls, jint id, jint seconds);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_setConnectionTimeout(JNIEnv* env, jclass cls, jint id, jint seconds);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_cancel(JNIEnv* env, jclass cls, jint id);

}  // extern "C"
