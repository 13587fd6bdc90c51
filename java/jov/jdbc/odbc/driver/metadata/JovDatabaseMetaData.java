package jov.jdbc.odbc.driver.metadata;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_COLUMNS;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_COLUMN_PRIVILEGES;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_FOREIGN_KEYS;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_PRIMARY_KEYS;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_PROCEDURES;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_PROCEDURE_COLUMNS;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_SPECIAL_COLUMNS;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_STATISTICS;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_TABLES;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_TABLE_PRIVILEGES;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.CATALOG_TYPE_INFO;

import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.ResultSet;
import java.sql.RowIdLifetime;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import jov.jdbc.odbc.driver.DriverInfo;
import jov.jdbc.odbc.driver.JovConnection;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.link.OdbcCursor;
import jov.jdbc.odbc.driver.link.OdbcLink;

/**
 * What the driver and the database behind a connection can do, and their
 * catalogues, as the ODBC driver tells them: any ODBC data source answers.
 *
 * <p>Catalogue calls run ODBC's catalogue functions (SQLTables, SQLColumns,
 * ...) with the names and patterns as arguments, never as SQL text, and give
 * their rows in the columns JDBC names ({@link CatalogShapes}), read whole
 * on a statement of the connection that closes with the answer. Questions ODBC has no function for (functions, user-defined
 * types, super types and tables, attributes, pseudo columns, client info
 * properties) answer empty: neither ODBC nor this driver knows such objects.
 *
 * <p>Capabilities come from SQLGetInfo ({@link OdbcInfo}, asked once per
 * connection); where an item has no answer, JDBC's answer for "unknown" is
 * given (0 for limits, "" for lists and terms, false for features). What
 * the driver itself does (result sets, batches, savepoints, generated keys)
 * is answered for the driver.
 */
public final class JovDatabaseMetaData implements DatabaseMetaData {

    private static final int JDBC_MAJOR_VERSION = 4;
    private static final int JDBC_MINOR_VERSION = 2;
    private static final Pattern LEADING_NUMBERS = Pattern.compile("^\\s*(\\d+)(?:\\.(\\d+))?");

    /** SQLStatistics' unique and reserved, SQLSpecialColumns' identifier types. */
    private static final int INDEX_UNIQUE = 0;
    private static final int INDEX_ALL = 1;
    private static final int QUICK = 0;
    private static final int ENSURE = 1;
    private static final int BEST_ROWID = 1;
    private static final int ROWVER = 2;
    /** SQLGetTypeInfo's "every type". */
    private static final int ALL_TYPES = 0;

    private final JovConnection connection;
    private final OdbcLink link;
    private final OdbcInfo info;
    private final String url;
    private final String userName;

    /**
     * @param connection the connection whose statements run the catalogue functions
     * @param link its link to ODBC
     * @param info its SQLGetInfo answers
     * @param url the URL it was opened with, as getURL answers it
     * @param userName the user it was opened as, null when none was given
     */
    public JovDatabaseMetaData(JovConnection connection, OdbcLink link, OdbcInfo info, String url, String userName) {
        this.connection = connection;
        this.link = link;
        this.info = info;
        this.url = url;
        this.userName = userName;
    }

    // ---- Catalogues ----

    /**
     * Runs a catalogue function (OdbcNatives.CATALOG_*) and reads its rows
     * whole into the shape, on a statement of its own that a cancel reaches
     * while the function runs and that closes with the answer (tools such as
     * ij use it after the rows).
     */
    private CatalogResult catalog(CatalogShape shape, int function, String[] names, int... numbers)
            throws SQLException {
        Statement statement = connection.createStatement();
        try {
            String[] sent = withoutSchemas(function, names);
            OdbcCursor cursor = unlessMissing(() -> link.catalog(function, sent, numbers, statement));
            try {
                int odbcColumns = link.columns(cursor).count();
                List<Object[]> rows = new ArrayList<>();
                while (link.fetch(cursor)) {
                    rows.add(shape.convert(column -> link.string(cursor, column), odbcColumns));
                }
                return new CatalogResult(statement, shape, rows, statement.getWarnings());
            } finally {
                link.closeCursor(cursor);
            }
        } catch (SQLException | RuntimeException e) {
            statement.close();
            throw e;
        }
    }

    /**
     * The names with every schema argument left out (NULL) where the data
     * source has no schemas (SQL_SCHEMA_USAGE 0): JDBC tools pass one anyway
     * (Spring the user's name), which such a data source's objects cannot
     * have. Measured: MariaDB Connector/ODBC refuses any (HY000, "Schemas are
     * not supported"). SQLTables' list forms keep theirs, as ODBC defines them.
     */
    private String[] withoutSchemas(int function, String[] names) throws SQLException {
        Long usage = info.number(OdbcInfo.SCHEMA_USAGE, OdbcInfo.INT);
        boolean listForm = function == CATALOG_TABLES && "".equals(names[2]);
        if (usage == null || usage != 0 || listForm || function == CATALOG_TYPE_INFO) {
            return names;
        }
        String[] sent = names.clone();
        sent[1] = null;
        if (function == CATALOG_FOREIGN_KEYS) {
            sent[4] = null;
        }
        return sent;
    }

    /** What an ODBC call gives. */
    private interface OdbcCall<T> {
        T run() throws SQLException;
    }

    /** The call's answer; a function the ODBC driver lacks (IM001) is a feature JDBC may refuse. */
    private static <T> T unlessMissing(OdbcCall<T> call) throws SQLException {
        try {
            return call.run();
        } catch (SQLException e) {
            if (!"IM001".equals(e.getSQLState())) {
                throw e;
            }
            throw new SQLFeatureNotSupportedException(e.getMessage(), Errors.NOT_SUPPORTED, e.getErrorCode(), e);
        }
    }

    /** An answer with no rows, for the questions ODBC has no function for. */
    private static ResultSet empty(CatalogShape shape) {
        return new CatalogResult(null, shape, Collections.<Object[]>emptyList(), null);
    }

    /**
     * SQLTables' list forms: one kind of name (the shape's first column) and
     * nothing else, per ODBC's rules. Measured: sqliteodbc lists one NULL
     * catalogue and schema where it has none, psqlODBC some table types
     * twice; JDBC wants neither.
     */
    private CatalogResult listOf(CatalogShape shape, String catalog, String schema, String types) throws SQLException {
        Set<Object> seen = new HashSet<>();
        return catalog(shape, CATALOG_TABLES, new String[] {catalog, schema, "", types})
                .keep(row -> row[0] != null && seen.add(Arrays.asList(row)));
    }

    /** A JDBC table types array as SQLTables' list: each quoted, commas between; null for any. */
    private static String tableTypes(String[] types) {
        if (types == null) {
            return null;
        }
        StringBuilder list = new StringBuilder();
        for (String type : types) {
            list.append(list.length() == 0 ? "" : ",").append('\'').append(type).append('\'');
        }
        return list.toString();
    }

    @Override
    public ResultSet getTables(String catalogName, String schemaPattern, String tableNamePattern, String[] types)
            throws SQLException {
        String sent = CatalogShapes.widened(tableNamePattern, getSearchStringEscape());
        CatalogResult tables = catalog(CatalogShapes.TABLES, CATALOG_TABLES,
                new String[] {catalogName, schemaPattern, sent, tableTypes(types)});
        // Measured: MariaDB Connector/ODBC lists views before tables, against the order JDBC and ODBC give.
        return narrowed(tables, TABLE_NAME, tableNamePattern, sent).sorted(TABLE_TYPE, TABLE_CAT, TABLE_SCHEM,
                TABLE_NAME);
    }

    /** The answer to a widened pattern narrowed by the exact one; as it is when the pattern went as given. */
    private CatalogResult narrowed(CatalogResult answer, int column, String pattern, String sent)
            throws SQLException {
        return pattern == null || pattern.equals(sent) ? answer : matching(answer, column, pattern);
    }

    /**
     * The rows whose name in the column the pattern matches, case-blind unless
     * SQL_IDENTIFIER_CASE says the database tells names by their case.
     */
    private CatalogResult matching(CatalogResult answer, int column, String pattern) throws SQLException {
        Pattern names = CatalogShapes.likePattern(pattern, getSearchStringEscape(), !supportsMixedCaseIdentifiers());
        return answer.keep(row -> row[column] != null && names.matcher((String) row[column]).matches());
    }

    /** Where getTables has its columns, from 0. */
    private static final int TABLE_CAT = 0;
    private static final int TABLE_SCHEM = 1;
    private static final int TABLE_NAME = 2;
    private static final int TABLE_TYPE = 3;

    @Override
    public ResultSet getColumns(String catalogName, String schemaPattern, String tableNamePattern,
            String columnNamePattern) throws SQLException {
        // Measured: psqlODBC numbers ORDINAL_POSITION among the columns a pattern matched. All of a
        // table's columns, narrowed here, keep the table's positions on every driver.
        String sent = CatalogShapes.widened(tableNamePattern, getSearchStringEscape());
        CatalogResult columns = narrowed(catalog(CatalogShapes.COLUMNS, CATALOG_COLUMNS,
                new String[] {catalogName, schemaPattern, sent, null}), TABLE_NAME, tableNamePattern, sent);
        return columnNamePattern == null || "%".equals(columnNamePattern) ? columns
                : matching(columns, COLUMN_NAME, columnNamePattern);
    }

    /** Where getColumns has COLUMN_NAME, from 0. */
    private static final int COLUMN_NAME = 3;

    @Override
    public ResultSet getPrimaryKeys(String catalogName, String schema, String table) throws SQLException {
        return catalog(CatalogShapes.PRIMARY_KEYS, CATALOG_PRIMARY_KEYS, new String[] {catalogName, schema, table});
    }

    @Override
    public ResultSet getSchemas() throws SQLException {
        return getSchemas(null, null);
    }

    /** The list of schemas SQLTables gives, narrowed here by catalogue and pattern, which its list form does not take. */
    @Override
    public ResultSet getSchemas(String catalogName, String schemaPattern) throws SQLException {
        CatalogResult schemas = listOf(CatalogShapes.SCHEMAS, "", "%", "")
                .keep(row -> catalogName == null || catalogName.equals(row[1] == null ? "" : row[1]));
        return schemaPattern == null ? schemas : matching(schemas, 0, schemaPattern);
    }

    @Override
    public ResultSet getCatalogs() throws SQLException {
        return listOf(CatalogShapes.CATALOGS, "%", "", "");
    }

    @Override
    public ResultSet getTableTypes() throws SQLException {
        return listOf(CatalogShapes.TABLE_TYPES, "", "", "%");
    }

    @Override
    public ResultSet getProcedures(String catalogName, String schemaPattern, String procedureNamePattern)
            throws SQLException {
        return catalog(CatalogShapes.PROCEDURES, CATALOG_PROCEDURES,
                new String[] {catalogName, schemaPattern, procedureNamePattern});
    }

    @Override
    public ResultSet getProcedureColumns(String catalogName, String schemaPattern, String procedureNamePattern,
            String columnNamePattern) throws SQLException {
        return catalog(CatalogShapes.PROCEDURE_COLUMNS, CATALOG_PROCEDURE_COLUMNS,
                new String[] {catalogName, schemaPattern, procedureNamePattern, columnNamePattern});
    }

    /** ODBC has no function for functions: none are listed. */
    @Override
    public ResultSet getFunctions(String catalogName, String schemaPattern, String functionNamePattern) {
        return empty(CatalogShapes.FUNCTIONS);
    }

    /** ODBC has no function for functions: none are listed. */
    @Override
    public ResultSet getFunctionColumns(String catalogName, String schemaPattern, String functionNamePattern,
            String columnNamePattern) {
        return empty(CatalogShapes.FUNCTION_COLUMNS);
    }

    /** ODBC knows no user-defined types: none are listed. */
    @Override
    public ResultSet getUDTs(String catalogName, String schemaPattern, String typeNamePattern, int[] types) {
        return empty(CatalogShapes.UDTS);
    }

    /** ODBC knows no type hierarchies: none are listed. */
    @Override
    public ResultSet getSuperTypes(String catalogName, String schemaPattern, String typeNamePattern) {
        return empty(CatalogShapes.SUPER_TYPES);
    }

    /** ODBC knows no table hierarchies: none are listed. */
    @Override
    public ResultSet getSuperTables(String catalogName, String schemaPattern, String tableNamePattern) {
        return empty(CatalogShapes.SUPER_TABLES);
    }

    /** ODBC knows no user-defined types: none are listed. */
    @Override
    public ResultSet getAttributes(String catalogName, String schemaPattern, String typeNamePattern,
            String attributeNamePattern) {
        return empty(CatalogShapes.ATTRIBUTES);
    }

    @Override
    public ResultSet getTablePrivileges(String catalogName, String schemaPattern, String tableNamePattern)
            throws SQLException {
        return catalog(CatalogShapes.TABLE_PRIVILEGES, CATALOG_TABLE_PRIVILEGES,
                new String[] {catalogName, schemaPattern, tableNamePattern});
    }

    @Override
    public ResultSet getColumnPrivileges(String catalogName, String schema, String table, String columnNamePattern)
            throws SQLException {
        return catalog(CatalogShapes.COLUMN_PRIVILEGES, CATALOG_COLUMN_PRIVILEGES,
                new String[] {catalogName, schema, table, columnNamePattern});
    }

    /** The driver takes no client info properties, whatever the database. */
    @Override
    public ResultSet getClientInfoProperties() {
        return empty(CatalogShapes.CLIENT_INFO);
    }

    /** JDBC's scopes (bestRowTemporary, bestRowTransaction, bestRowSession) are ODBC's numbers. */
    @Override
    public ResultSet getBestRowIdentifier(String catalogName, String schema, String table, int scope,
            boolean nullable) throws SQLException {
        return catalog(CatalogShapes.SPECIAL_COLUMNS, CATALOG_SPECIAL_COLUMNS,
                new String[] {catalogName, schema, table}, BEST_ROWID, scope, nullable ? 1 : 0);
    }

    @Override
    public ResultSet getVersionColumns(String catalogName, String schema, String table) throws SQLException {
        return catalog(CatalogShapes.SPECIAL_COLUMNS, CATALOG_SPECIAL_COLUMNS,
                new String[] {catalogName, schema, table}, ROWVER, 0, 1);
    }

    @Override
    public ResultSet getImportedKeys(String catalogName, String schema, String table) throws SQLException {
        return catalog(CatalogShapes.FOREIGN_KEYS, CATALOG_FOREIGN_KEYS,
                new String[] {null, null, null, catalogName, schema, table});
    }

    @Override
    public ResultSet getExportedKeys(String catalogName, String schema, String table) throws SQLException {
        return catalog(CatalogShapes.FOREIGN_KEYS, CATALOG_FOREIGN_KEYS,
                new String[] {catalogName, schema, table, null, null, null});
    }

    @Override
    public ResultSet getCrossReference(String parentCatalog, String parentSchema, String parentTable,
            String foreignCatalog, String foreignSchema, String foreignTable) throws SQLException {
        return catalog(CatalogShapes.FOREIGN_KEYS, CATALOG_FOREIGN_KEYS, new String[] {parentCatalog, parentSchema,
            parentTable, foreignCatalog, foreignSchema, foreignTable});
    }

    @Override
    public ResultSet getTypeInfo() throws SQLException {
        return catalog(CatalogShapes.TYPE_INFO, CATALOG_TYPE_INFO, new String[0], ALL_TYPES);
    }

    /** {@code approximate} lets the driver answer cardinality and pages from what it has (SQL_QUICK). */
    @Override
    public ResultSet getIndexInfo(String catalogName, String schema, String table, boolean unique,
            boolean approximate) throws SQLException {
        return catalog(CatalogShapes.INDEX_INFO, CATALOG_STATISTICS, new String[] {catalogName, schema, table},
                unique ? INDEX_UNIQUE : INDEX_ALL, approximate ? QUICK : ENSURE);
    }

    /** ODBC lists no pseudo columns: none are listed. */
    @Override
    public ResultSet getPseudoColumns(String catalogName, String schemaPattern, String tableNamePattern,
            String columnNamePattern) {
        return empty(CatalogShapes.PSEUDO_COLUMNS);
    }

    // ---- The connection, the driver and the product ----

    @Override
    public Connection getConnection() {
        return connection;
    }

    @Override
    public String getURL() {
        return url;
    }

    @Override
    public String getUserName() {
        return userName;
    }

    @Override
    public boolean isReadOnly() throws SQLException {
        return connection.isReadOnly();
    }

    /** SQL_DBMS_NAME, "" when the ODBC driver does not tell. */
    @Override
    public String getDatabaseProductName() throws SQLException {
        return info.text(OdbcInfo.DBMS_NAME);
    }

    /** SQL_DBMS_VER, "" when the ODBC driver does not tell. */
    @Override
    public String getDatabaseProductVersion() throws SQLException {
        return info.text(OdbcInfo.DBMS_VER);
    }

    /** The leading number of SQL_DBMS_VER, 0 when there is none. */
    @Override
    public int getDatabaseMajorVersion() throws SQLException {
        return versionPart(info.text(OdbcInfo.DBMS_VER), 1);
    }

    /** The number after the first dot of SQL_DBMS_VER, 0 when there is none. */
    @Override
    public int getDatabaseMinorVersion() throws SQLException {
        return versionPart(info.text(OdbcInfo.DBMS_VER), 2);
    }

    static int versionPart(String version, int group) {
        Matcher m = LEADING_NUMBERS.matcher(version);
        if (!m.find() || m.group(group) == null) {
            return 0;
        }
        try {
            return Integer.parseInt(m.group(group));
        } catch (NumberFormatException tooLong) {
            return 0;
        }
    }

    @Override
    public String getDriverName() {
        return DriverInfo.NAME;
    }

    /** This driver's version, then the ODBC driver's file and version (SQL_DRIVER_NAME, SQL_DRIVER_VER) it runs over. */
    @Override
    public String getDriverVersion() throws SQLException {
        return DriverInfo.VERSION + " (ODBC driver " + info.text(OdbcInfo.DRIVER_NAME) + " "
                + info.text(OdbcInfo.DRIVER_VER) + ")";
    }

    @Override
    public int getDriverMajorVersion() {
        return DriverInfo.MAJOR_VERSION;
    }

    @Override
    public int getDriverMinorVersion() {
        return DriverInfo.MINOR_VERSION;
    }

    @Override
    public int getJDBCMajorVersion() {
        return JDBC_MAJOR_VERSION;
    }

    @Override
    public int getJDBCMinorVersion() {
        return JDBC_MINOR_VERSION;
    }

    @Override
    public int getSQLStateType() {
        return sqlStateSQL;
    }

    // ---- Names, quoting and terms ----

    /** SQL_IDENTIFIER_QUOTE_CHAR; a space, JDBC's "no quoting", when the ODBC driver does not tell. */
    @Override
    public String getIdentifierQuoteString() throws SQLException {
        String quote = info.text(OdbcInfo.IDENTIFIER_QUOTE_CHAR);
        return quote.isEmpty() ? " " : quote;
    }

    /** SQL_SEARCH_PATTERN_ESCAPE: the escape the catalogue functions take in patterns. */
    @Override
    public String getSearchStringEscape() throws SQLException {
        return info.text(OdbcInfo.SEARCH_PATTERN_ESCAPE);
    }

    @Override
    public String getExtraNameCharacters() throws SQLException {
        return info.text(OdbcInfo.SPECIAL_CHARACTERS);
    }

    /** SQL_KEYWORDS: the database's keywords beyond ODBC's list. */
    @Override
    public String getSQLKeywords() throws SQLException {
        return info.text(OdbcInfo.KEYWORDS);
    }

    /** The {fn ...} functions SQL_NUMERIC_FUNCTIONS lists. */
    @Override
    public String getNumericFunctions() throws SQLException {
        return info.names(OdbcInfo.NUMERIC_FUNCTIONS, new String[] {"ABS", "ACOS", "ASIN", "ATAN", "ATAN2",
            "CEILING", "COS", "COT", "EXP", "FLOOR", "LOG", "MOD", "SIGN", "SIN", "SQRT", "TAN", "PI", "RAND",
            "DEGREES", "LOG10", "POWER", "RADIANS", "ROUND", "TRUNCATE"});
    }

    /** The {fn ...} functions SQL_STRING_FUNCTIONS lists (LOCATE once, whichever form). */
    @Override
    public String getStringFunctions() throws SQLException {
        String locate = info.has(OdbcInfo.STRING_FUNCTIONS, LOCATE) ? null : "LOCATE";
        return info.names(OdbcInfo.STRING_FUNCTIONS, new String[] {"CONCAT", "INSERT", "LEFT", "LTRIM", "LENGTH",
            "LOCATE", "LCASE", "REPEAT", "REPLACE", "RIGHT", "RTRIM", "SUBSTRING", "UCASE", "ASCII", "CHAR",
            "DIFFERENCE", locate, "SOUNDEX", "SPACE", "BIT_LENGTH", "CHAR_LENGTH", "CHARACTER_LENGTH",
            "OCTET_LENGTH", "POSITION"});
    }

    /** SQL_FN_STR_LOCATE. */
    private static final long LOCATE = 0x20;

    /** The {fn ...} functions SQL_SYSTEM_FUNCTIONS lists, USER for ODBC's USERNAME as JDBC names it. */
    @Override
    public String getSystemFunctions() throws SQLException {
        return info.names(OdbcInfo.SYSTEM_FUNCTIONS, new String[] {"USER", "DATABASE", "IFNULL"});
    }

    /** The {fn ...} functions SQL_TIMEDATE_FUNCTIONS lists. */
    @Override
    public String getTimeDateFunctions() throws SQLException {
        return info.names(OdbcInfo.TIMEDATE_FUNCTIONS, new String[] {"NOW", "CURDATE", "DAYOFMONTH", "DAYOFWEEK",
            "DAYOFYEAR", "MONTH", "QUARTER", "WEEK", "YEAR", "CURTIME", "HOUR", "MINUTE", "SECOND", "TIMESTAMPADD",
            "TIMESTAMPDIFF", "DAYNAME", "MONTHNAME", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
            "EXTRACT"});
    }

    @Override
    public String getSchemaTerm() throws SQLException {
        return info.text(OdbcInfo.SCHEMA_TERM);
    }

    @Override
    public String getProcedureTerm() throws SQLException {
        return info.text(OdbcInfo.PROCEDURE_TERM);
    }

    @Override
    public String getCatalogTerm() throws SQLException {
        return info.text(OdbcInfo.CATALOG_TERM);
    }

    /** SQL_CATALOG_LOCATION is SQL_CL_START. */
    @Override
    public boolean isCatalogAtStart() throws SQLException {
        return info.is(OdbcInfo.CATALOG_LOCATION, 1);
    }

    @Override
    public String getCatalogSeparator() throws SQLException {
        return info.text(OdbcInfo.CATALOG_NAME_SEPARATOR);
    }

    /** SQL_IDENTIFIER_CASE and SQL_QUOTED_IDENTIFIER_CASE: upper, lower, sensitive (mixed, kept), mixed (kept, compared case-blind). */
    private static final int CASE_UPPER = 1;
    private static final int CASE_LOWER = 2;
    private static final int CASE_SENSITIVE = 3;
    private static final int CASE_MIXED = 4;

    @Override
    public boolean supportsMixedCaseIdentifiers() throws SQLException {
        return info.is(OdbcInfo.IDENTIFIER_CASE, CASE_SENSITIVE);
    }

    @Override
    public boolean storesUpperCaseIdentifiers() throws SQLException {
        return info.is(OdbcInfo.IDENTIFIER_CASE, CASE_UPPER);
    }

    @Override
    public boolean storesLowerCaseIdentifiers() throws SQLException {
        return info.is(OdbcInfo.IDENTIFIER_CASE, CASE_LOWER);
    }

    @Override
    public boolean storesMixedCaseIdentifiers() throws SQLException {
        return info.is(OdbcInfo.IDENTIFIER_CASE, CASE_MIXED);
    }

    @Override
    public boolean supportsMixedCaseQuotedIdentifiers() throws SQLException {
        return info.is(OdbcInfo.QUOTED_IDENTIFIER_CASE, CASE_SENSITIVE);
    }

    @Override
    public boolean storesUpperCaseQuotedIdentifiers() throws SQLException {
        return info.is(OdbcInfo.QUOTED_IDENTIFIER_CASE, CASE_UPPER);
    }

    @Override
    public boolean storesLowerCaseQuotedIdentifiers() throws SQLException {
        return info.is(OdbcInfo.QUOTED_IDENTIFIER_CASE, CASE_LOWER);
    }

    @Override
    public boolean storesMixedCaseQuotedIdentifiers() throws SQLException {
        return info.is(OdbcInfo.QUOTED_IDENTIFIER_CASE, CASE_MIXED);
    }

    // ---- Limits, from SQLGetInfo: 0 where there is none or it is unknown ----

    @Override
    public int getMaxBinaryLiteralLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_BINARY_LITERAL_LEN, OdbcInfo.INT);
    }

    @Override
    public int getMaxCharLiteralLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_CHAR_LITERAL_LEN, OdbcInfo.INT);
    }

    @Override
    public int getMaxColumnNameLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_COLUMN_NAME_LEN, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxColumnsInGroupBy() throws SQLException {
        return info.limit(OdbcInfo.MAX_COLUMNS_IN_GROUP_BY, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxColumnsInIndex() throws SQLException {
        return info.limit(OdbcInfo.MAX_COLUMNS_IN_INDEX, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxColumnsInOrderBy() throws SQLException {
        return info.limit(OdbcInfo.MAX_COLUMNS_IN_ORDER_BY, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxColumnsInSelect() throws SQLException {
        return info.limit(OdbcInfo.MAX_COLUMNS_IN_SELECT, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxColumnsInTable() throws SQLException {
        return info.limit(OdbcInfo.MAX_COLUMNS_IN_TABLE, OdbcInfo.SHORT);
    }

    /** SQL_MAX_DRIVER_CONNECTIONS. */
    @Override
    public int getMaxConnections() throws SQLException {
        return info.limit(OdbcInfo.MAX_DRIVER_CONNECTIONS, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxCursorNameLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_CURSOR_NAME_LEN, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxIndexLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_INDEX_SIZE, OdbcInfo.INT);
    }

    @Override
    public int getMaxSchemaNameLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_SCHEMA_NAME_LEN, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxProcedureNameLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_PROCEDURE_NAME_LEN, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxCatalogNameLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_CATALOG_NAME_LEN, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxRowSize() throws SQLException {
        return info.limit(OdbcInfo.MAX_ROW_SIZE, OdbcInfo.INT);
    }

    @Override
    public boolean doesMaxRowSizeIncludeBlobs() throws SQLException {
        return info.yes(OdbcInfo.MAX_ROW_SIZE_INCLUDES_LONG);
    }

    @Override
    public int getMaxStatementLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_STATEMENT_LEN, OdbcInfo.INT);
    }

    /** SQL_MAX_CONCURRENT_ACTIVITIES: statements active at once on a connection. */
    @Override
    public int getMaxStatements() throws SQLException {
        return info.limit(OdbcInfo.MAX_CONCURRENT_ACTIVITIES, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxTableNameLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_TABLE_NAME_LEN, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxTablesInSelect() throws SQLException {
        return info.limit(OdbcInfo.MAX_TABLES_IN_SELECT, OdbcInfo.SHORT);
    }

    @Override
    public int getMaxUserNameLength() throws SQLException {
        return info.limit(OdbcInfo.MAX_USER_NAME_LEN, OdbcInfo.SHORT);
    }

    /** ODBC has no item for it: 0, unknown. */
    @Override
    public long getMaxLogicalLobSize() {
        return 0;
    }

    // ---- SQL the database accepts, from SQLGetInfo; false where it does not tell ----

    @Override
    public boolean allProceduresAreCallable() throws SQLException {
        return info.yes(OdbcInfo.ACCESSIBLE_PROCEDURES);
    }

    @Override
    public boolean allTablesAreSelectable() throws SQLException {
        return info.yes(OdbcInfo.ACCESSIBLE_TABLES);
    }

    /** SQL_NULL_COLLATION: SQL_NC_HIGH, SQL_NC_LOW, SQL_NC_START, SQL_NC_END. */
    private static final int NULLS_HIGH = 0;
    private static final int NULLS_LOW = 1;
    private static final int NULLS_START = 2;
    private static final int NULLS_END = 4;

    @Override
    public boolean nullsAreSortedHigh() throws SQLException {
        return info.is(OdbcInfo.NULL_COLLATION, NULLS_HIGH);
    }

    @Override
    public boolean nullsAreSortedLow() throws SQLException {
        return info.is(OdbcInfo.NULL_COLLATION, NULLS_LOW);
    }

    @Override
    public boolean nullsAreSortedAtStart() throws SQLException {
        return info.is(OdbcInfo.NULL_COLLATION, NULLS_START);
    }

    @Override
    public boolean nullsAreSortedAtEnd() throws SQLException {
        return info.is(OdbcInfo.NULL_COLLATION, NULLS_END);
    }

    /** SQL_FILE_USAGE: SQL_FILE_TABLE or SQL_FILE_CATALOG. */
    @Override
    public boolean usesLocalFiles() throws SQLException {
        return info.is(OdbcInfo.FILE_USAGE, 1) || info.is(OdbcInfo.FILE_USAGE, 2);
    }

    @Override
    public boolean usesLocalFilePerTable() throws SQLException {
        return info.is(OdbcInfo.FILE_USAGE, 1);
    }

    /** SQL_ALTER_TABLE's SQL_AT_ADD_COLUMN_SINGLE or its ODBC 2 form SQL_AT_ADD_COLUMN. */
    @Override
    public boolean supportsAlterTableWithAddColumn() throws SQLException {
        return info.has(OdbcInfo.ALTER_TABLE, 0x20) || info.has(OdbcInfo.ALTER_TABLE, 0x1);
    }

    /** SQL_ALTER_TABLE's SQL_AT_DROP_COLUMN_CASCADE or _RESTRICT, or its ODBC 2 form SQL_AT_DROP_COLUMN. */
    @Override
    public boolean supportsAlterTableWithDropColumn() throws SQLException {
        return info.has(OdbcInfo.ALTER_TABLE, 0x400) || info.has(OdbcInfo.ALTER_TABLE, 0x800)
                || info.has(OdbcInfo.ALTER_TABLE, 0x2);
    }

    @Override
    public boolean supportsColumnAliasing() throws SQLException {
        return info.yes(OdbcInfo.COLUMN_ALIAS);
    }

    /** SQL_CONCAT_NULL_BEHAVIOR is SQL_CB_NULL. */
    @Override
    public boolean nullPlusNonNullIsNull() throws SQLException {
        return info.is(OdbcInfo.CONCAT_NULL_BEHAVIOR, 0);
    }

    /** SQL_CONVERT_FUNCTIONS has {fn CONVERT}. */
    @Override
    public boolean supportsConvert() throws SQLException {
        return info.has(OdbcInfo.CONVERT_FUNCTIONS, 1);
    }

    /** Not asked per type pair (ODBC's SQL_CONVERT_* items): false, as for unknown. */
    @Override
    public boolean supportsConvert(int fromType, int toType) {
        return false;
    }

    /** SQL_CORRELATION_NAME: SQL_CN_DIFFERENT or SQL_CN_ANY. */
    @Override
    public boolean supportsTableCorrelationNames() throws SQLException {
        return info.is(OdbcInfo.CORRELATION_NAME, 1) || info.is(OdbcInfo.CORRELATION_NAME, 2);
    }

    @Override
    public boolean supportsDifferentTableCorrelationNames() throws SQLException {
        return info.is(OdbcInfo.CORRELATION_NAME, 1);
    }

    @Override
    public boolean supportsExpressionsInOrderBy() throws SQLException {
        return info.yes(OdbcInfo.EXPRESSIONS_IN_ORDERBY);
    }

    /** SQL_ORDER_BY_COLUMNS_IN_SELECT is "N": ORDER BY may name columns the select list lacks. */
    @Override
    public boolean supportsOrderByUnrelated() throws SQLException {
        return "N".equalsIgnoreCase(info.text(OdbcInfo.ORDER_BY_COLUMNS_IN_SELECT));
    }

    /** SQL_GROUP_BY: SQL_GB_NOT_SUPPORTED, _EQUALS_SELECT, _CONTAINS_SELECT, _NO_RELATION, _COLLATE. */
    @Override
    public boolean supportsGroupBy() throws SQLException {
        Long groupBy = info.number(OdbcInfo.GROUP_BY, OdbcInfo.SHORT);
        return groupBy != null && groupBy != 0;
    }

    @Override
    public boolean supportsGroupByUnrelated() throws SQLException {
        return info.is(OdbcInfo.GROUP_BY, 3);
    }

    @Override
    public boolean supportsGroupByBeyondSelect() throws SQLException {
        return info.is(OdbcInfo.GROUP_BY, 2) || info.is(OdbcInfo.GROUP_BY, 3);
    }

    @Override
    public boolean supportsLikeEscapeClause() throws SQLException {
        return info.yes(OdbcInfo.LIKE_ESCAPE_CLAUSE);
    }

    @Override
    public boolean supportsMultipleResultSets() throws SQLException {
        return info.yes(OdbcInfo.MULT_RESULT_SETS);
    }

    @Override
    public boolean supportsMultipleTransactions() throws SQLException {
        return info.yes(OdbcInfo.MULTIPLE_ACTIVE_TXN);
    }

    /** SQL_NON_NULLABLE_COLUMNS is SQL_NNC_NON_NULL. */
    @Override
    public boolean supportsNonNullableColumns() throws SQLException {
        return info.is(OdbcInfo.NON_NULLABLE_COLUMNS, 1);
    }

    /** True for every JDBC driver, as JDBC asks. */
    @Override
    public boolean supportsMinimumSQLGrammar() {
        return true;
    }

    /** SQL_ODBC_SQL_CONFORMANCE: SQL_OSC_CORE or SQL_OSC_EXTENDED. */
    @Override
    public boolean supportsCoreSQLGrammar() throws SQLException {
        return info.is(OdbcInfo.ODBC_SQL_CONFORMANCE, 1) || supportsExtendedSQLGrammar();
    }

    @Override
    public boolean supportsExtendedSQLGrammar() throws SQLException {
        return info.is(OdbcInfo.ODBC_SQL_CONFORMANCE, 2);
    }

    /** SQL_SQL_CONFORMANCE: SQL_SC_SQL92_ENTRY, FIPS127_2_TRANSITIONAL, _INTERMEDIATE, _FULL, one bit each. */
    @Override
    public boolean supportsANSI92EntryLevelSQL() throws SQLException {
        Long level = info.number(OdbcInfo.SQL_CONFORMANCE, OdbcInfo.INT);
        return level != null && level != 0;
    }

    @Override
    public boolean supportsANSI92IntermediateSQL() throws SQLException {
        return info.has(OdbcInfo.SQL_CONFORMANCE, 0x4) || supportsANSI92FullSQL();
    }

    @Override
    public boolean supportsANSI92FullSQL() throws SQLException {
        return info.has(OdbcInfo.SQL_CONFORMANCE, 0x8);
    }

    @Override
    public boolean supportsIntegrityEnhancementFacility() throws SQLException {
        return info.yes(OdbcInfo.INTEGRITY);
    }

    /** SQL_OJ_CAPABILITIES: SQL_OJ_LEFT, _RIGHT, _FULL, ... */
    private static final long OJ_LEFT = 0x1;
    private static final long OJ_RIGHT = 0x2;
    private static final long OJ_FULL = 0x4;

    @Override
    public boolean supportsOuterJoins() throws SQLException {
        return info.has(OdbcInfo.OJ_CAPABILITIES, OJ_LEFT) || info.has(OdbcInfo.OJ_CAPABILITIES, OJ_RIGHT);
    }

    @Override
    public boolean supportsFullOuterJoins() throws SQLException {
        return info.has(OdbcInfo.OJ_CAPABILITIES, OJ_FULL);
    }

    @Override
    public boolean supportsLimitedOuterJoins() throws SQLException {
        return supportsOuterJoins();
    }

    /** SQL_SCHEMA_USAGE and SQL_CATALOG_USAGE: DML, procedure calls, tables, indexes, privileges. */
    private static final long USAGE_DML = 0x1;
    private static final long USAGE_PROCEDURE = 0x2;
    private static final long USAGE_TABLE = 0x4;
    private static final long USAGE_INDEX = 0x8;
    private static final long USAGE_PRIVILEGE = 0x10;

    @Override
    public boolean supportsSchemasInDataManipulation() throws SQLException {
        return info.has(OdbcInfo.SCHEMA_USAGE, USAGE_DML);
    }

    @Override
    public boolean supportsSchemasInProcedureCalls() throws SQLException {
        return info.has(OdbcInfo.SCHEMA_USAGE, USAGE_PROCEDURE);
    }

    @Override
    public boolean supportsSchemasInTableDefinitions() throws SQLException {
        return info.has(OdbcInfo.SCHEMA_USAGE, USAGE_TABLE);
    }

    @Override
    public boolean supportsSchemasInIndexDefinitions() throws SQLException {
        return info.has(OdbcInfo.SCHEMA_USAGE, USAGE_INDEX);
    }

    @Override
    public boolean supportsSchemasInPrivilegeDefinitions() throws SQLException {
        return info.has(OdbcInfo.SCHEMA_USAGE, USAGE_PRIVILEGE);
    }

    @Override
    public boolean supportsCatalogsInDataManipulation() throws SQLException {
        return info.has(OdbcInfo.CATALOG_USAGE, USAGE_DML);
    }

    @Override
    public boolean supportsCatalogsInProcedureCalls() throws SQLException {
        return info.has(OdbcInfo.CATALOG_USAGE, USAGE_PROCEDURE);
    }

    @Override
    public boolean supportsCatalogsInTableDefinitions() throws SQLException {
        return info.has(OdbcInfo.CATALOG_USAGE, USAGE_TABLE);
    }

    @Override
    public boolean supportsCatalogsInIndexDefinitions() throws SQLException {
        return info.has(OdbcInfo.CATALOG_USAGE, USAGE_INDEX);
    }

    @Override
    public boolean supportsCatalogsInPrivilegeDefinitions() throws SQLException {
        return info.has(OdbcInfo.CATALOG_USAGE, USAGE_PRIVILEGE);
    }

    /** The driver's results cannot change data. */
    @Override
    public boolean supportsPositionedDelete() {
        return false;
    }

    @Override
    public boolean supportsPositionedUpdate() {
        return false;
    }

    /** ODBC has no item for SELECT ... FOR UPDATE: false, as for unknown. */
    @Override
    public boolean supportsSelectForUpdate() {
        return false;
    }

    /** The driver has no callable statements, whatever SQL_PROCEDURES says of the database. */
    @Override
    public boolean supportsStoredProcedures() {
        return false;
    }

    /** SQL_SUBQUERIES: comparison, EXISTS, IN, quantified, correlated. */
    @Override
    public boolean supportsSubqueriesInComparisons() throws SQLException {
        return info.has(OdbcInfo.SUBQUERIES, 0x1);
    }

    @Override
    public boolean supportsSubqueriesInExists() throws SQLException {
        return info.has(OdbcInfo.SUBQUERIES, 0x2);
    }

    @Override
    public boolean supportsSubqueriesInIns() throws SQLException {
        return info.has(OdbcInfo.SUBQUERIES, 0x4);
    }

    @Override
    public boolean supportsSubqueriesInQuantifieds() throws SQLException {
        return info.has(OdbcInfo.SUBQUERIES, 0x8);
    }

    @Override
    public boolean supportsCorrelatedSubqueries() throws SQLException {
        return info.has(OdbcInfo.SUBQUERIES, 0x10);
    }

    @Override
    public boolean supportsUnion() throws SQLException {
        return info.has(OdbcInfo.UNION, 0x1);
    }

    @Override
    public boolean supportsUnionAll() throws SQLException {
        return info.has(OdbcInfo.UNION, 0x2);
    }

    // ---- Transactions ----

    /** SQL_TXN_CAPABLE: SQL_TC_NONE, _DML, _ALL, _DDL_COMMIT, _DDL_IGNORE. */
    private static final int TXN_NONE = 0;
    private static final int TXN_DML = 1;
    private static final int TXN_ALL = 2;
    private static final int TXN_DDL_COMMIT = 3;
    private static final int TXN_DDL_IGNORE = 4;

    /** Unless SQL_TXN_CAPABLE says SQL_TC_NONE: commit and rollback go through the ODBC driver. */
    @Override
    public boolean supportsTransactions() throws SQLException {
        return !info.is(OdbcInfo.TXN_CAPABLE, TXN_NONE);
    }

    /**
     * SQL_DEFAULT_TXN_ISOLATION, whose bits are JDBC's levels; READ COMMITTED
     * when the driver does not tell, the connection's own when it says none
     * though SQL_TXN_CAPABLE says it has transactions.
     */
    @Override
    public int getDefaultTransactionIsolation() throws SQLException {
        Long level = info.number(OdbcInfo.DEFAULT_TXN_ISOLATION, OdbcInfo.INT);
        if (level == null) {
            return JovConnection.DEFAULT_ISOLATION;
        }
        // Measured: MariaDB Connector/ODBC answers 0, "no transactions", though it has them.
        return level == 0 && supportsTransactions() ? connection.getTransactionIsolation() : level.intValue();
    }

    /** SQL_TXN_ISOLATION_OPTION, whose bits are JDBC's levels; NONE where SQL_TXN_CAPABLE says none. */
    @Override
    public boolean supportsTransactionIsolationLevel(int level) throws SQLException {
        if (level == Connection.TRANSACTION_NONE) {
            return info.is(OdbcInfo.TXN_CAPABLE, TXN_NONE);
        }
        return level > 0 && info.has(OdbcInfo.TXN_ISOLATION_OPTION, level);
    }

    @Override
    public boolean supportsDataDefinitionAndDataManipulationTransactions() throws SQLException {
        return info.is(OdbcInfo.TXN_CAPABLE, TXN_ALL);
    }

    @Override
    public boolean supportsDataManipulationTransactionsOnly() throws SQLException {
        return info.is(OdbcInfo.TXN_CAPABLE, TXN_DML);
    }

    @Override
    public boolean dataDefinitionCausesTransactionCommit() throws SQLException {
        return info.is(OdbcInfo.TXN_CAPABLE, TXN_DDL_COMMIT);
    }

    @Override
    public boolean dataDefinitionIgnoredInTransactions() throws SQLException {
        return info.is(OdbcInfo.TXN_CAPABLE, TXN_DDL_IGNORE);
    }

    /** ODBC has no item: the driver sends SAVEPOINT SQL, which a database without savepoints refuses then. */
    @Override
    public boolean supportsSavepoints() {
        return true;
    }

    @Override
    public boolean supportsOpenCursorsAcrossCommit() {
        return false;
    }

    @Override
    public boolean supportsOpenCursorsAcrossRollback() {
        return false;
    }

    @Override
    public boolean supportsOpenStatementsAcrossCommit() {
        return true;
    }

    @Override
    public boolean supportsOpenStatementsAcrossRollback() {
        return true;
    }

    @Override
    public boolean autoCommitFailureClosesAllResultSets() {
        return false;
    }

    // ---- Result sets and statements, as this driver runs them ----

    @Override
    public boolean supportsResultSetType(int type) {
        return type == ResultSet.TYPE_FORWARD_ONLY || type == ResultSet.TYPE_SCROLL_INSENSITIVE;
    }

    @Override
    public boolean supportsResultSetConcurrency(int type, int concurrency) {
        return supportsResultSetType(type) && concurrency == ResultSet.CONCUR_READ_ONLY;
    }

    /** As the connection: results are promised only until the transaction ends. */
    @Override
    public boolean supportsResultSetHoldability(int holdability) {
        return holdability == ResultSet.CLOSE_CURSORS_AT_COMMIT;
    }

    @Override
    public int getResultSetHoldability() {
        return ResultSet.CLOSE_CURSORS_AT_COMMIT;
    }

    @Override
    public boolean ownUpdatesAreVisible(int type) {
        return false;
    }

    @Override
    public boolean ownDeletesAreVisible(int type) {
        return false;
    }

    @Override
    public boolean ownInsertsAreVisible(int type) {
        return false;
    }

    @Override
    public boolean othersUpdatesAreVisible(int type) {
        return false;
    }

    @Override
    public boolean othersDeletesAreVisible(int type) {
        return false;
    }

    @Override
    public boolean othersInsertsAreVisible(int type) {
        return false;
    }

    @Override
    public boolean updatesAreDetected(int type) {
        return false;
    }

    @Override
    public boolean deletesAreDetected(int type) {
        return false;
    }

    @Override
    public boolean insertsAreDetected(int type) {
        return false;
    }

    /** Batches run one statement after another on the client. */
    @Override
    public boolean supportsBatchUpdates() {
        return true;
    }

    @Override
    public boolean supportsNamedParameters() {
        return false;
    }

    @Override
    public boolean supportsMultipleOpenResults() {
        return false;
    }

    @Override
    public boolean supportsGetGeneratedKeys() {
        return false;
    }

    @Override
    public boolean generatedKeyAlwaysReturned() {
        return false;
    }

    @Override
    public boolean supportsStatementPooling() {
        return false;
    }

    @Override
    public boolean supportsStoredFunctionsUsingCallSyntax() {
        return false;
    }

    @Override
    public boolean locatorsUpdateCopy() {
        return false;
    }

    @Override
    public RowIdLifetime getRowIdLifetime() {
        return RowIdLifetime.ROWID_UNSUPPORTED;
    }

    // ---- Wrapper ----

    @Override
    public <T> T unwrap(Class<T> iface) throws SQLException {
        if (iface.isInstance(this)) {
            return iface.cast(this);
        }
        throw new SQLException("Not a wrapper of " + iface.getName());
    }

    @Override
    public boolean isWrapperFor(Class<?> iface) {
        return iface.isInstance(this);
    }
}
