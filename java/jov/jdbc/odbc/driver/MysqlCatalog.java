package jov.jdbc.odbc.driver;

import java.sql.DatabaseMetaData;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.List;

/**
 * Catalogue queries for MariaDB and MySQL, over information_schema.
 *
 * <p>A database is a JDBC catalogue, as Connector/J reports it: TABLE_CAT is
 * the database and TABLE_SCHEM is NULL. With no schemas to match, a schema
 * argument is ignored, as Connector/J ignores it where databases are
 * catalogues: tools name the user or the database there (Spring's
 * SimpleJdbcInsert passes the user name), and hiding every table from them
 * would serve nobody. A null catalogue narrows nothing (every database the
 * user can see). Names compare as
 * information_schema's collation does, case-blind.
 *
 * <p>TABLE_TYPE is TABLE, VIEW, SYSTEM VIEW (information_schema), SYSTEM
 * TABLE (in mysql and performance_schema), SEQUENCE or LOCAL TEMPORARY.
 *
 * <p>DATA_TYPE is the java.sql.Types code of the column's type as Connector/J
 * maps it (the TEXT types LONGVARCHAR, the BLOB types LONGVARBINARY, ENUM and
 * SET CHAR, an unsigned INT BIGINT); types without one are OTHER. COLUMN_SIZE
 * counts decimal digits for numbers and characters for texts, dates and
 * times. Aliases are written in backticks, the quote these databases honour
 * in every sql_mode.
 */
final class MysqlCatalog implements CatalogQueries {

    private static final String SYSTEM_TABLE_DATABASES = "('mysql', 'performance_schema')";

    private static final String TABLE_TYPE = "CASE t.TABLE_TYPE WHEN 'VIEW' THEN 'VIEW'"
            + " WHEN 'SYSTEM VIEW' THEN 'SYSTEM VIEW' WHEN 'SEQUENCE' THEN 'SEQUENCE'"
            + " WHEN 'TEMPORARY' THEN 'LOCAL TEMPORARY'"
            + " ELSE CASE WHEN t.TABLE_SCHEMA IN " + SYSTEM_TABLE_DATABASES + " THEN 'SYSTEM TABLE'"
            + " ELSE 'TABLE' END END";

    private static final String DATA_TYPE = "CASE lower(c.DATA_TYPE)"
            + " WHEN 'tinyint' THEN -6 WHEN 'smallint' THEN 5 WHEN 'mediumint' THEN 4"
            + " WHEN 'int' THEN CASE WHEN c.COLUMN_TYPE LIKE '%unsigned%' THEN -5 ELSE 4 END"
            + " WHEN 'bigint' THEN -5 WHEN 'decimal' THEN 3 WHEN 'float' THEN 7 WHEN 'double' THEN 8"
            + " WHEN 'bit' THEN -7 WHEN 'char' THEN 1 WHEN 'varchar' THEN 12"
            + " WHEN 'tinytext' THEN -1 WHEN 'text' THEN -1 WHEN 'mediumtext' THEN -1 WHEN 'longtext' THEN -1"
            + " WHEN 'enum' THEN 1 WHEN 'set' THEN 1 WHEN 'binary' THEN -2 WHEN 'varbinary' THEN -3"
            + " WHEN 'tinyblob' THEN -4 WHEN 'blob' THEN -4 WHEN 'mediumblob' THEN -4 WHEN 'longblob' THEN -4"
            + " WHEN 'date' THEN 91 WHEN 'time' THEN 92 WHEN 'datetime' THEN 93 WHEN 'timestamp' THEN 93"
            + " WHEN 'year' THEN 5 ELSE 1111 END";

    /** Characters of the text of a date or time: the fraction's digits and point. */
    private static final String DATETIME_SIZE = "CASE lower(c.DATA_TYPE) WHEN 'date' THEN 10 WHEN 'year' THEN 4"
            + " WHEN 'time' THEN 8 WHEN 'datetime' THEN 19 WHEN 'timestamp' THEN 19 END"
            + " + CASE WHEN c.DATETIME_PRECISION > 0 THEN c.DATETIME_PRECISION + 1 ELSE 0 END";

    private static final String COLUMN_SIZE = "CASE WHEN c.CHARACTER_MAXIMUM_LENGTH IS NOT NULL"
            + " THEN c.CHARACTER_MAXIMUM_LENGTH WHEN c.NUMERIC_PRECISION IS NOT NULL THEN c.NUMERIC_PRECISION"
            + " ELSE " + DATETIME_SIZE + " END";

    private static final String DECIMAL_DIGITS = "CASE WHEN lower(c.DATA_TYPE) IN ('float', 'double') THEN NULL"
            + " WHEN c.NUMERIC_PRECISION IS NOT NULL THEN c.NUMERIC_SCALE"
            + " WHEN c.DATETIME_PRECISION IS NOT NULL THEN c.DATETIME_PRECISION END";

    @Override
    public CatalogQuery tables(String catalog, String schemaPattern, String tablePattern, String[] types)
            throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT * FROM (SELECT t.TABLE_SCHEMA AS `TABLE_CAT`, NULL AS `TABLE_SCHEM`,"
                + " t.TABLE_NAME AS `TABLE_NAME`, " + TABLE_TYPE + " AS `TABLE_TYPE`, t.TABLE_COMMENT AS `REMARKS`,"
                + " NULL AS `TYPE_CAT`, NULL AS `TYPE_SCHEM`, NULL AS `TYPE_NAME`,"
                + " NULL AS `SELF_REFERENCING_COL_NAME`, NULL AS `REF_GENERATION`"
                + " FROM information_schema.TABLES t WHERE 1 = 1"
                + CatalogSql.equal("t.TABLE_SCHEMA", catalog, args)
                + CatalogSql.like("t.TABLE_NAME", tablePattern, args) + ") x WHERE 1 = 1"
                + CatalogSql.in("`TABLE_TYPE`", types, args)
                + " ORDER BY `TABLE_TYPE`, `TABLE_CAT`, `TABLE_NAME`", args);
    }

    @Override
    public CatalogQuery columns(String catalog, String schemaPattern, String tablePattern, String columnPattern)
            throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT c.TABLE_SCHEMA AS `TABLE_CAT`, NULL AS `TABLE_SCHEM`, c.TABLE_NAME AS `TABLE_NAME`,"
                + " c.COLUMN_NAME AS `COLUMN_NAME`, " + DATA_TYPE + " AS `DATA_TYPE`,"
                + " upper(c.DATA_TYPE) AS `TYPE_NAME`, CAST(" + COLUMN_SIZE + " AS SIGNED) AS `COLUMN_SIZE`,"
                + " NULL AS `BUFFER_LENGTH`, CAST(" + DECIMAL_DIGITS + " AS SIGNED) AS `DECIMAL_DIGITS`,"
                + " 10 AS `NUM_PREC_RADIX`, CASE c.IS_NULLABLE WHEN 'NO' THEN 0 ELSE 1 END AS `NULLABLE`,"
                + " c.COLUMN_COMMENT AS `REMARKS`, c.COLUMN_DEFAULT AS `COLUMN_DEF`, NULL AS `SQL_DATA_TYPE`,"
                + " NULL AS `SQL_DATETIME_SUB`, CAST(c.CHARACTER_OCTET_LENGTH AS SIGNED) AS `CHAR_OCTET_LENGTH`,"
                + " CAST(c.ORDINAL_POSITION AS SIGNED) AS `ORDINAL_POSITION`, c.IS_NULLABLE AS `IS_NULLABLE`,"
                + " NULL AS `SCOPE_CATALOG`, NULL AS `SCOPE_SCHEMA`, NULL AS `SCOPE_TABLE`,"
                + " NULL AS `SOURCE_DATA_TYPE`,"
                + " CASE WHEN c.EXTRA LIKE '%auto_increment%' THEN 'YES' ELSE 'NO' END AS `IS_AUTOINCREMENT`,"
                + " CASE WHEN c.EXTRA LIKE '%GENERATED%' THEN 'YES' ELSE 'NO' END AS `IS_GENERATEDCOLUMN`"
                + " FROM information_schema.COLUMNS c WHERE 1 = 1"
                + CatalogSql.equal("c.TABLE_SCHEMA", catalog, args)
                + CatalogSql.like("c.TABLE_NAME", tablePattern, args)
                + CatalogSql.like("c.COLUMN_NAME", columnPattern, args)
                + " ORDER BY `TABLE_CAT`, `TABLE_NAME`, `ORDINAL_POSITION`", args);
    }

    @Override
    public CatalogQuery primaryKeys(String catalog, String schema, String table) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT k.TABLE_SCHEMA AS `TABLE_CAT`, NULL AS `TABLE_SCHEM`, k.TABLE_NAME AS `TABLE_NAME`,"
                + " k.COLUMN_NAME AS `COLUMN_NAME`, CAST(k.ORDINAL_POSITION AS SIGNED) AS `KEY_SEQ`,"
                + " k.CONSTRAINT_NAME AS `PK_NAME` FROM information_schema.KEY_COLUMN_USAGE k"
                + " WHERE k.CONSTRAINT_NAME = 'PRIMARY'"
                + CatalogSql.equal("k.TABLE_SCHEMA", catalog, args)
                + CatalogSql.equal("k.TABLE_NAME", table, args)
                + " ORDER BY `COLUMN_NAME`", args);
    }

    /**
     * Columns of each index; a FULLTEXT or SPATIAL index is OTHER, a HASH one
     * hashed. CARDINALITY is the server's estimate; PAGES is NULL.
     */
    @Override
    public CatalogQuery indexInfo(String catalog, String schema, String table, boolean unique) throws SQLException {
        List<String> args = new ArrayList<>();
        return new CatalogQuery("SELECT s.TABLE_SCHEMA AS `TABLE_CAT`, NULL AS `TABLE_SCHEM`, s.TABLE_NAME AS `TABLE_NAME`,"
                + " s.NON_UNIQUE <> 0 AS `NON_UNIQUE`, NULL AS `INDEX_QUALIFIER`, s.INDEX_NAME AS `INDEX_NAME`,"
                + " CASE s.INDEX_TYPE WHEN 'HASH' THEN " + DatabaseMetaData.tableIndexHashed
                + " ELSE " + DatabaseMetaData.tableIndexOther + " END AS `TYPE`,"
                + " CAST(s.SEQ_IN_INDEX AS SIGNED) AS `ORDINAL_POSITION`, s.COLUMN_NAME AS `COLUMN_NAME`,"
                + " s.COLLATION AS `ASC_OR_DESC`, CAST(s.CARDINALITY AS SIGNED) AS `CARDINALITY`,"
                + " NULL AS `PAGES`, NULL AS `FILTER_CONDITION` FROM information_schema.STATISTICS s"
                + " WHERE 1 = 1"
                + CatalogSql.equal("s.TABLE_SCHEMA", catalog, args)
                + CatalogSql.equal("s.TABLE_NAME", table, args)
                + (unique ? " AND s.NON_UNIQUE = 0" : "")
                + " ORDER BY `NON_UNIQUE`, `TYPE`, `INDEX_NAME`, `ORDINAL_POSITION`", args);
    }

    /** Keys are never deferrable here; PK_NAME is the referenced unique key's name. */
    @Override
    public CatalogQuery foreignKeys(String pkCatalog, String pkSchema, String pkTable, String fkCatalog, String fkSchema,
            String fkTable, boolean byPrimary) throws SQLException {
        List<String> args = new ArrayList<>();
        String order = byPrimary ? "`PKTABLE_CAT`, `PKTABLE_NAME`" : "`FKTABLE_CAT`, `FKTABLE_NAME`";
        return new CatalogQuery("SELECT k.REFERENCED_TABLE_SCHEMA AS `PKTABLE_CAT`, NULL AS `PKTABLE_SCHEM`,"
                + " k.REFERENCED_TABLE_NAME AS `PKTABLE_NAME`, k.REFERENCED_COLUMN_NAME AS `PKCOLUMN_NAME`,"
                + " k.TABLE_SCHEMA AS `FKTABLE_CAT`, NULL AS `FKTABLE_SCHEM`, k.TABLE_NAME AS `FKTABLE_NAME`,"
                + " k.COLUMN_NAME AS `FKCOLUMN_NAME`, CAST(k.ORDINAL_POSITION AS SIGNED) AS `KEY_SEQ`,"
                + " " + rule("r.UPDATE_RULE") + " AS `UPDATE_RULE`, " + rule("r.DELETE_RULE") + " AS `DELETE_RULE`,"
                + " k.CONSTRAINT_NAME AS `FK_NAME`, r.UNIQUE_CONSTRAINT_NAME AS `PK_NAME`,"
                + " " + DatabaseMetaData.importedKeyNotDeferrable + " AS `DEFERRABILITY`"
                + " FROM information_schema.KEY_COLUMN_USAGE k JOIN information_schema.REFERENTIAL_CONSTRAINTS r"
                + " ON r.CONSTRAINT_SCHEMA = k.CONSTRAINT_SCHEMA AND r.CONSTRAINT_NAME = k.CONSTRAINT_NAME"
                + " AND r.TABLE_NAME = k.TABLE_NAME"
                + " WHERE 1 = 1"
                + CatalogSql.equal("k.REFERENCED_TABLE_SCHEMA", pkCatalog, args)
                + CatalogSql.equal("k.REFERENCED_TABLE_NAME", pkTable, args)
                + CatalogSql.equal("k.TABLE_SCHEMA", fkCatalog, args)
                + CatalogSql.equal("k.TABLE_NAME", fkTable, args)
                + " ORDER BY " + order + ", `KEY_SEQ`", args);
    }

    private static String rule(String action) {
        return "CASE " + action + " WHEN 'CASCADE' THEN " + DatabaseMetaData.importedKeyCascade
                + " WHEN 'RESTRICT' THEN " + DatabaseMetaData.importedKeyRestrict
                + " WHEN 'SET NULL' THEN " + DatabaseMetaData.importedKeySetNull
                + " WHEN 'SET DEFAULT' THEN " + DatabaseMetaData.importedKeySetDefault
                + " ELSE " + DatabaseMetaData.importedKeyNoAction + " END";
    }

    @Override
    public CatalogQuery schemas(String catalog, String schemaPattern) {
        return new CatalogQuery(CatalogSql.empty("TABLE_SCHEM", "TABLE_CATALOG"));
    }

    @Override
    public CatalogQuery catalogs() {
        return new CatalogQuery("SELECT SCHEMA_NAME AS `TABLE_CAT` FROM information_schema.SCHEMATA ORDER BY `TABLE_CAT`");
    }

    @Override
    public CatalogQuery tableTypes() {
        return new CatalogQuery("SELECT 'LOCAL TEMPORARY' AS `TABLE_TYPE` UNION ALL SELECT 'SEQUENCE' UNION ALL SELECT 'SYSTEM TABLE'"
                + " UNION ALL SELECT 'SYSTEM VIEW' UNION ALL SELECT 'TABLE' UNION ALL SELECT 'VIEW'");
    }
}
