package jov.jdbc.odbc.driver;

import java.sql.DatabaseMetaData;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.List;

/**
 * Catalogue queries for SQLite, over sqlite_master and the table-valued
 * pragma functions (SQLite 3.26 or later for pragma_table_xinfo).
 *
 * <p>Tables of the main database and temporary ones are listed; attached
 * databases are not. SQLite has no catalogues and the driver reports no
 * schemas, so TABLE_CAT and TABLE_SCHEM are NULL. A schema argument is
 * ignored, as on MariaDB: tools name the user there; a catalogue other than
 * null, "" or '%' matches nothing. Names match case-blind
 * (ASCII), as SQLite itself resolves them.
 *
 * <p>DATA_TYPE follows the declared type: known names map to their
 * java.sql.Types code, the rest by SQLite's affinity rules (INT, then
 * CHAR/CLOB/TEXT, then BLOB, then REAL/FLOA/DOUB, else NUMERIC); REAL is
 * DOUBLE because SQLite stores it in eight bytes; an undeclared type is OTHER.
 * COLUMN_SIZE and DECIMAL_DIGITS come from a declared "(size[, digits])" and
 * are NULL without one.
 */
final class SqliteCatalog implements CatalogQueries {

    /** Tables and views of main and temp, as (name, type, db). */
    private static final String MASTERS = "(SELECT name, type, 'main' AS db FROM main.sqlite_master"
            + " WHERE type IN ('table', 'view')"
            + " UNION ALL SELECT name, type, 'temp' FROM temp.sqlite_master WHERE type IN ('table', 'view'))";

    private static final String DATA_TYPE = "CASE"
            + " WHEN b IN ('INT', 'INTEGER', 'MEDIUMINT') THEN 4"
            + " WHEN b = 'TINYINT' THEN -6"
            + " WHEN b IN ('SMALLINT', 'INT2') THEN 5"
            + " WHEN b IN ('BIGINT', 'INT8', 'UNSIGNED BIG INT') THEN -5"
            + " WHEN b IN ('BOOLEAN', 'BOOL') THEN 16"
            + " WHEN b = 'DATE' THEN 91"
            + " WHEN b = 'TIME' THEN 92"
            + " WHEN b IN ('DATETIME', 'TIMESTAMP') THEN 93"
            + " WHEN b IN ('CHAR', 'CHARACTER', 'NCHAR', 'NATIVE CHARACTER') THEN 1"
            + " WHEN b = 'NUMERIC' THEN 2"
            + " WHEN b IN ('DECIMAL', 'DEC') THEN 3"
            + " WHEN b = 'FLOAT' THEN 6"
            + " WHEN t LIKE '%INT%' THEN 4"
            + " WHEN t LIKE '%CHAR%' OR t LIKE '%CLOB%' OR t LIKE '%TEXT%' THEN 12"
            + " WHEN t LIKE '%BLOB%' THEN -4"
            + " WHEN t = '' THEN 1111"
            + " WHEN t LIKE '%REAL%' OR t LIKE '%FLOA%' OR t LIKE '%DOUB%' THEN 8"
            + " ELSE 2 END";

    /** An INTEGER PRIMARY KEY alone is the rowid: never NULL, and it takes the next number by itself. */
    private static final String ROWID = "(pk = 1 AND pkcount = 1 AND t = 'INTEGER')";

    @Override
    public CatalogQuery tables(String catalog, String schemaPattern, String tablePattern, String[] types)
            throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT * FROM (SELECT NULL AS \"TABLE_CAT\", NULL AS \"TABLE_SCHEM\", name AS \"TABLE_NAME\","
                + " CASE WHEN db = 'temp' THEN 'LOCAL TEMPORARY' WHEN type = 'view' THEN 'VIEW'"
                + " WHEN substr(name, 1, 7) = 'sqlite_' THEN 'SYSTEM TABLE' ELSE 'TABLE' END AS \"TABLE_TYPE\","
                + " NULL AS \"REMARKS\", NULL AS \"TYPE_CAT\", NULL AS \"TYPE_SCHEM\", NULL AS \"TYPE_NAME\","
                + " NULL AS \"SELF_REFERENCING_COL_NAME\", NULL AS \"REF_GENERATION\" FROM " + MASTERS + ")"
                + " WHERE " + namespaceFilter(catalog)
                + CatalogSql.like("\"TABLE_NAME\"", tablePattern, args)
                + CatalogSql.in("\"TABLE_TYPE\"", types, args)
                + " ORDER BY \"TABLE_TYPE\", \"TABLE_NAME\"", args);
    }

    @Override
    public CatalogQuery columns(String catalog, String schemaPattern, String tablePattern, String columnPattern)
            throws SQLException {
        List<String> args = new ArrayList<>();
        String declared = "SELECT m.name AS tname, c.*, upper(trim(c.type)) AS t,"
                + " upper(trim(CASE WHEN instr(c.type, '(') > 0 THEN substr(c.type, 1, instr(c.type, '(') - 1)"
                + " ELSE c.type END)) AS b,"
                + " CASE WHEN instr(c.type, '(') > 0 THEN substr(c.type, instr(c.type, '(') + 1) END AS args,"
                + " (SELECT count(*) FROM pragma_table_xinfo(m.name, m.db) k WHERE k.pk > 0) AS pkcount"
                + " FROM " + MASTERS + " m JOIN pragma_table_xinfo(m.name, m.db) c"
                + " WHERE c.hidden <> 1 AND " + namespaceFilter(catalog)
                + CatalogSql.like("m.name", tablePattern, args)
                + CatalogSql.like("c.name", columnPattern, args);
        return new CatalogQuery("SELECT NULL AS \"TABLE_CAT\", NULL AS \"TABLE_SCHEM\", tname AS \"TABLE_NAME\","
                + " name AS \"COLUMN_NAME\", " + DATA_TYPE + " AS \"DATA_TYPE\", b AS \"TYPE_NAME\","
                + " CAST(args AS INTEGER) AS \"COLUMN_SIZE\", NULL AS \"BUFFER_LENGTH\","
                + " CASE WHEN instr(args, ',') > 0 THEN CAST(substr(args, instr(args, ',') + 1) AS INTEGER) END"
                + " AS \"DECIMAL_DIGITS\", 10 AS \"NUM_PREC_RADIX\","
                + " CASE WHEN \"notnull\" OR " + ROWID + " THEN 0 ELSE 1 END AS \"NULLABLE\", NULL AS \"REMARKS\","
                + " dflt_value AS \"COLUMN_DEF\", NULL AS \"SQL_DATA_TYPE\", NULL AS \"SQL_DATETIME_SUB\","
                + " NULL AS \"CHAR_OCTET_LENGTH\", cid + 1 AS \"ORDINAL_POSITION\","
                + " CASE WHEN \"notnull\" OR " + ROWID + " THEN 'NO' ELSE 'YES' END AS \"IS_NULLABLE\","
                + " NULL AS \"SCOPE_CATALOG\","
                + " NULL AS \"SCOPE_SCHEMA\", NULL AS \"SCOPE_TABLE\", NULL AS \"SOURCE_DATA_TYPE\","
                + " CASE WHEN " + ROWID + " THEN 'YES' ELSE 'NO' END"
                + " AS \"IS_AUTOINCREMENT\","
                + " CASE WHEN hidden IN (2, 3) THEN 'YES' ELSE 'NO' END AS \"IS_GENERATEDCOLUMN\""
                + " FROM (" + declared + ") ORDER BY \"TABLE_NAME\", \"ORDINAL_POSITION\"", args);
    }

    @Override
    public CatalogQuery primaryKeys(String catalog, String schema, String table) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT NULL AS \"TABLE_CAT\", NULL AS \"TABLE_SCHEM\", m.name AS \"TABLE_NAME\","
                + " c.name AS \"COLUMN_NAME\", c.pk AS \"KEY_SEQ\", NULL AS \"PK_NAME\""
                + " FROM " + MASTERS + " m JOIN pragma_table_info(m.name, m.db) c"
                + " WHERE c.pk > 0 AND " + namespaceFilter(catalog) + sameName("m.name", table, args)
                + " ORDER BY \"COLUMN_NAME\"", args);
    }

    /**
     * Key columns of each index; an expression has no column name, and a
     * partial index's condition is not given (FILTER_CONDITION NULL).
     */
    @Override
    public CatalogQuery indexInfo(String catalog, String schema, String table, boolean unique) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT NULL AS \"TABLE_CAT\", NULL AS \"TABLE_SCHEM\", m.name AS \"TABLE_NAME\","
                + " NOT il.\"unique\" AS \"NON_UNIQUE\", NULL AS \"INDEX_QUALIFIER\", il.name AS \"INDEX_NAME\","
                + " " + DatabaseMetaData.tableIndexOther + " AS \"TYPE\", ix.seqno + 1 AS \"ORDINAL_POSITION\","
                + " ix.name AS \"COLUMN_NAME\", CASE WHEN ix.\"desc\" THEN 'D' ELSE 'A' END AS \"ASC_OR_DESC\","
                + " NULL AS \"CARDINALITY\", NULL AS \"PAGES\", NULL AS \"FILTER_CONDITION\""
                + " FROM " + MASTERS + " m JOIN pragma_index_list(m.name, m.db) il"
                + " JOIN pragma_index_xinfo(il.name, m.db) ix"
                + " WHERE ix.key = 1 AND " + namespaceFilter(catalog) + sameName("m.name", table, args)
                + (unique ? " AND il.\"unique\"" : "")
                + " ORDER BY \"NON_UNIQUE\", \"TYPE\", \"INDEX_NAME\", \"ORDINAL_POSITION\"", args);
    }

    /**
     * A key that names no referenced columns refers to the primary key, in its
     * order. SQLite does not say whether a key is deferrable, so DEFERRABILITY
     * is NULL; keys and constraints have no names here.
     */
    @Override
    public CatalogQuery foreignKeys(String pkCatalog, String pkSchema, String pkTable, String fkCatalog, String fkSchema,
            String fkTable, boolean byPrimary) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT NULL AS \"PKTABLE_CAT\", NULL AS \"PKTABLE_SCHEM\", f.\"table\" AS \"PKTABLE_NAME\","
                + " COALESCE(f.\"to\", (SELECT p.name FROM pragma_table_info(f.\"table\", m.db) p"
                + " WHERE p.pk = f.seq + 1)) AS \"PKCOLUMN_NAME\", NULL AS \"FKTABLE_CAT\", NULL AS \"FKTABLE_SCHEM\","
                + " m.name AS \"FKTABLE_NAME\", f.\"from\" AS \"FKCOLUMN_NAME\", f.seq + 1 AS \"KEY_SEQ\","
                + " " + rule("f.on_update") + " AS \"UPDATE_RULE\", " + rule("f.on_delete") + " AS \"DELETE_RULE\","
                + " NULL AS \"FK_NAME\", NULL AS \"PK_NAME\", NULL AS \"DEFERRABILITY\""
                + " FROM " + MASTERS + " m JOIN pragma_foreign_key_list(m.name, m.db) f"
                + " WHERE " + namespaceFilter(pkCatalog) + " AND " + namespaceFilter(fkCatalog)
                + sameName("f.\"table\"", pkTable, args) + sameName("m.name", fkTable, args)
                + (byPrimary ? " ORDER BY \"PKTABLE_NAME\", \"KEY_SEQ\"" : " ORDER BY \"FKTABLE_NAME\", \"KEY_SEQ\""), args);
    }

    private static String rule(String action) {
        return "CASE " + action + " WHEN 'CASCADE' THEN " + DatabaseMetaData.importedKeyCascade
                + " WHEN 'RESTRICT' THEN " + DatabaseMetaData.importedKeyRestrict
                + " WHEN 'SET NULL' THEN " + DatabaseMetaData.importedKeySetNull
                + " WHEN 'SET DEFAULT' THEN " + DatabaseMetaData.importedKeySetDefault
                + " ELSE " + DatabaseMetaData.importedKeyNoAction + " END";
    }

    /** " AND column names the table", as SQLite resolves names (ASCII case-blind); nothing for null. */
    private static String sameName(String column, String name, List<String> args) {
        if (name == null) {
            return "";
        }
        args.add(name);
        return " AND " + column + " = ? COLLATE NOCASE";
    }

    @Override
    public CatalogQuery schemas(String catalog, String schemaPattern) {
        return new CatalogQuery(CatalogSql.empty("TABLE_SCHEM", "TABLE_CATALOG"));
    }

    @Override
    public CatalogQuery catalogs() {
        return new CatalogQuery(CatalogSql.empty("TABLE_CAT"));
    }

    @Override
    public CatalogQuery tableTypes() {
        return new CatalogQuery("SELECT 'LOCAL TEMPORARY' AS \"TABLE_TYPE\" UNION ALL SELECT 'SYSTEM TABLE'"
                + " UNION ALL SELECT 'TABLE' UNION ALL SELECT 'VIEW'");
    }

    /** "1 = 1" when rows without a catalogue pass the argument, else a filter that passes none. */
    private static String namespaceFilter(String catalog) {
        return CatalogSql.admitsMissingName(catalog) ? "1 = 1" : "1 = 0";
    }
}
