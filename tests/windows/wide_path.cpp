// What the wide path can be held to under Wine, and what it can only report.
//
// Wine's odbc32 hands the DLL's wide calls (SQLDriverConnectW, SQLExecDirectW,
// SQLPrepareW, SQLGetDiagRecW, SQLDescribeColW, SQLColAttributeW, SQLGetInfoW)
// and its SQL_C_WCHAR values unchanged to the host's unixODBC, which converts
// them for the ANSI-only sqliteodbc through the process locale (UTF-8 here).
//   Asserted: the 53 natives are found; tokens; the wide calls succeed;
//     values bound and read as SQL_C_WCHAR are exact (surrogate pairs, a
//     70,000-character value); SQL text, an alias and a message are exact
//     within the Basic Multilingual Plane; a cancel stops an execution.
//   Reported only: SQL text, names and messages with surrogate pairs, which
//     unixODBC mangles (see TextInSql), and a cancelled call's records.
// With psqlODBC's Unicode driver (psqlodbcw.so, which exports the wide
// functions) unixODBC passes the wide calls through, and everything above is
// asserted exact, surrogate pairs in SQL text, names and messages included:
// the nearest this host gets to Windows with a Unicode driver. Not reachable
// here: a Windows driver manager.
#include "tests/windows/wide_path.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "driver/jni/natives.h"
#include "tests/windows/driver_jni.h"

namespace {

constexpr const char kDriverPrefix[] = "Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_";
constexpr jint kUnicode = 0;
constexpr jint kSuccess = 0;
constexpr jint kSuccessWithInfo = 1;
constexpr jint kError = -1;
constexpr jint kNeedData = 99;
constexpr jint kVarchar = 12;
constexpr jint kBigint = -5;
constexpr jint kDbmsName = 17;      // SQL_DBMS_NAME
constexpr jint kColumnFields = 14;  // OdbcNatives.COLUMN_FIELDS
constexpr jint kColumnLabel = 1;    // OdbcNatives.COLUMN_LABEL
constexpr size_t kLongValueChars = 70000;
constexpr DWORD kEnvironmentValueUnits = 1024;

// The 53 natives by Java method name.
#define JOV_DRIVER_NATIVES(X)                                                                   \
    X(takeDiagnostics) X(dataSourceSetting) X(connect) X(disconnect) X(setConnectionAttribute)  \
    X(getConnectionAttribute) X(endTransaction) X(getInfoString) X(getInfoInteger)              \
    X(allocStatement) X(freeStatement) X(setStatementAttribute) X(prepare) X(execDirect)        \
    X(execute) X(cancel) X(numResultCols) X(rowCount) X(moreResults) X(closeCursor)             \
    X(resetParameters) X(numParams) X(describeParam) X(describeColumns) X(fetch) X(fetchScroll) \
    X(getText) X(getBytes) X(getLong) X(getDouble) X(bindBlock) X(fetchBlock) X(position) X(bindNull) X(bindLong) X(bindDouble)      \
    X(bindBoolean) X(bindString) X(bindBytes) X(bindDecimal) X(bindDate) X(bindTime)            \
    X(bindTimestamp) X(bindStream) X(paramData) X(putString) X(putBytes) X(bindLongArray)       \
    X(bindDoubleArray) X(bindStringArray) X(bindBytesArray) X(executeArray) X(catalog)

struct DriverNatives {
#define JOV_DRIVER_POINTER(name) \
    decltype(&Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_##name) name = nullptr;
    JOV_DRIVER_NATIVES(JOV_DRIVER_POINTER)
#undef JOV_DRIVER_POINTER
};

// Fills every pointer; returns the names that were not found.
std::vector<std::string> FindDriverNatives(HMODULE dll, DriverNatives& n) {
    std::vector<std::string> missing;
#define JOV_FIND_DRIVER(name)                                                \
    n.name = reinterpret_cast<decltype(n.name)>(reinterpret_cast<void*>(     \
        GetProcAddress(dll, (std::string(kDriverPrefix) + #name).c_str()))); \
    if (n.name == nullptr) missing.push_back(#name);
    JOV_DRIVER_NATIVES(JOV_FIND_DRIVER)
#undef JOV_FIND_DRIVER
    return missing;
}

// UTF-8 for the console and for comparing with SQLite's hex(); nothing is sent as it.
std::string Utf8(const std::u16string& text) {
    const auto* units = reinterpret_cast<const wchar_t*>(text.c_str());
    const int size = WideCharToMultiByte(CP_UTF8, 0, units, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, units, -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::u16string FromUtf8(const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, &out[0], size);
    return std::u16string(out.begin(), out.end());
}

std::string Units(const std::u16string& text) {
    std::string out;
    char unit[8];
    for (char16_t c : text) {
        std::snprintf(unit, sizeof unit, "%s%04X", out.empty() ? "" : " ", static_cast<unsigned>(c));
        out += unit;
    }
    return out;
}

std::u16string HexOfUtf8(const std::u16string& text) {
    std::u16string out;
    char byte[4];
    for (unsigned char b : Utf8(text)) {
        std::snprintf(byte, sizeof byte, "%02X", b);
        out += static_cast<char16_t>(byte[0]);
        out += static_cast<char16_t>(byte[1]);
    }
    return out;
}

// A data source and what differs between them.
struct Source {
    const char* name;
    std::u16string connectionString;
    // Whether the driver takes the wide calls itself, so that unixODBC
    // converts nothing and every text is held to exactness.
    bool unicodeDriver;
    const char16_t* dbmsName;
    const char16_t* hexOfUtf8;     // a SQL function of v: its UTF-8, upper-case hex
    const char16_t* missingTable;  // the message's words before a missing table's name
    const char16_t* endless;       // a query that runs until cancelled
    const char* stopped;           // the words of a cancelled execution's message
};

const Source kSqlite{"JovSqlite (sqliteodbc, ANSI only)", u"DSN=JovSqlite", false, u"SQLite", u"hex(v)", u"no such table: ",
                     u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                     u"WHERE i < 3000000000) SELECT max(i) FROM n",
                     "interrupted"};

bool Supplementary(const std::u16string& text) {
    for (char16_t c : text) {
        if (c >= 0xD800 && c <= 0xDFFF) return true;
    }
    return false;
}

class WidePath {
  public:
    WidePath(const DriverNatives& n, const Source& source, int* passed, int* failed)
        : n_(n), source_(source), env_(jni_.env()), passed_(passed), failed_(failed) {}

    void ConnectAndInfo();
    void Tokens();
    void BoundValues();
    void TextInSql();
    void StreamedText();
    void CancelFromAnotherThread();
    void Disconnect();

  private:
    void Expect(bool ok, const std::string& what) {
        if (ok) {
            ++*passed_;
        } else {
            ++*failed_;
            std::printf("FAIL wide path: %s\n", what.c_str());
        }
    }
    void ExpectStatus(jint actual, jint expected, const std::string& what) {
        Expect(actual == expected, what + ": status " + std::to_string(actual) + ", expected " +
                                       std::to_string(expected) + Records());
    }
    // The records takeDiagnostics holds, for a line of output.
    std::string Records() {
        jobjectArray records = n_.takeDiagnostics(env_, nullptr);
        if (records == nullptr) return " (no records)";
        std::string out;
        for (jsize i = 0; i + 2 < env_->GetArrayLength(records); i += 3) {
            out += " [" + Utf8(jni_.Text(jni_.Element(records, i))) + " " +
                   Utf8(jni_.Text(jni_.Element(records, i + 2))) + "]";
        }
        return out;
    }
    jstring J(const std::u16string& s) { return jni_.String(s); }
    jint Exec(const std::u16string& sql) { return n_.execDirect(env_, nullptr, statement_, J(sql)); }
    // The first column of every row of a query, read with getText.
    std::vector<std::u16string> Column(const std::u16string& sql);
    // value stored through a bound parameter, then read back.
    std::u16string BoundRoundTrip(const std::u16string& value);
    // The label describeColumns gives a column selected under alias.
    std::u16string Label(const std::u16string& alias);
    // The message of a query of a table that does not exist.
    std::u16string MissingTableMessage(const std::u16string& table);

    // Whether text must cross exactly: always with a Unicode driver, within
    // the Basic Multilingual Plane through unixODBC's conversion.
    bool Exact(const std::u16string& text) const {
        return source_.unicodeDriver || !Supplementary(text);
    }

    const DriverNatives& n_;
    const Source& source_;
    DriverJni jni_;
    JNIEnv* env_;
    int* passed_;
    int* failed_;
    jlong connection_ = 0;
    jlong statement_ = 0;
};

std::vector<std::u16string> WidePath::Column(const std::u16string& sql) {
    if (Exec(sql) != kSuccess) return {u"(query failed)"};
    std::vector<std::u16string> values;
    jobjectArray value = jni_.ObjectArray(1);
    while (n_.fetch(env_, nullptr, statement_) == kSuccess) {
        n_.getText(env_, nullptr, statement_, 1, value);
        values.push_back(jni_.Text(jni_.Element(value, 0)));
    }
    n_.closeCursor(env_, nullptr, statement_);
    return values;
}

std::u16string WidePath::BoundRoundTrip(const std::u16string& value) {
    ExpectStatus(n_.prepare(env_, nullptr, statement_, J(u"INSERT INTO wine_wide VALUES (?, ?)")),
                 kSuccess, "prepare through SQLPrepareW");
    ExpectStatus(n_.bindLong(env_, nullptr, statement_, 1, 1, kBigint), kSuccess, "bindLong");
    ExpectStatus(n_.bindString(env_, nullptr, statement_, 2, J(value), kVarchar), kSuccess,
                 "bindString as SQL_C_WCHAR");
    ExpectStatus(n_.execute(env_, nullptr, statement_), kSuccess, "execute with a wide parameter");
    n_.resetParameters(env_, nullptr, statement_);
    const std::vector<std::u16string> back = Column(u"SELECT v FROM wine_wide WHERE k = 1");
    return back.size() == 1 ? back[0] : u"(no row)";
}

void WidePath::ConnectAndInfo() {
    jlongArray token = jni_.LongArray(1);
    // unixODBC warns (01000) that the driver lacks the ODBC 3.80 the
    // environment asks for; the connection is made.
    const jint status = n_.connect(env_, nullptr, J(source_.connectionString), kUnicode, 0, token);
    const std::string records = Records();
    Expect(status == kSuccess || status == kSuccessWithInfo,
           "connect through SQLDriverConnectW: status " + std::to_string(status) + records);
    std::printf("wide path: connect answered %d%s\n", static_cast<int>(status), records.c_str());
    connection_ = jni_.Numbers(token)[0];
    jlongArray statement = jni_.LongArray(1);
    ExpectStatus(n_.allocStatement(env_, nullptr, connection_, statement), kSuccess, "allocStatement");
    statement_ = jni_.Numbers(statement)[0];
    jobjectArray name = jni_.ObjectArray(1);
    ExpectStatus(n_.getInfoString(env_, nullptr, connection_, kDbmsName, name), kSuccess,
                 "getInfoString through SQLGetInfoW");
    Expect(jni_.Text(jni_.Element(name, 0)) == source_.dbmsName,
           "SQL_DBMS_NAME read wide: " + Utf8(jni_.Text(jni_.Element(name, 0))));
}

// A freed statement's token, a connection's token used as a statement's and
// a made-up one fail cleanly with the library's own record.
void WidePath::Tokens() {
    jlongArray other = jni_.LongArray(1);
    n_.allocStatement(env_, nullptr, connection_, other);
    const jlong freed = jni_.Numbers(other)[0];
    ExpectStatus(n_.freeStatement(env_, nullptr, freed), kSuccess, "freeStatement");
    for (jlong stale : {freed, connection_, statement_ + 1000000}) {
        Expect(n_.execDirect(env_, nullptr, stale, J(u"SELECT 1")) == kError, "a stale token refused");
        jobjectArray records = n_.takeDiagnostics(env_, nullptr);
        Expect(env_->GetArrayLength(records) == 3 && jni_.Text(jni_.Element(records, 0)) == u"HY000",
               "a stale token's record is HY000");
    }
}

// The data path: values bound as SQL_C_WCHAR and read by getText as
// SQL_C_WCHAR, which unixODBC converts whole (iconv, the UTF-8 locale) for
// the ANSI driver. Held to exactness, surrogate pairs and 70,000 characters
// (read in many chunks, some ending inside a pair) included: SQLite must hold
// the value's UTF-8 and getText give it back.
void WidePath::BoundValues() {
    Exec(u"DROP TABLE IF EXISTS wine_wide");
    ExpectStatus(Exec(u"CREATE TABLE wine_wide (k integer, v text)"), kSuccess,
                 "CREATE TABLE through SQLExecDirectW");
    std::u16string longValue;
    while (longValue.size() < kLongValueChars) longValue += u"café😀𠮷ソ表能〜～'\\;?";
    longValue.resize(kLongValueChars);
    for (const std::u16string& text : {std::u16string(u"café"), std::u16string(u"😀"),
                                       std::u16string(u"𠮷"), std::u16string(u"ソ表能"),
                                       std::u16string(u"〜"), std::u16string(u"～"), longValue}) {
        Exec(u"DELETE FROM wine_wide");
        const std::u16string back = BoundRoundTrip(text);
        const std::string what = text.size() > 8 ? "70,000 characters" : Utf8(text);
        Expect(back == text, "bound " + what + " read back: [" + Units(back.substr(0, 8)) + "], " +
                                 std::to_string(back.size()) + " units");
        Expect(Column(u"SELECT " + std::u16string(source_.hexOfUtf8) + u" FROM wine_wide") ==
                   std::vector<std::u16string>{HexOfUtf8(text)},
               "bound " + what + " stored as its UTF-8");
    }
}

// Streamed text goes in SQL_C_WCHAR pieces, so the length announced for it
// counts UTF-16 bytes (16 here), not the UTF-8 ones the narrow path counts
// (15). Within the BMP, which unixODBC converts exactly for sqliteodbc.
void WidePath::StreamedText() {
    const std::u16string text = u"café ソ表能";
    Exec(u"DELETE FROM wine_wide");
    ExpectStatus(n_.prepare(env_, nullptr, statement_, J(u"INSERT INTO wine_wide VALUES (1, ?)")),
                 kSuccess, "prepare a streamed insert");
    ExpectStatus(n_.bindStream(env_, nullptr, statement_, 1, JNI_FALSE,
                               static_cast<jlong>(Utf8(text).size()), static_cast<jlong>(text.size())),
                 kSuccess, "bindStream of text");
    ExpectStatus(n_.execute(env_, nullptr, statement_), kNeedData, "execute asks for the text");
    jintArray wanted = env_->NewIntArray(1);
    ExpectStatus(n_.paramData(env_, nullptr, statement_, wanted), kNeedData, "paramData asks for it");
    ExpectStatus(n_.putString(env_, nullptr, statement_, J(text)), kSuccess, "putString as SQL_C_WCHAR");
    ExpectStatus(n_.paramData(env_, nullptr, statement_, wanted), kSuccess, "paramData ends the insert");
    n_.resetParameters(env_, nullptr, statement_);
    Expect(Column(u"SELECT v FROM wine_wide WHERE k = 1") == std::vector<std::u16string>{text},
           "streamed text read back whole");
}

// SQL text, a column alias and a message naming a table: unixODBC converts
// these one whole string at a time, exactly while the string is all in the
// Basic Multilingual Plane. Given a surrogate pair it keeps only each unit's
// low byte for the whole string (😀 became "=" and U+0000, 𠮷 "B" and 0xB7,
// 表 "h"), which no Windows driver manager does, and once left the process's
// heap corrupt ("corrupted size vs. prev_size" in a later call). So such text
// goes only to a Unicode driver, where unixODBC converts nothing; for an
// ANSI driver the program says what it did not send.
void WidePath::TextInSql() {
    if (!source_.unicodeDriver) {
        std::printf("wide path: SQL text with characters beyond the BMP NOT SENT to the ANSI sqliteodbc\n"
                    "(unixODBC's conversion on the host mangles it and corrupted the heap once)\n");
    }
    for (const std::u16string& text : {std::u16string(u"café"), std::u16string(u"ソ表能"),
                                       std::u16string(u"〜"), std::u16string(u"～"),
                                       std::u16string(u"😀"), std::u16string(u"𠮷")}) {
        if (!Exact(text)) continue;
        Exec(u"DELETE FROM wine_wide");
        const jint status = Exec(u"INSERT INTO wine_wide VALUES (2, '" + text + u"')");
        const std::string records = Records();
        const std::vector<std::u16string> hex =
            Column(u"SELECT " + std::u16string(source_.hexOfUtf8) + u" FROM wine_wide");
        Expect(status == kSuccess && hex == std::vector<std::u16string>{HexOfUtf8(text)},
               "literal " + Utf8(text) + " in SQL text stored as its UTF-8" + records);
    }
    for (const std::u16string& name : {std::u16string(u"名前é"), std::u16string(u"名前😀")}) {
        if (!Exact(name)) continue;
        const std::u16string label = Label(name);
        Expect(label == name, "alias " + Utf8(name) + " read by SQLColAttributeW: " + Utf8(label));
    }
    for (const std::u16string& table : {std::u16string(u"表é"), std::u16string(u"表😀")}) {
        if (!Exact(table)) continue;
        const std::u16string message = MissingTableMessage(table);
        Expect(message.find(source_.missingTable + table) != std::u16string::npos,
               "message read by SQLGetDiagRecW names " + Utf8(table) + ": " + Utf8(message));
    }
}

std::u16string WidePath::Label(const std::u16string& alias) {
    if (Exec(u"SELECT k AS \"" + alias + u"\" FROM wine_wide") != kSuccess) {
        return u"(query failed:" + FromUtf8(Records()) + u")";
    }
    jobjectArray columns = jni_.ObjectArray(kColumnFields);
    const jint status = n_.describeColumns(env_, nullptr, statement_, columns);
    const std::string records = Records();
    n_.closeCursor(env_, nullptr, statement_);
    if (status != kSuccess) return u"(describeColumns failed:" + FromUtf8(records) + u")";
    auto labels = reinterpret_cast<jobjectArray>(jni_.Element(columns, kColumnLabel));
    return jni_.Text(jni_.Element(labels, 0));
}

std::u16string WidePath::MissingTableMessage(const std::u16string& table) {
    Expect(Exec(u"SELECT * FROM \"" + table + u"\"") == kError, "a query of a missing table fails");
    jobjectArray records = n_.takeDiagnostics(env_, nullptr);
    return env_->GetArrayLength(records) >= 3 ? jni_.Text(jni_.Element(records, 2)) : u"(no record)";
}

// The canceller calls cancel until the execution returns, so no timing is
// assumed; the query would otherwise run for minutes.
void WidePath::CancelFromAnotherThread() {
    std::atomic<bool> returned{false};
    const jlong statement = statement_;
    const DriverNatives& n = n_;
    std::thread canceller([&returned, statement, &n] {
        DriverJni own;
        while (!returned.load()) {
            n.cancel(own.env(), nullptr, statement);
            std::this_thread::yield();
        }
    });
    const jint status = Exec(source_.endless);
    returned.store(true);
    canceller.join();
    // Asserted: the execution stops. Reported: its records, which a cancel
    // landing while the execution's records are read can wipe or garble
    // (both seen with sqliteodbc).
    const std::string records = Records();
    Expect(status == kError, "a cancel from another thread stops the execution: status " +
                                 std::to_string(status) + records);
    if (records.find(source_.stopped) == std::string::npos) {
        std::printf("wide path: the cancelled execution's records:%s\n", records.empty() ? " none" : records.c_str());
    }
    Expect(Column(u"SELECT 7") == std::vector<std::u16string>{u"7"}, "the statement runs again after a cancel");
}

void WidePath::Disconnect() {
    Exec(u"DROP TABLE wine_wide");
    ExpectStatus(n_.disconnect(env_, nullptr, connection_), kSuccess, "disconnect");
    Expect(n_.fetch(env_, nullptr, statement_) == kError, "a disconnected connection's statement is stale");
    Expect(n_.disconnect(env_, nullptr, connection_) == kError, "a connection disconnects once");
}

}  // namespace

void RunWidePath(HMODULE dll, int* passed, int* failed) {
    const Source* sources[] = {&kSqlite, nullptr};
    Source postgres{"the rig's PostgreSQL (psqlodbcw.so, Unicode)", u"", true, u"PostgreSQL", u"upper(encode(convert_to(v, 'UTF8'), 'hex'))",
                    u"relation \"", u"SELECT pg_sleep(60)", "canceling"};
    // test-windows.sh names psqlODBC's Unicode driver and the rig's cluster
    // when the cluster runs (scripts/test.sh starts it first).
    wchar_t pg[kEnvironmentValueUnits];
    const DWORD units = GetEnvironmentVariableW(L"JOV_WINE_PG", pg, kEnvironmentValueUnits);
    if (units > 0 && units < kEnvironmentValueUnits) {
        postgres.connectionString.assign(pg, pg + units);
        sources[1] = &postgres;
    } else {
        std::printf("wide path with psqlODBC's Unicode driver SKIPPED: JOV_WINE_PG is not set\n"
                    "(test-windows.sh sets it when the rig's PostgreSQL cluster runs)\n");
    }
    DriverNatives natives;
    const std::vector<std::string> missing = FindDriverNatives(dll, natives);
    for (const std::string& name : missing) {
        std::printf("FAIL OdbcNatives native not exported: %s\n", name.c_str());
    }
    *failed += static_cast<int>(missing.size());
    if (!missing.empty()) return;
    ++*passed;
    for (const Source* source : sources) {
        if (source == nullptr) continue;
        std::printf("wide path on %s\n", source->name);
        WidePath run(natives, *source, passed, failed);
        run.ConnectAndInfo();
        run.Tokens();
        run.BoundValues();
        run.TextInSql();
        run.StreamedText();
        run.CancelFromAnotherThread();
        run.Disconnect();
    }
}
