package jov.jdbc.odbc.driver;

import java.sql.DatabaseMetaData;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.List;

/**
 * Catalogue queries for PostgreSQL, over pg_catalog for tables and schemas
 * and information_schema for columns and keys (which shows only what the
 * user may use). The catalogue is the connected database, the only one a
 * session can reach.
 *
 * <p>TABLE_TYPE follows pgjdbc's names: TABLE, VIEW, MATERIALIZED VIEW,
 * PARTITIONED TABLE, FOREIGN TABLE, SEQUENCE; SYSTEM TABLE and SYSTEM VIEW in
 * pg_catalog, information_schema and the TOAST schemas; TEMPORARY TABLE,
 * TEMPORARY VIEW and TEMPORARY SEQUENCE in pg_temp schemas. Indexes and
 * composite types are not listed.
 *
 * <p>DATA_TYPE is the java.sql.Types code of the column's type (a domain's
 * underlying type); types without one are OTHER. COLUMN_SIZE counts decimal
 * digits for numbers and characters for texts, dates and times.
 */
final class PostgresCatalog implements CatalogQueries {

    private static final String TABLE_TYPE = "CASE"
            + " WHEN n.nspname IN ('pg_catalog', 'information_schema') OR left(n.nspname, 8) = 'pg_toast'"
            + " THEN CASE WHEN c.relkind IN ('v', 'm') THEN 'SYSTEM VIEW' ELSE 'SYSTEM TABLE' END"
            + " WHEN left(n.nspname, 8) = 'pg_temp_' THEN CASE c.relkind WHEN 'v' THEN 'TEMPORARY VIEW'"
            + " WHEN 'S' THEN 'TEMPORARY SEQUENCE' ELSE 'TEMPORARY TABLE' END"
            + " ELSE CASE c.relkind WHEN 'r' THEN 'TABLE' WHEN 'p' THEN 'PARTITIONED TABLE' WHEN 'v' THEN 'VIEW'"
            + " WHEN 'm' THEN 'MATERIALIZED VIEW' WHEN 'f' THEN 'FOREIGN TABLE' ELSE 'SEQUENCE' END END";

    private static final String DATA_TYPE = "CASE c.data_type"
            + " WHEN 'smallint' THEN 5 WHEN 'integer' THEN 4 WHEN 'bigint' THEN -5 WHEN 'oid' THEN -5"
            + " WHEN 'real' THEN 7 WHEN 'double precision' THEN 8 WHEN 'numeric' THEN 2"
            + " WHEN 'boolean' THEN 16 WHEN 'bit' THEN -7"
            + " WHEN 'character' THEN 1 WHEN '\"char\"' THEN 1"
            + " WHEN 'character varying' THEN 12 WHEN 'text' THEN 12 WHEN 'name' THEN 12"
            + " WHEN 'bytea' THEN -2 WHEN 'date' THEN 91"
            + " WHEN 'time without time zone' THEN 92 WHEN 'time with time zone' THEN 92"
            + " WHEN 'timestamp without time zone' THEN 93 WHEN 'timestamp with time zone' THEN 93"
            + " WHEN 'ARRAY' THEN 2003 WHEN 'xml' THEN 2009 ELSE 1111 END";

    /** Characters of the text of a date or time: the fraction's digits and point, the offset's six. */
    private static final String DATETIME_SIZE = "CASE WHEN c.data_type = 'date' THEN 10"
            + " WHEN c.data_type LIKE 'time%' THEN"
            + " CASE WHEN c.data_type LIKE 'timestamp%' THEN 19 ELSE 8 END"
            + " + CASE WHEN c.datetime_precision > 0 THEN c.datetime_precision + 1 ELSE 0 END"
            + " + CASE WHEN c.data_type LIKE '% with time zone' THEN 6 ELSE 0 END END";

    private static final String COLUMN_SIZE = "CASE WHEN c.character_maximum_length IS NOT NULL"
            + " THEN c.character_maximum_length"
            + " WHEN c.data_type = 'smallint' THEN 5 WHEN c.data_type = 'integer' THEN 10"
            + " WHEN c.data_type IN ('bigint', 'oid') THEN 19 WHEN c.data_type = 'real' THEN 8"
            + " WHEN c.data_type = 'double precision' THEN 17 WHEN c.data_type = 'numeric' THEN c.numeric_precision"
            + " WHEN c.data_type = 'boolean' THEN 1 ELSE " + DATETIME_SIZE + " END";

    private static final String DECIMAL_DIGITS = "CASE WHEN c.data_type IN ('smallint', 'integer', 'bigint', 'oid')"
            + " THEN 0 WHEN c.data_type = 'numeric' THEN c.numeric_scale"
            + " WHEN c.data_type LIKE 'time%' THEN c.datetime_precision END";

    @Override
    public CatalogQuery tables(String catalog, String schemaPattern, String tablePattern, String[] types)
            throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT * FROM (SELECT CAST(current_database() AS varchar) AS \"TABLE_CAT\","
                + " CAST(n.nspname AS varchar) AS \"TABLE_SCHEM\", CAST(c.relname AS varchar) AS \"TABLE_NAME\", "
                + TABLE_TYPE + " AS \"TABLE_TYPE\", obj_description(c.oid, 'pg_class') AS \"REMARKS\","
                + " CAST(NULL AS varchar) AS \"TYPE_CAT\", CAST(NULL AS varchar) AS \"TYPE_SCHEM\","
                + " CAST(NULL AS varchar) AS \"TYPE_NAME\", CAST(NULL AS varchar) AS \"SELF_REFERENCING_COL_NAME\","
                + " CAST(NULL AS varchar) AS \"REF_GENERATION\""
                + " FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace"
                + " WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f', 'S')"
                + CatalogSql.equal("current_database()", catalog, args)
                + CatalogSql.like("n.nspname", schemaPattern, args)
                + CatalogSql.like("c.relname", tablePattern, args) + ") t WHERE 1 = 1"
                + CatalogSql.in("\"TABLE_TYPE\"", types, args)
                + " ORDER BY \"TABLE_TYPE\", \"TABLE_CAT\", \"TABLE_SCHEM\", \"TABLE_NAME\"", args);
    }

    @Override
    public CatalogQuery columns(String catalog, String schemaPattern, String tablePattern, String columnPattern)
            throws SQLException {
        List<String> args = new ArrayList<>();
        // Columns are numbered before the column pattern narrows them, so that positions stay the table's.
        return new CatalogQuery("SELECT * FROM (SELECT CAST(c.table_catalog AS varchar) AS \"TABLE_CAT\","
                + " CAST(c.table_schema AS varchar) AS \"TABLE_SCHEM\","
                + " CAST(c.table_name AS varchar) AS \"TABLE_NAME\","
                + " CAST(c.column_name AS varchar) AS \"COLUMN_NAME\", " + DATA_TYPE + " AS \"DATA_TYPE\","
                + " CAST(c.udt_name AS varchar) AS \"TYPE_NAME\","
                + " CAST(" + COLUMN_SIZE + " AS integer) AS \"COLUMN_SIZE\","
                + " CAST(NULL AS integer) AS \"BUFFER_LENGTH\","
                + " CAST(" + DECIMAL_DIGITS + " AS integer) AS \"DECIMAL_DIGITS\", 10 AS \"NUM_PREC_RADIX\","
                + " CASE c.is_nullable WHEN 'NO' THEN 0 ELSE 1 END AS \"NULLABLE\","
                + " col_description(format('%I.%I', c.table_schema, c.table_name)::regclass,"
                + " CAST(c.ordinal_position AS integer)) AS \"REMARKS\","
                + " CAST(c.column_default AS varchar) AS \"COLUMN_DEF\", CAST(NULL AS integer) AS \"SQL_DATA_TYPE\","
                + " CAST(NULL AS integer) AS \"SQL_DATETIME_SUB\","
                + " CAST(c.character_octet_length AS integer) AS \"CHAR_OCTET_LENGTH\","
                + " CAST(row_number() OVER (PARTITION BY c.table_schema, c.table_name ORDER BY c.ordinal_position)"
                + " AS integer) AS \"ORDINAL_POSITION\", CAST(c.is_nullable AS varchar) AS \"IS_NULLABLE\","
                + " CAST(NULL AS varchar) AS \"SCOPE_CATALOG\", CAST(NULL AS varchar) AS \"SCOPE_SCHEMA\","
                + " CAST(NULL AS varchar) AS \"SCOPE_TABLE\", CAST(NULL AS smallint) AS \"SOURCE_DATA_TYPE\","
                + " CASE WHEN c.is_identity = 'YES' OR c.column_default LIKE 'nextval(%' THEN 'YES' ELSE 'NO' END"
                + " AS \"IS_AUTOINCREMENT\","
                + " CASE WHEN c.is_generated = 'ALWAYS' THEN 'YES' ELSE 'NO' END AS \"IS_GENERATEDCOLUMN\""
                + " FROM information_schema.columns c WHERE 1 = 1"
                + CatalogSql.equal("c.table_catalog", catalog, args)
                + CatalogSql.like("c.table_schema", schemaPattern, args)
                + CatalogSql.like("c.table_name", tablePattern, args) + ") t WHERE 1 = 1"
                + CatalogSql.like("\"COLUMN_NAME\"", columnPattern, args)
                + " ORDER BY \"TABLE_CAT\", \"TABLE_SCHEM\", \"TABLE_NAME\", \"ORDINAL_POSITION\"", args);
    }

    @Override
    public CatalogQuery primaryKeys(String catalog, String schema, String table) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT CAST(k.table_catalog AS varchar) AS \"TABLE_CAT\","
                + " CAST(k.table_schema AS varchar) AS \"TABLE_SCHEM\", CAST(k.table_name AS varchar) AS \"TABLE_NAME\","
                + " CAST(k.column_name AS varchar) AS \"COLUMN_NAME\", CAST(k.ordinal_position AS smallint) AS \"KEY_SEQ\","
                + " CAST(k.constraint_name AS varchar) AS \"PK_NAME\""
                + " FROM information_schema.table_constraints tc JOIN information_schema.key_column_usage k"
                + " ON k.constraint_schema = tc.constraint_schema AND k.constraint_name = tc.constraint_name"
                + " AND k.table_schema = tc.table_schema AND k.table_name = tc.table_name"
                + " WHERE tc.constraint_type = 'PRIMARY KEY'"
                + CatalogSql.equal("k.table_catalog", catalog, args)
                + CatalogSql.equal("k.table_schema", schema, args)
                + CatalogSql.equal("k.table_name", table, args)
                + " ORDER BY \"COLUMN_NAME\"", args);
    }

    /**
     * Key columns of each index (INCLUDE columns are not keys). TYPE is
     * clustered for the index the table was last clustered on, hashed for
     * hash indexes; an expression is given as its text; CARDINALITY and PAGES
     * are NULL rather than the planner's estimates.
     */
    @Override
    public CatalogQuery indexInfo(String catalog, String schema, String table, boolean unique) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT CAST(current_database() AS varchar) AS \"TABLE_CAT\","
                + " CAST(n.nspname AS varchar) AS \"TABLE_SCHEM\", CAST(t.relname AS varchar) AS \"TABLE_NAME\","
                + " NOT i.indisunique AS \"NON_UNIQUE\", CAST(NULL AS varchar) AS \"INDEX_QUALIFIER\","
                + " CAST(ic.relname AS varchar) AS \"INDEX_NAME\", CAST(CASE WHEN i.indisclustered THEN "
                + DatabaseMetaData.tableIndexClustered + " WHEN am.amname = 'hash' THEN " + DatabaseMetaData.tableIndexHashed
                + " ELSE " + DatabaseMetaData.tableIndexOther + " END AS smallint) AS \"TYPE\","
                + " CAST(k.n AS smallint) AS \"ORDINAL_POSITION\","
                + " CAST(CASE WHEN k.attnum > 0 THEN a.attname ELSE pg_get_indexdef(i.indexrelid, CAST(k.n AS integer), true)"
                + " END AS varchar) AS \"COLUMN_NAME\","
                + " CASE WHEN am.amname = 'btree' THEN CASE WHEN i.indoption[k.n - 1] & 1 = 1 THEN 'D' ELSE 'A' END END"
                + " AS \"ASC_OR_DESC\", CAST(NULL AS bigint) AS \"CARDINALITY\", CAST(NULL AS bigint) AS \"PAGES\","
                + " pg_get_expr(i.indpred, i.indrelid) AS \"FILTER_CONDITION\""
                + " FROM pg_catalog.pg_index i JOIN pg_catalog.pg_class t ON t.oid = i.indrelid"
                + " JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace"
                + " JOIN pg_catalog.pg_class ic ON ic.oid = i.indexrelid JOIN pg_catalog.pg_am am ON am.oid = ic.relam"
                + " CROSS JOIN LATERAL unnest(CAST(i.indkey AS int2[])) WITH ORDINALITY AS k(attnum, n)"
                + " LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum"
                + " WHERE k.n <= i.indnkeyatts"
                + CatalogSql.equal("current_database()", catalog, args)
                + CatalogSql.equal("n.nspname", schema, args) + CatalogSql.equal("t.relname", table, args)
                + (unique ? " AND i.indisunique" : "")
                + " ORDER BY \"NON_UNIQUE\", \"TYPE\", \"INDEX_NAME\", \"ORDINAL_POSITION\"", args);
    }

    @Override
    public CatalogQuery foreignKeys(String pkCatalog, String pkSchema, String pkTable, String fkCatalog, String fkSchema,
            String fkTable, boolean byPrimary) throws SQLException {
        List<String> args = new ArrayList<>();
        String order = byPrimary ? "\"PKTABLE_CAT\", \"PKTABLE_SCHEM\", \"PKTABLE_NAME\""
                : "\"FKTABLE_CAT\", \"FKTABLE_SCHEM\", \"FKTABLE_NAME\"";
        return new CatalogQuery("SELECT CAST(current_database() AS varchar) AS \"PKTABLE_CAT\","
                + " CAST(pn.nspname AS varchar) AS \"PKTABLE_SCHEM\", CAST(pc.relname AS varchar) AS \"PKTABLE_NAME\","
                + " CAST(pa.attname AS varchar) AS \"PKCOLUMN_NAME\", CAST(current_database() AS varchar) AS \"FKTABLE_CAT\","
                + " CAST(fn.nspname AS varchar) AS \"FKTABLE_SCHEM\", CAST(fc.relname AS varchar) AS \"FKTABLE_NAME\","
                + " CAST(fa.attname AS varchar) AS \"FKCOLUMN_NAME\", CAST(k.n AS smallint) AS \"KEY_SEQ\","
                + " CAST(" + rule("con.confupdtype") + " AS smallint) AS \"UPDATE_RULE\","
                + " CAST(" + rule("con.confdeltype") + " AS smallint) AS \"DELETE_RULE\","
                + " CAST(con.conname AS varchar) AS \"FK_NAME\", CAST((SELECT u.conname FROM pg_catalog.pg_constraint u"
                + " WHERE u.conrelid = con.confrelid AND u.conindid = con.conindid AND u.contype IN ('p', 'u'))"
                + " AS varchar) AS \"PK_NAME\", CAST(CASE WHEN con.condeferred THEN "
                + DatabaseMetaData.importedKeyInitiallyDeferred + " WHEN con.condeferrable THEN "
                + DatabaseMetaData.importedKeyInitiallyImmediate + " ELSE " + DatabaseMetaData.importedKeyNotDeferrable
                + " END AS smallint) AS \"DEFERRABILITY\""
                + " FROM pg_catalog.pg_constraint con"
                + " CROSS JOIN LATERAL unnest(con.conkey, con.confkey) WITH ORDINALITY AS k(fk, pk, n)"
                + " JOIN pg_catalog.pg_class fc ON fc.oid = con.conrelid"
                + " JOIN pg_catalog.pg_namespace fn ON fn.oid = fc.relnamespace"
                + " JOIN pg_catalog.pg_attribute fa ON fa.attrelid = con.conrelid AND fa.attnum = k.fk"
                + " JOIN pg_catalog.pg_class pc ON pc.oid = con.confrelid"
                + " JOIN pg_catalog.pg_namespace pn ON pn.oid = pc.relnamespace"
                + " JOIN pg_catalog.pg_attribute pa ON pa.attrelid = con.confrelid AND pa.attnum = k.pk"
                + " WHERE con.contype = 'f'"
                + CatalogSql.equal("current_database()", pkCatalog, args)
                + CatalogSql.equal("pn.nspname", pkSchema, args) + CatalogSql.equal("pc.relname", pkTable, args)
                + CatalogSql.equal("current_database()", fkCatalog, args)
                + CatalogSql.equal("fn.nspname", fkSchema, args) + CatalogSql.equal("fc.relname", fkTable, args)
                + " ORDER BY " + order + ", \"KEY_SEQ\"", args);
    }

    private static String rule(String action) {
        return "CASE " + action + " WHEN 'c' THEN " + DatabaseMetaData.importedKeyCascade
                + " WHEN 'r' THEN " + DatabaseMetaData.importedKeyRestrict
                + " WHEN 'n' THEN " + DatabaseMetaData.importedKeySetNull
                + " WHEN 'd' THEN " + DatabaseMetaData.importedKeySetDefault
                + " ELSE " + DatabaseMetaData.importedKeyNoAction + " END";
    }

    @Override
    public CatalogQuery schemas(String catalog, String schemaPattern) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT CAST(nspname AS varchar) AS \"TABLE_SCHEM\","
                + " CAST(current_database() AS varchar) AS \"TABLE_CATALOG\" FROM pg_catalog.pg_namespace"
                + " WHERE left(nspname, 8) NOT IN ('pg_toast', 'pg_temp_')"
                + CatalogSql.equal("current_database()", catalog, args)
                + CatalogSql.like("nspname", schemaPattern, args)
                + " ORDER BY \"TABLE_SCHEM\"", args);
    }

    @Override
    public CatalogQuery catalogs() {
        return new CatalogQuery("SELECT CAST(current_database() AS varchar) AS \"TABLE_CAT\"");
    }

    @Override
    public CatalogQuery tableTypes() {
        StringBuilder sql = new StringBuilder();
        for (String type : new String[] {"FOREIGN TABLE", "MATERIALIZED VIEW", "PARTITIONED TABLE", "SEQUENCE",
                "SYSTEM TABLE", "SYSTEM VIEW", "TABLE", "TEMPORARY SEQUENCE", "TEMPORARY TABLE", "TEMPORARY VIEW",
                "VIEW"}) {
            sql.append(sql.length() == 0 ? "SELECT CAST('" + type + "' AS varchar) AS \"TABLE_TYPE\"" : " UNION ALL SELECT '" + type + "'");
        }
        return new CatalogQuery(sql.toString());
    }
}
