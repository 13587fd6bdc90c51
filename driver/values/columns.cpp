#include "driver/values/columns.h"

#include "driver/handles/diagnostics.h"

namespace jov::driver::values {

namespace {

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// A field the driver does not have (sqliteodbc: SQL_DESC_CASE_SENSITIVE)
// is unknown, not a failure: the call's records go and it answers success.
// Records kept before the call stay.
template <typename Call>
SQLRETURN Optional(Call call) {
    std::vector<Diagnostic> before = handles::TakeDiagnostics();
    const SQLRETURN rc = call();
    std::vector<Diagnostic> added = handles::TakeDiagnostics();
    bool unsupported = !Ok(rc) && !added.empty();
    for (const auto& r : added) unsupported = unsupported && (r.state == "HY091" || r.state == "HYC00");
    for (auto& r : before) handles::KeepOwn(std::move(r));
    if (unsupported) return SQL_SUCCESS;
    for (auto& r : added) handles::KeepOwn(std::move(r));
    return rc;
}

// Keeps the worse of two answers: an error over a warning over success.
SQLRETURN Worse(SQLRETURN a, SQLRETURN b) {
    if (!Ok(a)) return a;
    if (!Ok(b)) return b;
    return a == SQL_SUCCESS_WITH_INFO ? a : b;
}

SQLRETURN Describe(handles::Statement& s, SQLUSMALLINT column, ColumnDescription* d) {
    SQLRETURN rc = s.DescribeColumn(column, &d->shape);
    const struct {
        SQLUSMALLINT field;
        Utf16* value;
    } texts[] = {{SQL_DESC_LABEL, &d->label},
                 {SQL_DESC_TABLE_NAME, &d->table},
                 {SQL_DESC_SCHEMA_NAME, &d->schema},
                 {SQL_DESC_CATALOG_NAME, &d->catalog},
                 {SQL_DESC_TYPE_NAME, &d->typeName}};
    for (const auto& t : texts) {
        if (Ok(rc)) rc = Worse(rc, Optional([&] { return s.ColumnText(column, t.field, t.value); }));
    }
    SQLLEN number = 0;
    const struct {
        SQLUSMALLINT field;
        SQLLEN* value;
    } numbers[] = {{SQL_DESC_DISPLAY_SIZE, &d->displaySize}, {SQL_DESC_UNSIGNED, &number}};
    for (const auto& n : numbers) {
        if (Ok(rc)) rc = Worse(rc, Optional([&] { return s.ColumnNumber(column, n.field, n.value); }));
    }
    d->isUnsigned = number == SQL_TRUE;
    const struct {
        SQLUSMALLINT field;
        bool* value;
    } flags[] = {{SQL_DESC_AUTO_UNIQUE_VALUE, &d->autoIncrement},
                 {SQL_DESC_CASE_SENSITIVE, &d->caseSensitive}};
    for (const auto& f : flags) {
        number = 0;
        if (Ok(rc)) rc = Worse(rc, Optional([&] { return s.ColumnNumber(column, f.field, &number); }));
        *f.value = number == SQL_TRUE;
    }
    return rc;
}

}  // namespace

SQLRETURN DescribeColumns(handles::Statement& statement, std::vector<ColumnDescription>* columns) {
    columns->clear();
    SQLSMALLINT count = 0;
    SQLRETURN rc = statement.NumResultCols(&count);
    for (SQLSMALLINT column = 1; Ok(rc) && column <= count; ++column) {
        ColumnDescription d;
        rc = Worse(rc, Describe(statement, static_cast<SQLUSMALLINT>(column), &d));
        columns->push_back(std::move(d));
    }
    return rc;
}

bool SameShapes(handles::Statement& statement, const std::vector<text::ColumnShape>& known,
                SQLSMALLINT count) {
    if (count < 0 || static_cast<size_t>(count) != known.size()) return false;
    for (SQLSMALLINT column = 1; column <= count; ++column) {
        text::ColumnShape now;
        if (!Ok(statement.DescribeColumn(static_cast<SQLUSMALLINT>(column), &now))) {
            handles::TakeDiagnostics();
            return false;
        }
        const text::ColumnShape& was = known[static_cast<size_t>(column - 1)];
        if (now.name != was.name || now.sqlType != was.sqlType || now.size != was.size ||
            now.digits != was.digits) {
            return false;
        }
    }
    return true;
}

}  // namespace jov::driver::values
