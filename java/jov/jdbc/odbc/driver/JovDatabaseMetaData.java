package jov.jdbc.odbc.driver;

import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.RowIdLifetime;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.Statement;

/**
 * What the driver and the database behind a connection can do, and their
 * catalogues.
 *
 * <p>Every answer is one the driver can stand behind. Product names and
 * versions are those the database reported at connect ({@link SqlDialect});
 * the features are those of the database as reached through this driver
 * (no stored procedure calls, no updatable or sensitive result sets, no
 * generated keys, batches run one statement at a time). For a database the
 * driver does not know, catalogue calls throw SQLFeatureNotSupportedException
 * and the feature questions answer false, rather than guess.
 *
 * <p>Catalogue calls run one query each through
 * {@code connection.createStatement()}; the result set closes its statement
 * when it is closed. SQLite, PostgreSQL and MariaDB/MySQL answer getTables,
 * getColumns, getPrimaryKeys, getIndexInfo, the foreign keys (imported,
 * exported, cross reference), getSchemas, getCatalogs and getTableTypes from
 * their catalogues ({@link SqliteCatalog}, {@link PostgresCatalog},
 * {@link MysqlCatalog}, where a database is a catalogue); the questions
 * whose honest answer is "none" on them (SQLite's procedures, any database's
 * client info properties) are empty result sets; the rest are refused.
 */
public final class JovDatabaseMetaData implements DatabaseMetaData {

    private static final int POSTGRES_NAME_LENGTH = 63;
    private static final int JDBC_MAJOR_VERSION = 4;
    private static final int JDBC_MINOR_VERSION = 2;
    private static final int POSTGRES_INDEX_KEYS = 32;
    private static final int POSTGRES_TABLE_COLUMNS = 1600;
    private static final int SQLITE_TABLE_COLUMNS = 2000;
    /** Minor versions of SQLite 3 that brought ALTER TABLE DROP COLUMN and FULL JOIN. */
    private static final int SQLITE_DROP_COLUMN = 35;
    private static final int SQLITE_FULL_JOIN = 39;

    private static final String[] PROCEDURES = {"PROCEDURE_CAT", "PROCEDURE_SCHEM", "PROCEDURE_NAME", "RESERVED1",
        "RESERVED2", "RESERVED3", "REMARKS", "PROCEDURE_TYPE", "SPECIFIC_NAME"};
    private static final String[] PROCEDURE_COLUMNS = {"PROCEDURE_CAT", "PROCEDURE_SCHEM", "PROCEDURE_NAME",
        "COLUMN_NAME", "COLUMN_TYPE", "DATA_TYPE", "TYPE_NAME", "PRECISION", "LENGTH", "SCALE", "RADIX", "NULLABLE",
        "REMARKS", "COLUMN_DEF", "SQL_DATA_TYPE", "SQL_DATETIME_SUB", "CHAR_OCTET_LENGTH", "ORDINAL_POSITION",
        "IS_NULLABLE", "SPECIFIC_NAME"};
    private static final String[] FUNCTIONS = {"FUNCTION_CAT", "FUNCTION_SCHEM", "FUNCTION_NAME", "REMARKS",
        "FUNCTION_TYPE", "SPECIFIC_NAME"};
    private static final String[] FUNCTION_COLUMNS = {"FUNCTION_CAT", "FUNCTION_SCHEM", "FUNCTION_NAME",
        "COLUMN_NAME", "COLUMN_TYPE", "DATA_TYPE", "TYPE_NAME", "PRECISION", "LENGTH", "SCALE", "RADIX", "NULLABLE",
        "REMARKS", "CHAR_OCTET_LENGTH", "ORDINAL_POSITION", "IS_NULLABLE", "SPECIFIC_NAME"};
    private static final String[] UDTS = {"TYPE_CAT", "TYPE_SCHEM", "TYPE_NAME", "CLASS_NAME", "DATA_TYPE",
        "REMARKS", "BASE_TYPE"};
    private static final String[] SUPER_TYPES = {"TYPE_CAT", "TYPE_SCHEM", "TYPE_NAME", "SUPERTYPE_CAT",
        "SUPERTYPE_SCHEM", "SUPERTYPE_NAME"};
    private static final String[] SUPER_TABLES = {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "SUPERTABLE_NAME"};
    private static final String[] ATTRIBUTES = {"TYPE_CAT", "TYPE_SCHEM", "TYPE_NAME", "ATTR_NAME", "DATA_TYPE",
        "ATTR_TYPE_NAME", "ATTR_SIZE", "DECIMAL_DIGITS", "NUM_PREC_RADIX", "NULLABLE", "REMARKS", "ATTR_DEF",
        "SQL_DATA_TYPE", "SQL_DATETIME_SUB", "CHAR_OCTET_LENGTH", "ORDINAL_POSITION", "IS_NULLABLE", "SCOPE_CATALOG",
        "SCOPE_SCHEMA", "SCOPE_TABLE", "SOURCE_DATA_TYPE"};
    private static final String[] TABLE_PRIVILEGES = {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "GRANTOR",
        "GRANTEE", "PRIVILEGE", "IS_GRANTABLE"};
    private static final String[] COLUMN_PRIVILEGES = {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "COLUMN_NAME",
        "GRANTOR", "GRANTEE", "PRIVILEGE", "IS_GRANTABLE"};
    private static final String[] CLIENT_INFO = {"NAME", "MAX_LEN", "DEFAULT_VALUE", "DESCRIPTION"};

    private final Connection connection;
    private final String url;
    private final String userName;
    private final SqlDialect dialect;
    private final CatalogQueries catalog;
    private final boolean pg;
    private final boolean sqlite;
    private final boolean mysql;
    private final boolean known;

    /**
     * @param connection the connection whose statements run the catalogue queries
     * @param url the URL it was opened with, as getURL answers it
     * @param userName the user it was opened as, null when none was given
     * @param dialect the database learned at connect
     */
    JovDatabaseMetaData(Connection connection, String url, String userName, SqlDialect dialect) {
        this.connection = connection;
        this.url = url;
        this.userName = userName;
        this.dialect = dialect;
        this.pg = dialect.database() == SqlDialect.Database.POSTGRESQL;
        this.sqlite = dialect.database() == SqlDialect.Database.SQLITE;
        this.mysql = dialect.database() == SqlDialect.Database.MYSQL;
        this.known = dialect.database() != SqlDialect.Database.OTHER;
        this.catalog = pg ? new PostgresCatalog()
                : sqlite ? new SqliteCatalog() : mysql ? new MysqlCatalog() : null;
    }

    // ---- Catalogues ----

    private ResultSet query(String sql) throws SQLException {
        return query(new CatalogQuery(sql));
    }

    /** The query's arguments are bound parameters, whatever they hold. */
    private ResultSet query(CatalogQuery query) throws SQLException {
        PreparedStatement statement = connection.prepareStatement(query.sql);
        try {
            statement.closeOnCompletion();
            for (int i = 0; i < query.arguments.size(); i++) {
                statement.setString(i + 1, query.arguments.get(i));
            }
            return statement.executeQuery();
        } catch (SQLException | RuntimeException e) {
            try {
                statement.close();
            } catch (SQLException closing) {
                e.addSuppressed(closing);
            }
            throw e;
        }
    }

    private CatalogQueries catalogue(String question) throws SQLException {
        if (catalog == null) {
            throw notSupported(question + " for " + describeDatabase());
        }
        return catalog;
    }

    private String describeDatabase() {
        return dialect.productName().isEmpty() ? "this database" : dialect.productName();
    }

    private static SQLFeatureNotSupportedException notSupported(String what) {
        return new SQLFeatureNotSupportedException("The driver does not answer " + what, "0A000");
    }

    /** An empty answer where the database has no such objects; refused where the driver cannot say. */
    private ResultSet none(boolean truly, String question, String... columns) throws SQLException {
        if (!truly || catalog == null) {
            throw notSupported(question + " for " + describeDatabase());
        }
        return query(CatalogSql.empty(columns));
    }

    @Override
    public ResultSet getTables(String catalogName, String schemaPattern, String tableNamePattern, String[] types)
            throws SQLException {
        return query(catalogue("getTables").tables(catalogName, schemaPattern, tableNamePattern, types));
    }

    @Override
    public ResultSet getColumns(String catalogName, String schemaPattern, String tableNamePattern,
            String columnNamePattern) throws SQLException {
        return query(catalogue("getColumns").columns(catalogName, schemaPattern, tableNamePattern, columnNamePattern));
    }

    @Override
    public ResultSet getPrimaryKeys(String catalogName, String schema, String table) throws SQLException {
        return query(catalogue("getPrimaryKeys").primaryKeys(catalogName, schema, table));
    }

    @Override
    public ResultSet getSchemas() throws SQLException {
        return getSchemas(null, null);
    }

    @Override
    public ResultSet getSchemas(String catalogName, String schemaPattern) throws SQLException {
        return query(catalogue("getSchemas").schemas(catalogName, schemaPattern));
    }

    @Override
    public ResultSet getCatalogs() throws SQLException {
        return query(catalogue("getCatalogs").catalogs());
    }

    @Override
    public ResultSet getTableTypes() throws SQLException {
        return query(catalogue("getTableTypes").tableTypes());
    }

    @Override
    public ResultSet getProcedures(String catalogName, String schemaPattern, String procedureNamePattern)
            throws SQLException {
        return none(sqlite, "getProcedures", PROCEDURES);
    }

    @Override
    public ResultSet getProcedureColumns(String catalogName, String schemaPattern, String procedureNamePattern,
            String columnNamePattern) throws SQLException {
        return none(sqlite, "getProcedureColumns", PROCEDURE_COLUMNS);
    }

    @Override
    public ResultSet getFunctions(String catalogName, String schemaPattern, String functionNamePattern)
            throws SQLException {
        return none(sqlite, "getFunctions", FUNCTIONS);
    }

    @Override
    public ResultSet getFunctionColumns(String catalogName, String schemaPattern, String functionNamePattern,
            String columnNamePattern) throws SQLException {
        return none(sqlite, "getFunctionColumns", FUNCTION_COLUMNS);
    }

    @Override
    public ResultSet getUDTs(String catalogName, String schemaPattern, String typeNamePattern, int[] types)
            throws SQLException {
        return none(sqlite, "getUDTs", UDTS);
    }

    @Override
    public ResultSet getSuperTypes(String catalogName, String schemaPattern, String typeNamePattern)
            throws SQLException {
        return none(sqlite, "getSuperTypes", SUPER_TYPES);
    }

    @Override
    public ResultSet getSuperTables(String catalogName, String schemaPattern, String tableNamePattern)
            throws SQLException {
        return none(sqlite, "getSuperTables", SUPER_TABLES);
    }

    @Override
    public ResultSet getAttributes(String catalogName, String schemaPattern, String typeNamePattern,
            String attributeNamePattern) throws SQLException {
        return none(sqlite, "getAttributes", ATTRIBUTES);
    }

    /** SQLite has no privileges to grant. */
    @Override
    public ResultSet getTablePrivileges(String catalogName, String schemaPattern, String tableNamePattern)
            throws SQLException {
        return none(sqlite, "getTablePrivileges", TABLE_PRIVILEGES);
    }

    @Override
    public ResultSet getColumnPrivileges(String catalogName, String schema, String table, String columnNamePattern)
            throws SQLException {
        return none(sqlite, "getColumnPrivileges", COLUMN_PRIVILEGES);
    }

    /** The driver takes no client info properties, whatever the database. */
    @Override
    public ResultSet getClientInfoProperties() throws SQLException {
        return none(true, "getClientInfoProperties", CLIENT_INFO);
    }

    @Override
    public ResultSet getBestRowIdentifier(String catalogName, String schema, String table, int scope,
            boolean nullable) throws SQLException {
        throw notSupported("getBestRowIdentifier");
    }

    @Override
    public ResultSet getVersionColumns(String catalogName, String schema, String table) throws SQLException {
        throw notSupported("getVersionColumns");
    }

    @Override
    public ResultSet getImportedKeys(String catalogName, String schema, String table) throws SQLException {
        return query(catalogue("getImportedKeys").foreignKeys(null, null, null, catalogName, schema, table, true));
    }

    @Override
    public ResultSet getExportedKeys(String catalogName, String schema, String table) throws SQLException {
        return query(catalogue("getExportedKeys").foreignKeys(catalogName, schema, table, null, null, null, false));
    }

    @Override
    public ResultSet getCrossReference(String parentCatalog, String parentSchema, String parentTable,
            String foreignCatalog, String foreignSchema, String foreignTable) throws SQLException {
        return query(catalogue("getCrossReference").foreignKeys(parentCatalog, parentSchema, parentTable,
                foreignCatalog, foreignSchema, foreignTable, false));
    }

    @Override
    public ResultSet getTypeInfo() throws SQLException {
        throw notSupported("getTypeInfo");
    }

    /** Exact either way: no statistics rows are given, so {@code approximate} changes nothing. */
    @Override
    public ResultSet getIndexInfo(String catalogName, String schema, String table, boolean unique,
            boolean approximate) throws SQLException {
        return query(catalogue("getIndexInfo").indexInfo(catalogName, schema, table, unique));
    }

    @Override
    public ResultSet getPseudoColumns(String catalogName, String schemaPattern, String tableNamePattern,
            String columnNamePattern) throws SQLException {
        throw notSupported("getPseudoColumns");
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

    @Override
    public String getDatabaseProductName() {
        return dialect.productName();
    }

    @Override
    public String getDatabaseProductVersion() {
        return dialect.productVersion();
    }

    @Override
    public int getDatabaseMajorVersion() {
        return dialect.majorVersion();
    }

    @Override
    public int getDatabaseMinorVersion() {
        return dialect.minorVersion();
    }

    @Override
    public String getDriverName() {
        return DriverInfo.NAME;
    }

    @Override
    public String getDriverVersion() {
        return DriverInfo.VERSION;
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

    @Override
    public String getIdentifierQuoteString() {
        return String.valueOf(dialect.identifierQuote());
    }

    @Override
    public String getSearchStringEscape() {
        return CatalogSql.SEARCH_ESCAPE;
    }

    @Override
    public String getExtraNameCharacters() {
        return "";
    }

    @Override
    public String getSQLKeywords() {
        if (pg) {
            return "ANALYSE,ANALYZE,CONCURRENTLY,FREEZE,ILIKE,ISNULL,LIMIT,NOTNULL,OFFSET,PLACING,RETURNING,"
                    + "VARIADIC,VERBOSE";
        }
        if (sqlite) {
            return "ABORT,ATTACH,AUTOINCREMENT,CONFLICT,DATABASE,DETACH,EXCLUSIVE,EXPLAIN,FAIL,GLOB,IGNORE,INDEXED,"
                    + "INSTEAD,ISNULL,LIMIT,NOTNULL,OFFSET,PLAN,PRAGMA,QUERY,RAISE,REGEXP,REINDEX,RENAME,REPLACE,"
                    + "VACUUM,VIRTUAL";
        }
        return "";
    }

    /** No {fn ...} functions are promised: whether one works is the ODBC driver's matter. */
    @Override
    public String getNumericFunctions() {
        return "";
    }

    @Override
    public String getStringFunctions() {
        return "";
    }

    @Override
    public String getSystemFunctions() {
        return "";
    }

    @Override
    public String getTimeDateFunctions() {
        return "";
    }

    @Override
    public String getSchemaTerm() {
        return pg ? "schema" : "";
    }

    @Override
    public String getProcedureTerm() {
        return pg ? "function" : "";
    }

    @Override
    public String getCatalogTerm() {
        return pg || mysql ? "database" : "";
    }

    @Override
    public boolean isCatalogAtStart() {
        return pg || mysql;
    }

    @Override
    public String getCatalogSeparator() {
        return pg || mysql ? "." : "";
    }

    @Override
    public boolean supportsMixedCaseIdentifiers() {
        return false;
    }

    @Override
    public boolean storesUpperCaseIdentifiers() {
        return false;
    }

    @Override
    public boolean storesLowerCaseIdentifiers() {
        return pg;
    }

    /** SQLite keeps names as written and compares them case-blind. */
    @Override
    public boolean storesMixedCaseIdentifiers() {
        return sqlite;
    }

    @Override
    public boolean supportsMixedCaseQuotedIdentifiers() {
        return pg;
    }

    @Override
    public boolean storesUpperCaseQuotedIdentifiers() {
        return false;
    }

    @Override
    public boolean storesLowerCaseQuotedIdentifiers() {
        return false;
    }

    /** PostgreSQL's quoted names are case-sensitive; SQLite's are as case-blind as the others. */
    @Override
    public boolean storesMixedCaseQuotedIdentifiers() {
        return sqlite;
    }

    // ---- Limits: 0 where there is none or it is unknown ----

    private int pgName() {
        return pg ? POSTGRES_NAME_LENGTH : 0;
    }

    @Override
    public int getMaxBinaryLiteralLength() {
        return 0;
    }

    @Override
    public int getMaxCharLiteralLength() {
        return 0;
    }

    @Override
    public int getMaxColumnNameLength() {
        return pgName();
    }

    @Override
    public int getMaxColumnsInGroupBy() {
        return 0;
    }

    @Override
    public int getMaxColumnsInIndex() {
        return pg ? POSTGRES_INDEX_KEYS : 0;
    }

    @Override
    public int getMaxColumnsInOrderBy() {
        return 0;
    }

    @Override
    public int getMaxColumnsInSelect() {
        return 0;
    }

    @Override
    public int getMaxColumnsInTable() {
        return pg ? POSTGRES_TABLE_COLUMNS : sqlite ? SQLITE_TABLE_COLUMNS : 0;
    }

    /** The driver's own path sets no limit: 0, as JDBC says for none or unknown. */
    @Override
    public int getMaxConnections() {
        return 0;
    }

    @Override
    public int getMaxCursorNameLength() {
        return 0;
    }

    @Override
    public int getMaxIndexLength() {
        return 0;
    }

    @Override
    public int getMaxSchemaNameLength() {
        return pgName();
    }

    @Override
    public int getMaxProcedureNameLength() {
        return pgName();
    }

    @Override
    public int getMaxCatalogNameLength() {
        return pgName();
    }

    @Override
    public int getMaxRowSize() {
        return 0;
    }

    @Override
    public boolean doesMaxRowSizeIncludeBlobs() {
        return false;
    }

    @Override
    public int getMaxStatementLength() {
        return 0;
    }

    @Override
    public int getMaxStatements() {
        return 0;
    }

    @Override
    public int getMaxTableNameLength() {
        return pgName();
    }

    @Override
    public int getMaxTablesInSelect() {
        return 0;
    }

    @Override
    public int getMaxUserNameLength() {
        return pgName();
    }

    @Override
    public long getMaxLogicalLobSize() {
        return 0;
    }

    // ---- SQL the databases accept ----

    @Override
    public boolean allProceduresAreCallable() {
        return false;
    }

    /** Privileges are not checked, so some listed tables may refuse a SELECT. */
    @Override
    public boolean allTablesAreSelectable() {
        return false;
    }

    @Override
    public boolean nullsAreSortedHigh() {
        return pg;
    }

    @Override
    public boolean nullsAreSortedLow() {
        return sqlite || mysql;
    }

    @Override
    public boolean nullsAreSortedAtStart() {
        return false;
    }

    @Override
    public boolean nullsAreSortedAtEnd() {
        return false;
    }

    @Override
    public boolean usesLocalFiles() {
        return sqlite;
    }

    @Override
    public boolean usesLocalFilePerTable() {
        return false;
    }

    @Override
    public boolean supportsAlterTableWithAddColumn() {
        return known;
    }

    @Override
    public boolean supportsAlterTableWithDropColumn() {
        return pg || mysql || (sqlite && sqliteAtLeast(SQLITE_DROP_COLUMN));
    }

    private boolean sqliteAtLeast(int minor) {
        return dialect.majorVersion() > 3 || (dialect.majorVersion() == 3 && dialect.minorVersion() >= minor);
    }

    @Override
    public boolean supportsColumnAliasing() {
        return known;
    }

    @Override
    public boolean nullPlusNonNullIsNull() {
        return known;
    }

    @Override
    public boolean supportsConvert() {
        return false;
    }

    @Override
    public boolean supportsConvert(int fromType, int toType) {
        return false;
    }

    @Override
    public boolean supportsTableCorrelationNames() {
        return known;
    }

    @Override
    public boolean supportsDifferentTableCorrelationNames() {
        return false;
    }

    @Override
    public boolean supportsExpressionsInOrderBy() {
        return known;
    }

    @Override
    public boolean supportsOrderByUnrelated() {
        return known;
    }

    @Override
    public boolean supportsGroupBy() {
        return known;
    }

    @Override
    public boolean supportsGroupByUnrelated() {
        return known;
    }

    @Override
    public boolean supportsGroupByBeyondSelect() {
        return known;
    }

    @Override
    public boolean supportsLikeEscapeClause() {
        return known;
    }

    @Override
    public boolean supportsMultipleResultSets() {
        return false;
    }

    @Override
    public boolean supportsMultipleTransactions() {
        return known;
    }

    @Override
    public boolean supportsNonNullableColumns() {
        return known;
    }

    @Override
    public boolean supportsMinimumSQLGrammar() {
        return known;
    }

    @Override
    public boolean supportsCoreSQLGrammar() {
        return false;
    }

    @Override
    public boolean supportsExtendedSQLGrammar() {
        return false;
    }

    @Override
    public boolean supportsANSI92EntryLevelSQL() {
        return pg;
    }

    @Override
    public boolean supportsANSI92IntermediateSQL() {
        return false;
    }

    @Override
    public boolean supportsANSI92FullSQL() {
        return false;
    }

    @Override
    public boolean supportsIntegrityEnhancementFacility() {
        return pg || sqlite;
    }

    @Override
    public boolean supportsOuterJoins() {
        return known;
    }

    @Override
    public boolean supportsFullOuterJoins() {
        return pg || (sqlite && sqliteAtLeast(SQLITE_FULL_JOIN));
    }

    @Override
    public boolean supportsLimitedOuterJoins() {
        return known;
    }

    @Override
    public boolean supportsSchemasInDataManipulation() {
        return pg;
    }

    @Override
    public boolean supportsSchemasInProcedureCalls() {
        return pg;
    }

    @Override
    public boolean supportsSchemasInTableDefinitions() {
        return pg;
    }

    @Override
    public boolean supportsSchemasInIndexDefinitions() {
        return pg;
    }

    @Override
    public boolean supportsSchemasInPrivilegeDefinitions() {
        return pg;
    }

    /** MariaDB names another database's table as db.table; PostgreSQL reaches no other database. */
    @Override
    public boolean supportsCatalogsInDataManipulation() {
        return mysql;
    }

    @Override
    public boolean supportsCatalogsInProcedureCalls() {
        return false;
    }

    @Override
    public boolean supportsCatalogsInTableDefinitions() {
        return mysql;
    }

    @Override
    public boolean supportsCatalogsInIndexDefinitions() {
        return mysql;
    }

    @Override
    public boolean supportsCatalogsInPrivilegeDefinitions() {
        return mysql;
    }

    @Override
    public boolean supportsPositionedDelete() {
        return false;
    }

    @Override
    public boolean supportsPositionedUpdate() {
        return false;
    }

    @Override
    public boolean supportsSelectForUpdate() {
        return pg || mysql;
    }

    @Override
    public boolean supportsStoredProcedures() {
        return false;
    }

    @Override
    public boolean supportsSubqueriesInComparisons() {
        return known;
    }

    @Override
    public boolean supportsSubqueriesInExists() {
        return known;
    }

    @Override
    public boolean supportsSubqueriesInIns() {
        return known;
    }

    /** SQLite has no ANY, SOME or ALL before a subquery. */
    @Override
    public boolean supportsSubqueriesInQuantifieds() {
        return known && !sqlite;
    }

    @Override
    public boolean supportsCorrelatedSubqueries() {
        return known;
    }

    @Override
    public boolean supportsUnion() {
        return known;
    }

    @Override
    public boolean supportsUnionAll() {
        return known;
    }

    // ---- Transactions ----

    @Override
    public boolean supportsTransactions() {
        return true;
    }

    /**
     * SQLite's transactions are serializable; MariaDB's and MySQL's (InnoDB)
     * repeatable read; elsewhere read committed, PostgreSQL's default and
     * ODBC's usual one.
     */
    @Override
    public int getDefaultTransactionIsolation() {
        return sqlite ? Connection.TRANSACTION_SERIALIZABLE
                : mysql ? Connection.TRANSACTION_REPEATABLE_READ : Connection.TRANSACTION_READ_COMMITTED;
    }

    @Override
    public boolean supportsTransactionIsolationLevel(int level) {
        if (sqlite) {
            return level == Connection.TRANSACTION_SERIALIZABLE;
        }
        return (pg || mysql) && (level == Connection.TRANSACTION_READ_UNCOMMITTED || level == Connection.TRANSACTION_READ_COMMITTED
                || level == Connection.TRANSACTION_REPEATABLE_READ || level == Connection.TRANSACTION_SERIALIZABLE);
    }

    @Override
    public boolean supportsDataDefinitionAndDataManipulationTransactions() {
        return pg || sqlite;
    }

    @Override
    public boolean supportsDataManipulationTransactionsOnly() {
        return false;
    }

    @Override
    public boolean dataDefinitionCausesTransactionCommit() {
        return dialect.database() == SqlDialect.Database.MYSQL;
    }

    @Override
    public boolean dataDefinitionIgnoredInTransactions() {
        return false;
    }

    @Override
    public boolean supportsSavepoints() {
        return known;
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
