// The natives that fetch a result in blocks of rows: bind, fetch a block
// into Java's arrays in one call, position on a row for SQLGetData.
#include <string>
#include <vector>

#include "driver/jni/java_values.h"
#include "driver/jni/natives.h"
#include "driver/rows/row_block.h"

using jov::driver::StatementState;
namespace jni = jov::driver::jni;
namespace rows = jov::driver::rows;

namespace {

// bindBlock's plan: (BOUND_*, width) per column.
constexpr jsize kPlanFields = 2;
// bindBlock's answer: rows granted, bytes of a text unit, bytes of the data.
constexpr jsize kBlockFields = 3;

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

std::vector<rows::ColumnPlan> PlanOf(JNIEnv* env, jintArray plan) {
    const jsize n = env->GetArrayLength(plan) / kPlanFields;
    std::vector<jint> fields(static_cast<size_t>(n) * kPlanFields);
    env->GetIntArrayRegion(plan, 0, n * kPlanFields, fields.data());
    std::vector<rows::ColumnPlan> columns(static_cast<size_t>(n));
    for (size_t i = 0; i < columns.size(); ++i) {
        const jint as = fields[i * kPlanFields];
        columns[i].as = as >= 0 && as <= static_cast<jint>(rows::BoundAs::kBinary)
                            ? static_cast<rows::BoundAs>(as)
                            : rows::BoundAs::kNone;
        columns[i].width = fields[i * kPlanFields + 1];
    }
    return columns;
}

// Whether data and lengths hold the block as bound; a record otherwise.
bool Fits(JNIEnv* env, const rows::RowBlock& block, jbyteArray data, jintArray lengths) {
    return jni::HasRoom(env, data, "data", static_cast<jsize>(block.DataBytes())) &&
           jni::HasRoom(env, lengths, "lengths",
                        static_cast<jsize>(block.BoundColumns() * block.rows()));
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBlock(
    JNIEnv* env, jclass, jlong statement, jint rowCount, jintArray plan, jintArray answer) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, plan, "plan", 0) || !jni::HasRoom(env, answer, "answer", kBlockFields)) {
            return SQL_ERROR;
        }
        SQLULEN granted = 1;
        const SQLRETURN rc = s.block.Bind(s.statement, rowCount > 1 ? static_cast<SQLULEN>(rowCount) : 1,
                                          PlanOf(env, plan), &granted);
        const jint fields[kBlockFields] = {static_cast<jint>(granted),
                                           static_cast<jint>(s.statement.codec().UnitBytes()),
                                           static_cast<jint>(s.block.DataBytes())};
        env->SetIntArrayRegion(answer, 0, kBlockFields, fields);
        return rc;
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_fetchBlock(
    JNIEnv* env, jclass, jlong statement, jint orientation, jlong offset, jbyteArray data,
    jintArray lengths, jintArray fetched) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, fetched, "fetched") || !Fits(env, s.block, data, lengths)) {
            return SQL_ERROR;
        }
        SQLULEN rows = 0;
        const SQLRETURN rc = s.block.Fetch(s.statement, static_cast<SQLSMALLINT>(orientation),
                                           static_cast<SQLLEN>(offset), &rows);
        jni::SetInt(env, fetched, static_cast<int32_t>(rows));
        if (!Ok(rc) || rows == 0) return rc;
        auto* bytes = static_cast<char*>(env->GetPrimitiveArrayCritical(data, nullptr));
        // jint is 32 bits everywhere, though a long on Windows and an int on Linux.
        static_assert(sizeof(jint) == sizeof(int32_t));
        auto* sizes = static_cast<int32_t*>(env->GetPrimitiveArrayCritical(lengths, nullptr));
        if (bytes != nullptr && sizes != nullptr) s.block.CopyOut(bytes, sizes);
        if (sizes != nullptr) env->ReleasePrimitiveArrayCritical(lengths, sizes, 0);
        if (bytes != nullptr) env->ReleasePrimitiveArrayCritical(data, bytes, 0);
        return bytes != nullptr && sizes != nullptr ? rc : SQL_ERROR;
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_position(JNIEnv*, jclass,
                                                                          jlong statement,
                                                                          jint row) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (row < 1 || static_cast<SQLULEN>(row) > s.block.rows()) {
            jov::driver::handles::KeepOwn(jov::driver::OwnDiagnostic(
                jov::driver::own::kNullArgument,
                "row " + std::to_string(row) + " is not in the block's 1.." + std::to_string(s.block.rows())));
            return SQL_ERROR;
        }
        return s.statement.Position(static_cast<SQLSETPOSIROW>(row));
    });
}

}  // extern "C"
