// End-to-end test of JovJdbcOdbc.dll as a Windows process sees it: the DLL is
// loaded with LoadLibrary from this program's own folder, its natives are found
// with GetProcAddress, and they are driven through a minimal JNIEnv against the
// data source JovSqlite (the SQLite ODBC driver). Under Wine the ODBC calls
// reach the host's unixODBC, which reads ODBCSYSINI/ODBCINI from the process
// environment.
//
// The process must run with the ANSI code page 932 (Windows-31J): Japanese
// values are written through the DLL and read back through it, and nothing
// between the DLL and SQLite converts them, so SQLite holds Windows-31J bytes.
//
// Prints one line per failed check, a summary of what passed through, and
// "N passed, N failed" last; exits 1 when anything failed.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "jni/natives.h"
#include "tests/fakes/fake_jni.h"
#include "tests/windows/wide_path.h"

namespace {

constexpr UINT kWindows31J = 932;
constexpr const char kLibraryFile[] = "JovJdbcOdbc.dll";
constexpr const char kNativePrefix[] = "Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBC";
constexpr const char16_t kDataSource[] = u"JovSqlite";
constexpr const char16_t kTable[] = u"wine_items";
constexpr jint kFetchFirst = 2;  // SQL_FETCH_FIRST

// The 29 natives by Java method name.
#define JOV_NATIVES(X)                                                                          \
    X(open) X(close) X(isOpenOk) X(getOpenDataSource) X(setAutoCommit) X(getAutoCommit)        \
    X(commitTran) X(rollbackTran) X(getErrorString) X(getErrorCode) X(execSQLQuery)             \
    X(execSQLUpdate) X(getCursorHandle) X(closeCursor) X(getColumnNum) X(fetch) X(fetchScroll)  \
    X(getColumnName) X(getColumnType) X(getColumnOctetLength) X(getColumnFetchDataLength)       \
    X(getColumnNumericPrecision) X(getColumnNumericScale) X(getColumnNoFromName)                \
    X(isColumnDataNull) X(getColumnDataBinary) X(getColumnDataString) X(getColumnDataTimet)     \
    X(setDateStyle)

// Typed pointers to the DLL's natives, each of the type its declaration has.
struct Natives {
#define JOV_NATIVE_POINTER(name) decltype(&Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBC##name) name = nullptr;
    JOV_NATIVES(JOV_NATIVE_POINTER)
#undef JOV_NATIVE_POINTER
};

template <typename Function>
Function Find(HMODULE dll, const std::string& name) {
    // Through void*: a FARPROC is a different function type.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name.c_str())));
}

// Fills every pointer; returns the names that were not found.
std::vector<std::string> FindNatives(HMODULE dll, Natives& natives) {
    std::vector<std::string> missing;
#define JOV_FIND_IN(prefix, name)                                              \
    natives.name = Find<decltype(natives.name)>(dll, std::string(prefix) + #name); \
    if (natives.name == nullptr) missing.push_back(#name);
#define JOV_FIND_NATIVE(name) JOV_FIND_IN(kNativePrefix, name)
    JOV_NATIVES(JOV_FIND_NATIVE)
#undef JOV_FIND_NATIVE
#undef JOV_FIND_IN
    return missing;
}

std::string Hex(const std::u16string& text) {
    std::string out;
    char unit[8];
    for (char16_t c : text) {
        std::snprintf(unit, sizeof unit, "%s%04X", out.empty() ? "" : " ", static_cast<unsigned>(c));
        out += unit;
    }
    return out;
}

std::string Hex(const std::vector<unsigned char>& bytes) {
    std::string out;
    char byte[4];
    for (unsigned char b : bytes) {
        std::snprintf(byte, sizeof byte, "%02X", b);
        out += byte;
    }
    return out;
}

// UTF-8 for the console (the host's terminal); nothing else uses it.
std::string Utf8(const std::u16string& text) {
    const auto* units = reinterpret_cast<const wchar_t*>(text.c_str());
    int size = WideCharToMultiByte(CP_UTF8, 0, units, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, units, -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::u16string Decimal(long long value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::vector<unsigned char> FromHex(const std::string& hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// One run of the checks: the loaded natives, the fake JNIEnv, the tally.
class Run {
public:
    Run(const Natives& natives, FakeJni& jni) : n_(natives), jni_(jni), env_(jni.env()) {}

    template <typename T, typename U>
    void Expect(const T& actual, const U& expected, const std::string& what) {
        if (actual == expected) {
            ++passed_;
            return;
        }
        ++failed_;
        std::printf("FAIL %s: got [%s], expected [%s]\n", what.c_str(), Show(actual).c_str(),
                    Show(expected).c_str());
    }

    // The checks, in the order main runs them.
    void CodePage();
    void FreshRecord();
    void BadIdentifier();
    void OpenAndCreate();
    void JapaneseBothWays();
    void QueryEveryRow();
    void UpdateAndNoData();
    void LongJapaneseValue();
    void CommitAndRollback();
    void BadSql();
    void CloseAll();

    int passed() const { return passed_; }
    int failed() const { return failed_; }

private:
    static std::string Show(const std::u16string& s) { return Utf8(s) + " | " + Hex(s); }
    static std::string Show(const char16_t* s) { return Show(std::u16string(s)); }
    static std::string Show(const std::vector<unsigned char>& b) { return Hex(b); }
    static std::string Show(long long v) { return std::to_string(v); }
    static std::string Show(bool v) { return v ? "true" : "false"; }
    static std::string Show(const std::vector<std::u16string>& rows) {
        std::string out;
        for (const std::u16string& row : rows) out += (out.empty() ? "" : ", ") + Show(row);
        return out;
    }

    std::u16string Text(jstring s) const { return s == nullptr ? u"(null)" : jni_.Text(s); }
    jstring J(const std::u16string& s) { return jni_.String(s); }
    std::u16string ErrorCode() { return Text(n_.getErrorCode(env_, nullptr)); }
    std::u16string ErrorString() { return Text(n_.getErrorString(env_, nullptr)); }
    std::u16string Record() { return ErrorCode() + u" " + ErrorString(); }

    jint Update(const std::u16string& sql) { return n_.execSQLUpdate(env_, nullptr, id_, J(sql)); }
    jint Query(const std::u16string& sql) { return n_.execSQLQuery(env_, nullptr, id_, J(sql)); }
    // The first column of every row of a query, as strings.
    std::vector<std::u16string> Column(const std::u16string& sql);
    std::u16string Cell(jint cursor, jint column) {
        return Text(n_.getColumnDataString(env_, nullptr, id_, cursor, column));
    }
    std::u16string Select(const std::u16string& what) {
        return u"SELECT " + what + u" FROM " + kTable;
    }

    const Natives& n_;
    FakeJni& jni_;
    JNIEnv* env_;
    jint id_ = -1;
    int passed_ = 0;
    int failed_ = 0;
};

std::vector<std::u16string> Run::Column(const std::u16string& sql) {
    std::vector<std::u16string> values;
    jint cursor = Query(sql);
    if (cursor < 1) {
        values.push_back(u"query failed: " + Record());
        return values;
    }
    while (n_.fetch(env_, nullptr, id_, cursor) == 1) values.push_back(Cell(cursor, 1));
    n_.closeCursor(env_, nullptr, id_, cursor);
    return values;
}

void Run::CodePage() {
    UINT acp = GetACP();
    std::printf("ANSI code page (GetACP): %u\n", acp);
    Expect(static_cast<long long>(acp), static_cast<long long>(kWindows31J), "GetACP");
}

void Run::FreshRecord() {
    Expect(ErrorString(), u"", "error string of a fresh process");
    Expect(ErrorCode(), u"", "error code of a fresh process");
}

void Run::BadIdentifier() {
    Expect(static_cast<long long>(n_.isOpenOk(env_, nullptr, 0)), 0LL, "isOpenOk(0)");
    Expect(ErrorCode(), u"JovJdbcOdbc-02", "code for identifier 0");
    Expect(ErrorString(), u"(JovJdbcOdbc)データベース識別子(0)は範囲外です",
           "message for identifier 0");
    Expect(static_cast<long long>(n_.commitTran(env_, nullptr, 513)), -1LL, "commitTran(513)");
    Expect(ErrorString(), u"(JovJdbcOdbc)データベース識別子(513)は範囲外です",
           "message for identifier 513");
}

void Run::OpenAndCreate() {
    id_ = n_.open(env_, nullptr, J(std::u16string(u"Wine:") + kDataSource), J(u""), J(u""));
    Expect(id_ >= 1, true, "open JovSqlite (" + Utf8(Record()) + ")");
    Expect(Text(n_.getOpenDataSource(env_, nullptr, id_)), kDataSource, "getOpenDataSource");
    Expect(static_cast<long long>(n_.getAutoCommit(env_, nullptr, id_)), 1LL,
           "auto-commit after open");
    Update(std::u16string(u"DROP TABLE IF EXISTS ") + kTable);
    Expect(static_cast<long long>(Update(std::u16string(u"CREATE TABLE ") + kTable +
                                         u" (k integer, name varchar(40), born timestamp)")),
           1LL, "CREATE TABLE (" + Utf8(Record()) + ")");
}

// Japanese values go in as SQL literals and come back as column values; under
// code page 932 both directions are the DLL's conversions alone. Each with its
// Windows-31J bytes, which is what SQLite must hold.
struct JapaneseCase {
    int k;
    const char16_t* text;
    const char* windows31j;
};
constexpr JapaneseCase kJapanese[] = {
    {1, u"日本語のテキスト", "93FA967B8CEA82CC8365834C83588367"},
    {2, u"ソ表能十", "835C955C945C8F5C"},        // second bytes 0x5C, the backslash
    {3, u"ｶﾀｶﾅ ﾊﾝｶｸ", "B6C0B6C520CADDB6B8"},     // single-byte katakana
    {4, u"全角　スペース", "91538A70814083588379815B8358"},  // a full-width space stays
    {5, u"～∥－￢①Ⅹ㈱", "81608161817C81CA8740875D878A"},  // Microsoft's own mappings
};

void Run::JapaneseBothWays() {
    for (const JapaneseCase& c : kJapanese) {
        Expect(static_cast<long long>(Update(u"INSERT INTO " + std::u16string(kTable) + u" VALUES (" +
                                             Decimal(c.k) + u", '" + c.text +
                                             u"', '2004-04-30 21:50:08')")),
               1LL, "INSERT row " + std::to_string(c.k) + " (" + Utf8(Record()) + ")");
    }
    for (const JapaneseCase& c : kJapanese) {
        std::u16string where = u" WHERE k = " + Decimal(c.k);
        Expect(Column(Select(u"name") + where), std::vector<std::u16string>{c.text},
               "Japanese value " + std::to_string(c.k) + " read back");
        // SQLite holds exactly the Windows-31J bytes the DLL sent.
        std::string hex = c.windows31j;
        Expect(Column(Select(u"hex(name)") + where),
               std::vector<std::u16string>{std::u16string(hex.begin(), hex.end())},
               "bytes stored for value " + std::to_string(c.k));
        std::u16string key(u"SELECT k FROM ");
        Expect(Column(key + kTable + u" WHERE name = '" + c.text + u"'"),
               std::vector<std::u16string>{Decimal(c.k)},
               "Japanese literal in WHERE, value " + std::to_string(c.k));
    }
    std::u16string sent = kJapanese[0].text;
    std::vector<std::u16string> stored = Column(Select(u"hex(name)") + u" WHERE k = 1");
    std::vector<std::u16string> back = Column(Select(u"name") + u" WHERE k = 1");
    std::printf("sent     %s  [%s]\n", Utf8(sent).c_str(), Hex(sent).c_str());
    if (!stored.empty()) std::printf("stored   [%s] (SQLite hex)\n", Utf8(stored[0]).c_str());
    if (!back.empty()) {
        std::printf("received %s  [%s]\n", Utf8(back[0]).c_str(), Hex(back[0]).c_str());
    }
}

void Run::QueryEveryRow() {
    Update(u"INSERT INTO " + std::u16string(kTable) + u" VALUES (6, NULL, NULL)");
    jint cursor = Query(Select(u"k, name, born") + u" ORDER BY k");
    Expect(static_cast<long long>(cursor), 1LL, "query cursor (" + Utf8(Record()) + ")");
    Expect(static_cast<long long>(n_.getCursorHandle(env_, nullptr, id_)), 1LL, "getCursorHandle");
    Expect(static_cast<long long>(n_.getColumnNum(env_, nullptr, id_, cursor)), 3LL, "getColumnNum");

    // sqliteodbc: integer SQL_INTEGER, varchar SQL_VARCHAR, timestamp SQL_TYPE_TIMESTAMP.
    const char16_t* names[] = {u"k", u"name", u"born"};
    const long long types[] = {4, 12, 93};
    for (jint col = 1; col <= 3; ++col) {
        Expect(Text(n_.getColumnName(env_, nullptr, id_, cursor, col)), names[col - 1],
               "name of column " + std::to_string(col));
        Expect(static_cast<long long>(n_.getColumnType(env_, nullptr, id_, cursor, col)),
               types[col - 1], "type of column " + std::to_string(col));
    }
    Expect(static_cast<long long>(n_.getColumnOctetLength(env_, nullptr, id_, cursor, 2)), 40LL,
           "octet length of varchar(40)");
    Expect(static_cast<long long>(n_.getColumnNoFromName(env_, nullptr, id_, cursor, J(u" BORN "))),
           3LL, "getColumnNoFromName");

    std::tm evening{};
    evening.tm_year = 2004 - 1900;
    evening.tm_mon = 3;
    evening.tm_mday = 30;
    evening.tm_hour = 21;
    evening.tm_min = 50;
    evening.tm_sec = 8;
    evening.tm_isdst = -1;
    const long long eveningTime = static_cast<long long>(std::mktime(&evening));

    int rows = 0;
    while (n_.fetch(env_, nullptr, id_, cursor) == 1) {
        ++rows;
        std::string row = "row " + std::to_string(rows);
        Expect(Cell(cursor, 1), Decimal(rows), row + " key");
        if (rows <= 5) {
            const JapaneseCase& c = kJapanese[rows - 1];
            std::vector<unsigned char> bytes = FromHex(c.windows31j);
            Expect(Cell(cursor, 2), c.text, row + " string");
            Expect(jni_.Bytes(n_.getColumnDataBinary(env_, nullptr, id_, cursor, 2)), bytes,
                   row + " bytes");
            Expect(static_cast<long long>(n_.getColumnFetchDataLength(env_, nullptr, id_, cursor, 2)),
                   static_cast<long long>(bytes.size()), row + " fetched length");
            Expect(Cell(cursor, 3), u"04/04/30 21:50:08", row + " timestamp in date style 21");
            Expect(static_cast<long long>(n_.getColumnDataTimet(env_, nullptr, id_, cursor, 3)),
                   eveningTime, row + " calendar time");
        } else {
            Expect(static_cast<long long>(n_.isColumnDataNull(env_, nullptr, id_, cursor, 2)), 1LL,
                   row + " NULL");
            Expect(Cell(cursor, 2), u"", row + " NULL string");
            Expect(static_cast<long long>(n_.getColumnDataTimet(env_, nullptr, id_, cursor, 3)), 0LL,
                   row + " NULL calendar time");
        }
    }
    Expect(static_cast<long long>(rows), 6LL, "rows fetched");
    Expect(static_cast<long long>(n_.fetch(env_, nullptr, id_, cursor)), 0LL, "fetch after the end");

    n_.setDateStyle(env_, nullptr, id_, 0);
    Expect(static_cast<long long>(n_.fetchScroll(env_, nullptr, id_, cursor, kFetchFirst, 0)),
           1LL, "fetchScroll FIRST (" + Utf8(Record()) + ")");
    Expect(Cell(cursor, 3), u"2004-04-30 21:50:08", "timestamp in date style 0");
    n_.setDateStyle(env_, nullptr, id_, 21);
    n_.closeCursor(env_, nullptr, id_, cursor);
    Expect(static_cast<long long>(n_.getColumnNum(env_, nullptr, id_, cursor)), 0LL,
           "closed cursor has no columns");
}

void Run::UpdateAndNoData() {
    std::u16string table(kTable);
    Expect(static_cast<long long>(Update(u"UPDATE " + table + u" SET name = '更新済み' WHERE k = 6")),
           1LL, "UPDATE one row");
    Expect(Column(Select(u"name") + u" WHERE k = 6"), std::vector<std::u16string>{u"更新済み"},
           "updated value");
    // sqliteodbc answers SQL_NO_DATA for a searched UPDATE that matches nothing.
    Expect(static_cast<long long>(Update(u"UPDATE " + table + u" SET k = 0 WHERE k = 99")), 0LL,
           "UPDATE matching no row");
}

// 3000 double-byte characters: 6000 bytes of SQL text within the 2n + 1 bytes
// the natives allow, and a value read back in several chunks, some of which end
// inside a character.
void Run::LongJapaneseValue() {
    std::u16string value;
    for (int i = 0; i < 300; ++i) value += u"日本語テキストソ表能";
    std::u16string table(kTable);
    Expect(static_cast<long long>(Update(u"UPDATE " + table + u" SET name = '" + value + u"' WHERE k = 6")),
           1LL, "UPDATE with 3000 Japanese characters (" + Utf8(Record()) + ")");
    jint cursor = Query(Select(u"name") + u" WHERE k = 6");
    Expect(static_cast<long long>(n_.fetch(env_, nullptr, id_, cursor)), 1LL, "fetch the long value");
    Expect(static_cast<long long>(n_.getColumnFetchDataLength(env_, nullptr, id_, cursor, 1)), 6000LL,
           "bytes of the long value");
    std::u16string back = Cell(cursor, 1);
    Expect(static_cast<long long>(back.size()), 3000LL, "characters of the long value");
    Expect(back == value, true, "long value read back whole");
    n_.closeCursor(env_, nullptr, id_, cursor);
}

void Run::CommitAndRollback() {
    std::u16string table(kTable);
    std::u16string count = Select(u"count(*)");
    n_.setAutoCommit(env_, nullptr, id_, 256);
    Expect(static_cast<long long>(n_.getAutoCommit(env_, nullptr, id_)), 1LL, "auto-commit 256 is on");
    n_.setAutoCommit(env_, nullptr, id_, 0);
    Expect(static_cast<long long>(n_.getAutoCommit(env_, nullptr, id_)), 0LL, "auto-commit off");

    Update(u"INSERT INTO " + table + u" VALUES (10, '巻き戻し', NULL)");
    Expect(Column(count), std::vector<std::u16string>{u"7"}, "row visible inside the transaction");
    Expect(static_cast<long long>(n_.rollbackTran(env_, nullptr, id_)), 0LL,
           "rollbackTran (" + Utf8(Record()) + ")");
    Expect(Column(count), std::vector<std::u16string>{u"6"}, "rolled-back row is gone");

    Update(u"INSERT INTO " + table + u" VALUES (11, '確定', NULL)");
    Expect(static_cast<long long>(n_.commitTran(env_, nullptr, id_)), 0LL,
           "commitTran (" + Utf8(Record()) + ")");
    Expect(static_cast<long long>(n_.rollbackTran(env_, nullptr, id_)), 0LL,
           "rollbackTran after commit");
    Expect(Column(Select(u"name") + u" WHERE k = 11"), std::vector<std::u16string>{u"確定"},
           "committed row stays");
    n_.setAutoCommit(env_, nullptr, id_, 1);
    Expect(static_cast<long long>(n_.getAutoCommit(env_, nullptr, id_)), 1LL, "auto-commit on again");
}

void Run::BadSql() {
    Expect(static_cast<long long>(Query(u"SELEC 1")), -1LL, "query of bad SQL");
    // sqliteodbc reports every failure of a statement as HY000.
    Expect(ErrorCode(), u"HY000", "SQLSTATE of bad SQL");
    std::u16string message = ErrorString();
    Expect(message.find(u"syntax error") != std::u16string::npos, true,
           "driver message of bad SQL: " + Utf8(message));
    Expect(static_cast<long long>(Update(u"UPDAT x SET y = 1")), -1LL, "update of bad SQL");
    Expect(ErrorCode(), u"HY000", "SQLSTATE of bad update");
    Expect(Column(u"SELECT 1"), std::vector<std::u16string>{u"1"}, "connection sane after errors");
}

void Run::CloseAll() {
    Update(std::u16string(u"DROP TABLE ") + kTable);
    n_.close(env_, nullptr, id_);
    Expect(static_cast<long long>(n_.isOpenOk(env_, nullptr, id_)), 0LL, "isOpenOk after close");
    Expect(Text(n_.getOpenDataSource(env_, nullptr, id_)), u"", "data source after close");
    Expect(ErrorCode(), u"JovJdbcOdbc-03", "code for a closed identifier");
    Expect(static_cast<long long>(jni_.OutstandingChars()), 0LL, "string characters all released");
}

}  // namespace

int main() {
    HMODULE dll = LoadLibraryA(kLibraryFile);
    if (dll == nullptr) {
        std::printf("FAIL LoadLibrary(%s): error %lu\n0 passed, 1 failed\n", kLibraryFile,
                    GetLastError());
        return 1;
    }
    Natives natives;
    std::vector<std::string> missing = FindNatives(dll, natives);
    if (!missing.empty()) {
        for (const std::string& name : missing) std::printf("FAIL native not exported: %s\n", name.c_str());
        std::printf("0 passed, %zu failed\n", missing.size());
        return 1;
    }

    FakeJni jni;
    Run run(natives, jni);
    int widePassed = 0;
    int wideFailed = 0;
    try {
        run.CodePage();
        run.FreshRecord();
        run.BadIdentifier();
        run.OpenAndCreate();
        run.JapaneseBothWays();
        run.QueryEveryRow();
        run.UpdateAndNoData();
        run.LongJapaneseValue();
        run.CommitAndRollback();
        run.BadSql();
        run.CloseAll();
        RunWidePath(dll, &widePassed, &wideFailed);
    } catch (const std::exception& e) {
        std::printf("FAIL stopped by an exception: %s\n%d passed, %d failed\n", e.what(),
                    run.passed() + widePassed, run.failed() + wideFailed + 1);
        return 1;
    }
    const int failed = run.failed() + wideFailed;
    std::printf("%d passed, %d failed\n", run.passed() + widePassed, failed);
    return failed == 0 ? 0 : 1;
}
