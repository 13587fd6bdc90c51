// The catalogue functions, narrow or wide as the codec chooses.
#include "driver/text/odbc_text.h"

namespace jov::driver::text {

namespace {

constexpr CatalogArity kArities[] = {
    {4, 0},  // SQLTables: catalog, schema, table, table types
    {4, 0},  // SQLColumns: catalog, schema, table, column
    {3, 0},  // SQLPrimaryKeys
    {6, 0},  // SQLForeignKeys: the key's table, then the referring table
    {3, 2},  // SQLStatistics: catalog, schema, table; unique, reserved
    {0, 1},  // SQLGetTypeInfo: data type
    {3, 0},  // SQLProcedures
    {4, 0},  // SQLProcedureColumns
    {3, 0},  // SQLTablePrivileges
    {4, 0},  // SQLColumnPrivileges
    {3, 3},  // SQLSpecialColumns: catalog, schema, table; identifier type, scope, nullable
};
static_assert(sizeof kArities / sizeof kArities[0] == static_cast<size_t>(CatalogFunction::kCount),
              "one arity per catalogue function");

// One name as a call takes it: the encoded text and its length in units, or
// a NULL pointer and 0.
template <typename Char>
struct Name {
    Char* text;
    SQLSMALLINT length;
};

template <typename Char>
std::vector<Name<Char>> Names(const CatalogCall& call) {
    std::vector<Name<Char>> names;
    for (const auto& name : call.names) {
        if (!name) {
            names.push_back({nullptr, 0});
            continue;
        }
        // An empty name must still be a pointer: empty and NULL differ.
        Char* text = reinterpret_cast<Char*>(const_cast<char*>(name->c_str()));
        names.push_back({text, static_cast<SQLSMALLINT>(name->size() / sizeof(Char))});
    }
    return names;
}

struct NarrowCalls {
    using Char = SQLCHAR;
    static constexpr auto Tables = &SQLTables;
    static constexpr auto Columns = &SQLColumns;
    static constexpr auto PrimaryKeys = &SQLPrimaryKeys;
    static constexpr auto ForeignKeys = &SQLForeignKeys;
    static constexpr auto Statistics = &SQLStatistics;
    static constexpr auto TypeInfo = &SQLGetTypeInfo;
    static constexpr auto Procedures = &SQLProcedures;
    static constexpr auto ProcedureColumns = &SQLProcedureColumns;
    static constexpr auto TablePrivileges = &SQLTablePrivileges;
    static constexpr auto ColumnPrivileges = &SQLColumnPrivileges;
    static constexpr auto SpecialColumns = &SQLSpecialColumns;
};

#ifdef _WIN32
struct WideCalls {
    using Char = SQLWCHAR;
    static constexpr auto Tables = &SQLTablesW;
    static constexpr auto Columns = &SQLColumnsW;
    static constexpr auto PrimaryKeys = &SQLPrimaryKeysW;
    static constexpr auto ForeignKeys = &SQLForeignKeysW;
    static constexpr auto Statistics = &SQLStatisticsW;
    static constexpr auto TypeInfo = &SQLGetTypeInfoW;
    static constexpr auto Procedures = &SQLProceduresW;
    static constexpr auto ProcedureColumns = &SQLProcedureColumnsW;
    static constexpr auto TablePrivileges = &SQLTablePrivilegesW;
    static constexpr auto ColumnPrivileges = &SQLColumnPrivilegesW;
    static constexpr auto SpecialColumns = &SQLSpecialColumnsW;
};
#endif

template <typename Api>
SQLRETURN Run(SQLHSTMT s, const CatalogCall& call) {
    const auto n = Names<typename Api::Char>(call);
    const auto& k = call.numbers;
    switch (call.function) {
        case CatalogFunction::kTables:
            return Api::Tables(s, n[0].text, n[0].length, n[1].text, n[1].length, n[2].text,
                               n[2].length, n[3].text, n[3].length);
        case CatalogFunction::kColumns:
            return Api::Columns(s, n[0].text, n[0].length, n[1].text, n[1].length, n[2].text,
                                n[2].length, n[3].text, n[3].length);
        case CatalogFunction::kPrimaryKeys:
            return Api::PrimaryKeys(s, n[0].text, n[0].length, n[1].text, n[1].length, n[2].text,
                                    n[2].length);
        case CatalogFunction::kForeignKeys:
            return Api::ForeignKeys(s, n[0].text, n[0].length, n[1].text, n[1].length, n[2].text,
                                    n[2].length, n[3].text, n[3].length, n[4].text, n[4].length,
                                    n[5].text, n[5].length);
        case CatalogFunction::kStatistics:
            return Api::Statistics(s, n[0].text, n[0].length, n[1].text, n[1].length, n[2].text,
                                   n[2].length, k[0], k[1]);
        case CatalogFunction::kTypeInfo:
            return Api::TypeInfo(s, static_cast<SQLSMALLINT>(k[0]));
        case CatalogFunction::kProcedures:
            return Api::Procedures(s, n[0].text, n[0].length, n[1].text, n[1].length, n[2].text,
                                   n[2].length);
        case CatalogFunction::kProcedureColumns:
            return Api::ProcedureColumns(s, n[0].text, n[0].length, n[1].text, n[1].length,
                                         n[2].text, n[2].length, n[3].text, n[3].length);
        case CatalogFunction::kTablePrivileges:
            return Api::TablePrivileges(s, n[0].text, n[0].length, n[1].text, n[1].length,
                                        n[2].text, n[2].length);
        case CatalogFunction::kColumnPrivileges:
            return Api::ColumnPrivileges(s, n[0].text, n[0].length, n[1].text, n[1].length,
                                         n[2].text, n[2].length, n[3].text, n[3].length);
        case CatalogFunction::kSpecialColumns:
            return Api::SpecialColumns(s, k[0], n[0].text, n[0].length, n[1].text, n[1].length,
                                       n[2].text, n[2].length, k[1], k[2]);
        case CatalogFunction::kCount: break;
    }
    return SQL_ERROR;
}

}  // namespace

CatalogArity ArityOf(CatalogFunction function) {
    return kArities[static_cast<size_t>(function)];
}

SQLRETURN Codec::Catalog(SQLHSTMT stmt, const CatalogCall& call) const {
#ifdef _WIN32
    if (Wide()) return Run<WideCalls>(stmt, call);
#endif
    return Run<NarrowCalls>(stmt, call);
}

}  // namespace jov::driver::text
