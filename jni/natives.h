// The 29 native methods of jov.jdbc.odbc.JOVODBCDLL, the library's whole
// exported interface. Each converts its Java arguments, calls one operation of
// the data source table and converts the result. None throws or checks for a
// Java exception: failures are result values (-1, 0, null, "", an empty array)
// with the reason in the table's last-error record. The class reference is
// never used, so the Java methods may be static or instance methods.
#pragma once

#include "jni.h"

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCopen(JNIEnv* env, jclass cls, jstring dataSource, jstring user, jstring password);
JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCclose(JNIEnv* env, jclass cls, jint id);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisOpenOk(JNIEnv* env, jclass cls, jint id);
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetOpenDataSource(JNIEnv* env, jclass cls, jint id);
JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCsetAutoCommit(JNIEnv* env, jclass cls, jint id, jint autoCommit);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetAutoCommit(JNIEnv* env, jclass cls, jint id);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcommitTran(JNIEnv* env, jclass cls, jint id);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCrollbackTran(JNIEnv* env, jclass cls, jint id);
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorString(JNIEnv* env, jclass cls);
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorCode(JNIEnv* env, jclass cls);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(JNIEnv* env, jclass cls, jint id, jstring sql);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLUpdate(JNIEnv* env, jclass cls, jint id, jstring sql);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetCursorHandle(JNIEnv* env, jclass cls, jint id);
JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcloseCursor(JNIEnv* env, jclass cls, jint id, jint cursor);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNum(JNIEnv* env, jclass cls, jint id, jint cursor);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(JNIEnv* env, jclass cls, jint id, jint cursor);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetchScroll(JNIEnv* env, jclass cls, jint id, jint cursor, jint orientation, jint offset);
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnName(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jshort JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnType(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jlong JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnOctetLength(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jlong JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnFetchDataLength(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jshort JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNumericPrecision(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jshort JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNumericScale(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNoFromName(JNIEnv* env, jclass cls, jint id, jint cursor, jstring name);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisColumnDataNull(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jbyteArray JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataBinary(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataString(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT jlong JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataTimet(JNIEnv* env, jclass cls, jint id, jint cursor, jint column);
JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCsetDateStyle(JNIEnv* env, jclass cls, jint id, jshort style);

}  // extern "C"
