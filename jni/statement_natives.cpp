// Natives that run SQL, open and close cursors and fetch rows.
#include <cstdint>

#include "jni/natives.h"
#include "jni/sql_text.h"
#include "table/DataSourceTable.h"

using jov::SqlText;
using jov::TheDataSourceTable;

namespace {

constexpr char kMsgSqlNotEnoughMemory[] = "(JNIODBCexecSQLQuery)Not Enough Memory";

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(JNIEnv* env, jclass,
                                                                        jint id, jstring sql) {
    SqlText text(env, sql, 1);
    if (text.get() == nullptr) {
        TheDataSourceTable().SetError(kMsgSqlNotEnoughMemory, "");
        return -1;
    }
    int32_t cursor = 0;
    int32_t result = TheDataSourceTable().ExecSQLQuery(id, text.get(), &cursor);
    return result < 0 ? result : cursor;
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLUpdate(JNIEnv* env, jclass,
                                                                         jint id, jstring sql) {
    SqlText text(env, sql, 0);
    if (text.get() == nullptr) {
        TheDataSourceTable().SetError(kMsgSqlNotEnoughMemory, "");
        return -1;
    }
    return TheDataSourceTable().ExecSQLUpdate(id, text.get());
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetCursorHandle(JNIEnv*, jclass,
                                                                           jint id) {
    return TheDataSourceTable().GetCursorHandle(id);
}

JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcloseCursor(JNIEnv*, jclass, jint id,
                                                                       jint cursor) {
    TheDataSourceTable().CloseCursor(id, cursor);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNum(JNIEnv*, jclass, jint id,
                                                                        jint cursor) {
    return TheDataSourceTable().GetColumnNum(id, cursor);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(JNIEnv*, jclass, jint id,
                                                                 jint cursor) {
    return TheDataSourceTable().Fetch(id, cursor);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetchScroll(JNIEnv*, jclass, jint id,
                                                                       jint cursor,
                                                                       jint orientation,
                                                                       jint offset) {
    return TheDataSourceTable().FetchScroll(id, cursor, orientation, offset);
}

}  // extern "C"
