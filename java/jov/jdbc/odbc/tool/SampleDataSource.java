package jov.jdbc.odbc.tool;

import java.util.Arrays;
import java.util.List;

/**
 * The bundled sample data source, JovSample: a SQLite file (declared by
 * scripts/odbc-env.sh) that the query tool fills on first use with two small
 * tables, staff and sales, holding integers, decimals, floating-point numbers,
 * dates, timestamps, NULLs, empty texts, binary values and Japanese text
 * (kanji, kana, half-width katakana).
 *
 * <p>The rows are written through the native library from Java strings, so
 * the text lands in the file as the library's Windows-31J bytes, which is how
 * the SQLite driver hands it back. Binary values are hex literals.
 */
final class SampleDataSource {

    /** The data source name, as odbc.ini declares it. */
    static final String NAME = "JovSample";

    /** Created last, so that its presence means the whole sample is there. */
    private static final String LAST_TABLE = "sales";

    private static final List<String> CREATE = Arrays.asList(
            "CREATE TABLE staff (id INTEGER PRIMARY KEY, name VARCHAR(20) NOT NULL,"
                    + " kana VARCHAR(20), city VARCHAR(20), hired DATE, salary DECIMAL(10,2),"
                    + " photo BLOB)",
            "INSERT INTO staff VALUES (1, '山田太郎', 'ﾔﾏﾀﾞ ﾀﾛｳ', '東京', '2001-04-01', 350000.50,"
                    + " X'89504E47')",
            "INSERT INTO staff VALUES (2, '佐藤花子', 'ｻﾄｳ ﾊﾅｺ', '大阪', '2010-10-15', 280000.25,"
                    + " X'FFD8FFE0')",
            "INSERT INTO staff VALUES (3, '鈴木一郎', 'ｽｽﾞｷ ｲﾁﾛｳ', NULL, '2019-07-01', NULL, NULL)",
            "INSERT INTO staff VALUES (4, 'John Smith', '', 'New York', '2004-04-30', 300000.75, X'')",
            "CREATE TABLE sales (id INTEGER PRIMARY KEY, staff_id INTEGER, sold_at TIMESTAMP,"
                    + " item VARCHAR(40), quantity INTEGER, price DECIMAL(10,2), discount DOUBLE,"
                    + " note TEXT)",
            "INSERT INTO sales VALUES (1, 1, '2004-04-30 21:50:08', 'ノートPC', 2, 128000.50, 0.05,"
                    + " '初回購入')",
            "INSERT INTO sales VALUES (2, 1, '2004-05-01 09:00:00', 'マウス', 10, 1980.25, 0.0, NULL)",
            "INSERT INTO sales VALUES (3, 2, '2023-12-31 23:59:59', '机', 1, 45000.75, 0.125, '')",
            "INSERT INTO sales VALUES (4, 3, '2024-02-29 12:00:00', 'ﾃﾞｨｽﾌﾟﾚｲ', 3, 32800.50, NULL,"
                    + " '在庫: 残り1台')",
            "INSERT INTO sales VALUES (5, 4, '1999-12-31 23:59:59', 'Keyboard, \"US\"', 1, 9800.40,"
                    + " 0.1, 'say \"hi\"')");

    private SampleDataSource() {
    }

    /** True when a data source text ("A:B:Name" or "Name") names the sample. */
    static boolean isNamedBy(String dataSource) {
        return NAME.equalsIgnoreCase(dataSource.substring(dataSource.lastIndexOf(':') + 1));
    }

    /** Creates the sample's tables and rows in one transaction unless they are there already. */
    static void ensureCreated(OdbcSession session) throws SqlFailure {
        Result found = session.query("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                + " AND name = '" + LAST_TABLE + "'");
        if (found.rows().get(0).get(0).equals("0")) {
            session.updateAll(CREATE);
        }
    }
}
