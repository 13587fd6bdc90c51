// The natives of jov.jdbc.odbc.driver.odbc.OdbcNatives (see its class comment
// for what each answers). Thin: each clears the calling thread's records,
// checks its arguments, finds its objects by token and hands over to the
// layers below. None throws a Java exception or uses the class reference.
#pragma once

#include "jni.h"

extern "C" {

JNIEXPORT jobjectArray JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_takeDiagnostics(JNIEnv* env, jclass cls);
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_dataSourceSetting(JNIEnv* env, jclass cls, jstring dataSource, jstring key);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_connect(JNIEnv* env, jclass cls, jstring connectionString, jint charset, jint loginTimeout, jlongArray connection);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_disconnect(JNIEnv* env, jclass cls, jlong connection);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_setConnectionAttribute(JNIEnv* env, jclass cls, jlong connection, jint attribute, jlong value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getConnectionAttribute(JNIEnv* env, jclass cls, jlong connection, jint attribute, jlongArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_endTransaction(JNIEnv* env, jclass cls, jlong connection, jboolean commit);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getInfoString(JNIEnv* env, jclass cls, jlong connection, jint infoType, jobjectArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getInfoInteger(JNIEnv* env, jclass cls, jlong connection, jint infoType, jint width, jlongArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_allocStatement(JNIEnv* env, jclass cls, jlong connection, jlongArray statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_freeStatement(JNIEnv* env, jclass cls, jlong statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_setStatementAttribute(JNIEnv* env, jclass cls, jlong statement, jint attribute, jlong value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_prepare(JNIEnv* env, jclass cls, jlong statement, jstring sql);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_execDirect(JNIEnv* env, jclass cls, jlong statement, jstring sql);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_execute(JNIEnv* env, jclass cls, jlong statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_cancel(JNIEnv* env, jclass cls, jlong statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_numResultCols(JNIEnv* env, jclass cls, jlong statement, jintArray count);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_rowCount(JNIEnv* env, jclass cls, jlong statement, jlongArray count);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_moreResults(JNIEnv* env, jclass cls, jlong statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_closeCursor(JNIEnv* env, jclass cls, jlong statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_resetParameters(JNIEnv* env, jclass cls, jlong statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_numParams(JNIEnv* env, jclass cls, jlong statement, jintArray count);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_describeParam(JNIEnv* env, jclass cls, jlong statement, jint parameter, jlongArray shape);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_describeColumns(JNIEnv* env, jclass cls, jlong statement, jobjectArray columns);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_fetch(JNIEnv* env, jclass cls, jlong statement);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_fetchScroll(JNIEnv* env, jclass cls, jlong statement, jint orientation, jlong offset);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getText(JNIEnv* env, jclass cls, jlong statement, jint column, jobjectArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getBytes(JNIEnv* env, jclass cls, jlong statement, jint column, jobjectArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getLong(JNIEnv* env, jclass cls, jlong statement, jint column, jlongArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getDouble(JNIEnv* env, jclass cls, jlong statement, jint column, jdoubleArray value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBlock(JNIEnv* env, jclass cls, jlong statement, jint rows, jintArray plan, jintArray answer);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_fetchBlock(JNIEnv* env, jclass cls, jlong statement, jint orientation, jlong offset, jbyteArray data, jintArray lengths, jintArray fetched);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_position(JNIEnv* env, jclass cls, jlong statement, jint row);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindNull(JNIEnv* env, jclass cls, jlong statement, jint parameter, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindLong(JNIEnv* env, jclass cls, jlong statement, jint parameter, jlong value, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDouble(JNIEnv* env, jclass cls, jlong statement, jint parameter, jdouble value, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBoolean(JNIEnv* env, jclass cls, jlong statement, jint parameter, jboolean value);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindString(JNIEnv* env, jclass cls, jlong statement, jint parameter, jstring value, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBytes(JNIEnv* env, jclass cls, jlong statement, jint parameter, jbyteArray value, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDecimal(JNIEnv* env, jclass cls, jlong statement, jint parameter, jstring digits, jint precision, jint scale);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDate(JNIEnv* env, jclass cls, jlong statement, jint parameter, jint year, jint month, jint day);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindTime(JNIEnv* env, jclass cls, jlong statement, jint parameter, jint hour, jint minute, jint second);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindTimestamp(JNIEnv* env, jclass cls, jlong statement, jint parameter, jint year, jint month, jint day, jint hour, jint minute, jint second, jint nanos, jint fractionDigits);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindStream(JNIEnv* env, jclass cls, jlong statement, jint parameter, jboolean binary, jlong length, jlong units);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_paramData(JNIEnv* env, jclass cls, jlong statement, jintArray parameter);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_putString(JNIEnv* env, jclass cls, jlong statement, jstring piece);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_putBytes(JNIEnv* env, jclass cls, jlong statement, jbyteArray piece, jint length);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindLongArray(JNIEnv* env, jclass cls, jlong statement, jint parameter, jlongArray values, jbooleanArray nulls, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDoubleArray(JNIEnv* env, jclass cls, jlong statement, jint parameter, jdoubleArray values, jbooleanArray nulls, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindStringArray(JNIEnv* env, jclass cls, jlong statement, jint parameter, jobjectArray values, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBytesArray(JNIEnv* env, jclass cls, jlong statement, jint parameter, jobjectArray values, jint sqlType);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_executeArray(JNIEnv* env, jclass cls, jlong statement, jint rows, jlongArray counts, jintArray statuses);
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_catalog(JNIEnv* env, jclass cls, jlong statement, jint function, jobjectArray names, jintArray numbers);

}  // extern "C"
