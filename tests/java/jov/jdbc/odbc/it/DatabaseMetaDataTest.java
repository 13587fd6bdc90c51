package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.DatabaseMetaData;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.Statement;
import java.sql.Types;
import java.util.ArrayList;
import java.util.List;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** DatabaseMetaData over the driver: the product, and tables, columns, keys and schemas from each catalogue. */
class DatabaseMetaDataTest {

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void answersFromTheCatalogue(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id INTEGER PRIMARY KEY, name VARCHAR(20) NOT NULL, price DECIMAL(10,2)");
            // A name the table's name matches as a pattern, unless its '_' are escaped.
            String view = table.replace('_', 'v');
            String exact = table.replace("_", "\\_");
            // Dropped here, before the table it refers to.
            String child = table + "_child";
            db.update("CREATE VIEW " + view + " AS SELECT name FROM " + table);
            try {
                DatabaseMetaData md = db.connection.getMetaData();
                boolean sqlite = rig == Rig.SQLITE;
                boolean maria = rig == Rig.MARIA;
                assertEquals(sqlite ? "SQLite" : maria ? "MariaDB" : "PostgreSQL", md.getDatabaseProductName());
                assertEquals(db.connection.getTransactionIsolation(), md.getDefaultTransactionIsolation());
                assertTrue(md.supportsSavepoints()
                        && md.supportsTransactionIsolationLevel(md.getDefaultTransactionIsolation()));
                assertEquals(maria, md.supportsCatalogsInTableDefinitions());
                // MariaDB's databases are catalogues, and it has no schemas.
                String schema = sqlite || maria ? null : "public";
                assertEquals(List.of(schema + " " + table + " TABLE", schema + " " + view + " VIEW"),
                        rows(md.getTables(null, null, "jdbc%", new String[] {"TABLE", "VIEW"}),
                                "TABLE_SCHEM", "TABLE_NAME", "TABLE_TYPE").stream()
                                .filter(row -> row.contains(table) || row.contains(view)).toList());
                assertEquals(List.of(table), rows(md.getTables(null, null, exact, null),
                        "TABLE_NAME"), "an escaped '_' matches only itself");
                assertEquals(List.of(), rows(md.getTables(null, null, "x' OR '1'='1", null), "TABLE_NAME"));

                // Measured: sqliteodbc calls an INTEGER PRIMARY KEY nullable and DECIMAL text.
                int decimal = sqlite ? Types.VARCHAR : maria ? Types.DECIMAL : Types.NUMERIC;
                assertEquals(List.of("id " + Types.INTEGER + (sqlite ? " 1" : " 0") + " 1",
                        "name " + (maria ? Types.NVARCHAR : Types.VARCHAR) + " 0 2",
                        "price " + decimal + " 1 3"), rows(md.getColumns(null, null, exact, "%"),
                                "COLUMN_NAME", "DATA_TYPE", "NULLABLE", "ORDINAL_POSITION"));
                assertEquals(List.of("name 20 2"), rows(md.getColumns(null, null, exact, "n_me"),
                        "COLUMN_NAME", "COLUMN_SIZE", "ORDINAL_POSITION"), "a pattern keeps the table's positions");
                assertEquals(List.of("id 1"), rows(md.getPrimaryKeys(null, null, table), "COLUMN_NAME", "KEY_SEQ"));
                // Where there are no schemas a schema argument (Spring passes the user name) is ignored.
                String ownSchema = sqlite || maria ? "jov_nobody" : "public";
                assertEquals(List.of("id"), rows(md.getColumns(null, ownSchema, exact, "id"), "COLUMN_NAME"));
                assertEquals(List.of("id"), rows(md.getPrimaryKeys(null, ownSchema, table), "COLUMN_NAME"));

                db.update("CREATE TABLE " + child + " (pid INTEGER REFERENCES " + table + " (id) ON DELETE CASCADE,"
                        + " code INTEGER)");
                db.update("CREATE UNIQUE INDEX " + child + "_u ON " + child + " (code DESC, pid)");
                String key = table + " id " + child + " pid 1 " + DatabaseMetaData.importedKeyCascade;
                String[] keyColumns = {"PKTABLE_NAME", "PKCOLUMN_NAME", "FKTABLE_NAME", "FKCOLUMN_NAME", "KEY_SEQ",
                    "DELETE_RULE"};
                assertEquals(List.of(key), rows(md.getImportedKeys(null, null, child), keyColumns));
                assertEquals(List.of(key), rows(md.getExportedKeys(null, null, table), keyColumns));
                // Measured: sqliteodbc calls every index column ascending.
                assertEquals(List.of("code 1 " + (sqlite ? "A" : "D"), "pid 2 A"), rows(md.getIndexInfo(null, null, child, true, false),
                        "COLUMN_NAME", "ORDINAL_POSITION", "ASC_OR_DESC"));

                // SQLite: no catalogues and no schemas; PostgreSQL: the connected database and its schemas.
                // MariaDB: its databases, the connected one among them, are the catalogues.
                assertEquals(sqlite || maria ? List.of() : List.of("public"),
                        rows(md.getSchemas(null, "publ%"), "TABLE_SCHEM"));
                List<String> catalogs = rows(md.getCatalogs(), "TABLE_CAT");
                String tableCatalog = sqlite ? null : rows(md.getTables(null, null, exact, null), "TABLE_CAT").get(0);
                assertTrue(maria ? catalogs.contains(tableCatalog) : catalogs.size() == (sqlite ? 0 : 1), tableCatalog);
                assertEquals(List.of(table), rows(md.getTables(tableCatalog, "%", exact, null), "TABLE_NAME"));

                ResultSet types = md.getTableTypes();
                Statement typesStatement = types.getStatement();
                assertTrue(rows(types, "TABLE_TYPE").contains("VIEW"));
                assertTrue(typesStatement.isClosed(), "a catalogue's statement closes with its result set");
            } finally {
                db.update("DROP TABLE IF EXISTS " + child);
                db.update("DROP VIEW " + view);
            }
        }
    }

    /**
     * DATA_TYPE, COLUMN_SIZE and DECIMAL_DIGITS of declared types as each ODBC
     * driver answers SQLColumns, its codes mapped to java.sql.Types. Measured:
     * sqliteodbc maps by name only (DECIMAL and untyped are text) and swaps
     * DECIMAL_DIGITS with NUM_PREC_RADIX; psqlODBC reports its data source's
     * BoolsAsChar and TextAsLongVarchar, and unknown types as VARCHAR(255);
     * MariaDB's text is wide (NVARCHAR) and it drops DATETIME's fraction.
     */
    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void mapsDeclaredTypesToJdbcTypes(Rig rig) throws SQLException {
        boolean sqlite = rig == Rig.SQLITE;
        String columns = sqlite
                ? "a INT, b BIGINT, c VARCHAR(10), d TEXT, e BLOB, f REAL, g FLOATING POINT, h NUMERIC(5,2),"
                        + " i DATETIME, j BOOLEAN, k"
                : rig == Rig.MARIA
                ? "a SMALLINT, b BIGINT, c VARCHAR(10), d TEXT, e BLOB, f FLOAT, g INT UNSIGNED, h DECIMAL(5,2),"
                        + " i DATETIME(3), j BIT(1), k POINT"
                : "a SMALLINT, b BIGINT, c VARCHAR(10), d TEXT, e BYTEA, f REAL, g INT[], h NUMERIC(5,2),"
                        + " i TIMESTAMP(3), j BOOLEAN, k JSONB";
        List<String> expected = sqlite
                ? List.of("a 4 9 10", "b -5 19 10", "c 12 10 10", "d -1 0 10", "e -2 0 10", "f 8 53 10",
                        "g 8 53 10", "h 8 2 10", "i 93 3 10", "j -7 1 10", "k 12 0 10")
                : rig == Rig.MARIA
                ? List.of("a 5 5 0", "b -5 19 0", "c -9 10 null", "d -16 65535 null", "e -4 65535 null",
                        "f 7 7 null", "g 4 10 0", "h 3 5 2", "i 93 19 null", "j -7 1 null", "k -4 null null")
                : List.of("a 5 5 0", "b -5 19 0", "c 12 10 null", "d -1 8190 null", "e -4 -4 null",
                        "f 7 9 0", "g 12 255 null", "h 2 5 2", "i 93 23 3", "j 12 5 0", "k 12 255 null");
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable(columns);
            assertEquals(expected, rows(db.connection.getMetaData().getColumns(null, null, table, null),
                    "COLUMN_NAME", "DATA_TYPE", "COLUMN_SIZE", "DECIMAL_DIGITS"));
        }
    }

    /** The capabilities each ODBC driver reports through SQLGetInfo, read through the same code everywhere. */
    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void answersCapabilitiesFromTheOdbcDriver(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            DatabaseMetaData md = db.connection.getMetaData();
            boolean maria = rig == Rig.MARIA;
            boolean pg = rig == Rig.POSTGRES;
            boolean sqlite = rig == Rig.SQLITE;
            assertEquals(maria ? "`" : "\"", md.getIdentifierQuoteString());
            assertEquals("\\", md.getSearchStringEscape());
            assertTrue(md.getDatabaseMajorVersion() >= 3, md.getDatabaseProductVersion());
            assertTrue(md.getDriverVersion().contains("ODBC driver "), md.getDriverVersion());
            assertTrue(md.supportsTransactions() && md.supportsUnionAll() && md.supportsOuterJoins());
            assertEquals(pg, md.storesLowerCaseIdentifiers());
            assertEquals(!sqlite, md.supportsCatalogsInDataManipulation());
            assertEquals(pg, md.supportsSchemasInTableDefinitions());
            assertEquals(pg ? "schema" : "", md.getSchemaTerm());
            assertTrue(List.of(md.getTimeDateFunctions().split(",")).contains(sqliteOr(rig, "", "NOW")),
                    md.getTimeDateFunctions());
            assertTrue(md.getMaxConnections() >= 0 && md.getMaxColumnNameLength() >= 0);
        }
    }

    private static String sqliteOr(Rig rig, String sqlite, String others) {
        return rig == Rig.SQLITE ? sqlite : others;
    }

    /** Names that are SQL to a careless driver reach ODBC as arguments: quotes, a backslash, '%', '_' and ソ. */
    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void hostileNamesAndPatternsReachOdbcAsArguments(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            DatabaseMetaData md = db.connection.getMetaData();
            String quote = md.getIdentifierQuoteString();
            String name = "jdbc_" + ProcessHandle.current().pid() + "q'\\%_ソ";
            String quoted = quote + name + quote;
            db.update("CREATE TABLE " + quoted + " (" + quote + "c'ソ" + quote + " INTEGER)");
            try {
                String escape = md.getSearchStringEscape();
                String exact = name.replace(escape, escape + escape).replace("%", escape + "%")
                        .replace("_", escape + "_");
                assertEquals(List.of(name), rows(md.getTables(null, null, exact, null), "TABLE_NAME"));
                assertEquals(List.of("c'ソ 1"), rows(md.getColumns(null, null, exact, "c'%"), "COLUMN_NAME",
                        "ORDINAL_POSITION"));
                assertEquals(List.of(), rows(md.getTables(null, null, name.replace("'", "' OR '1'='1"), null),
                        "TABLE_NAME"));
            } finally {
                db.update("DROP TABLE " + quoted);
            }
        }
    }

    /**
     * Every catalogue answer has JDBC's columns whatever the ODBC driver
     * names them; one a driver lacks is SQLFeatureNotSupportedException.
     */
    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void everyCatalogueAnswerHasJdbcsColumns(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            DatabaseMetaData md = db.connection.getMetaData();
            String table = db.createTable("id INTEGER PRIMARY KEY, v VARCHAR(5)");
            assertEquals("TYPE_NAME DATA_TYPE PRECISION 18", shape(md.getTypeInfo(), 3));
            assertTrue(rows(md.getTypeInfo(), "DATA_TYPE").contains(String.valueOf(Types.INTEGER)));
            assertEquals("SCOPE COLUMN_NAME DATA_TYPE 8", shape(md.getBestRowIdentifier(null, null, table,
                    DatabaseMetaData.bestRowSession, true), 3));
            assertEquals("SCOPE COLUMN_NAME DATA_TYPE 8", shape(md.getVersionColumns(null, null, table), 3));
            assertEquals("PROCEDURE_CAT PROCEDURE_SCHEM PROCEDURE_NAME 9", shape(md.getProcedures(null, null, "%"), 3));
            assertEquals("PROCEDURE_CAT PROCEDURE_SCHEM PROCEDURE_NAME 20",
                    shape(md.getProcedureColumns(null, null, "%", "%"), 3));
            assertEquals("TABLE_CAT TABLE_SCHEM TABLE_NAME 7", shape(md.getTablePrivileges(null, null, table), 3));
            assertEquals("TABLE_CAT TABLE_SCHEM TABLE_NAME 13", shape(md.getIndexInfo(null, null, table, false, true), 3));
            assertEquals("TABLE_SCHEM TABLE_CATALOG 2", shape(md.getSchemas(), 2));
            assertEquals("FUNCTION_CAT FUNCTION_SCHEM FUNCTION_NAME 6", shape(md.getFunctions(null, null, "%"), 3));
            try {
                assertEquals("TABLE_CAT TABLE_SCHEM TABLE_NAME 8", shape(md.getColumnPrivileges(null, null, table, "%"), 3));
            } catch (SQLFeatureNotSupportedException lacked) {
                // Measured: through unixODBC, sqliteodbc and psqlODBC lack SQLColumnPrivileges (iODBC answers it).
                assertTrue(rig != Rig.MARIA && !Rig.underIodbc(), lacked.getMessage());
            }
        }
    }

    /** The first names of a result's columns and their count; the result set is closed. */
    private static String shape(ResultSet rs, int names) throws SQLException {
        try (rs) {
            ResultSetMetaData columns = rs.getMetaData();
            StringBuilder shown = new StringBuilder();
            for (int c = 1; c <= names; c++) {
                shown.append(columns.getColumnName(c)).append(' ');
            }
            return shown.append(columns.getColumnCount()).toString();
        }
    }

    /** Each row's named columns joined by blanks; the result set is closed. */
    private static List<String> rows(ResultSet rs, String... columns) throws SQLException {
        List<String> rows = new ArrayList<>();
        try (rs) {
            while (rs.next()) {
                List<String> values = new ArrayList<>();
                for (String column : columns) {
                    values.add(rs.getString(column));
                }
                rows.add(String.join(" ", values));
            }
        }
        return rows;
    }
}
