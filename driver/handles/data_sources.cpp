#include "driver/handles/data_sources.h"

#include <string>

#include "driver/odbc.h"
#include "driver/text/utf8.h"

#include <odbcinst.h>

namespace jov::driver::handles {

namespace {

// odbc.ini lines are short; a longer value is cut at this many units.
constexpr int kSettingCapacity = 4096;

}  // namespace

#ifdef _WIN32
Utf16 DataSourceSetting(const Utf16& dataSource, const Utf16& key) {
    // The installer's wide function takes Java's units as they are.
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t is a UTF-16 unit on Windows");
    const std::wstring section(dataSource.begin(), dataSource.end());
    const std::wstring entry(key.begin(), key.end());
    std::wstring value(kSettingCapacity, L'\0');
    const int n = SQLGetPrivateProfileStringW(section.c_str(), entry.c_str(), L"", &value[0],
                                              kSettingCapacity, L"odbc.ini");
    return Utf16(value.begin(), value.begin() + (n > 0 ? n : 0));
}
#else
Utf16 DataSourceSetting(const Utf16& dataSource, const Utf16& key) {
    // unixODBC's files are read as bytes: names and values as UTF-8.
    std::string section;
    std::string entry;
    Diagnostic ignored;
    if (!text::Utf16ToUtf8(dataSource, &section, &ignored) ||
        !text::Utf16ToUtf8(key, &entry, &ignored)) {
        return Utf16();
    }
    std::string value(kSettingCapacity, '\0');
    const int n = SQLGetPrivateProfileString(section.c_str(), entry.c_str(), "", &value[0],
                                             kSettingCapacity, "odbc.ini");
    return text::Utf8ToUtf16(value.data(), n > 0 ? static_cast<size_t>(n) : 0);
}
#endif

}  // namespace jov::driver::handles
