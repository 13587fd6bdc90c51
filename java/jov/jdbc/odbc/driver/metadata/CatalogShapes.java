package jov.jdbc.odbc.driver.metadata;

import java.sql.Types;
import java.util.regex.Pattern;

/**
 * The JDBC columns of each catalogue answer over the ODBC function that
 * gives it. ODBC's result columns come in JDBC's order; the numbers are
 * their positions. Columns JDBC has and ODBC lacks are NULL, or "" where
 * JDBC asks for "" when unknown.
 */
final class CatalogShapes {

    private CatalogShapes() {
    }

    /** SQLTables. */
    static final CatalogShape TABLES = new CatalogShape().text("TABLE_CAT", 1).text("TABLE_SCHEM", 2)
            .text("TABLE_NAME", 3).text("TABLE_TYPE", 4).text("REMARKS", 5).none("TYPE_CAT", Types.VARCHAR)
            .none("TYPE_SCHEM", Types.VARCHAR).none("TYPE_NAME", Types.VARCHAR)
            .none("SELF_REFERENCING_COL_NAME", Types.VARCHAR).none("REF_GENERATION", Types.VARCHAR);

    /** SQLTables' list of schemas. */
    static final CatalogShape SCHEMAS = new CatalogShape().text("TABLE_SCHEM", 2).text("TABLE_CATALOG", 1);

    /** SQLTables' list of catalogues. */
    static final CatalogShape CATALOGS = new CatalogShape().text("TABLE_CAT", 1);

    /** SQLTables' list of table types. */
    static final CatalogShape TABLE_TYPES = new CatalogShape().text("TABLE_TYPE", 4);

    /** SQLColumns: whether a column is generated ODBC does not say, which JDBC writes "". */
    static final CatalogShape COLUMNS = new CatalogShape().text("TABLE_CAT", 1).text("TABLE_SCHEM", 2)
            .text("TABLE_NAME", 3).text("COLUMN_NAME", 4).dataType("DATA_TYPE", 5, 7).text("TYPE_NAME", 6)
            .integer("COLUMN_SIZE", 7).integer("BUFFER_LENGTH", 8).integer("DECIMAL_DIGITS", 9)
            .integer("NUM_PREC_RADIX", 10).integer("NULLABLE", 11).text("REMARKS", 12).text("COLUMN_DEF", 13)
            .integer("SQL_DATA_TYPE", 14).integer("SQL_DATETIME_SUB", 15).integer("CHAR_OCTET_LENGTH", 16)
            .integer("ORDINAL_POSITION", 17).text("IS_NULLABLE", 18).none("SCOPE_CATALOG", Types.VARCHAR)
            .none("SCOPE_SCHEMA", Types.VARCHAR).none("SCOPE_TABLE", Types.VARCHAR)
            .none("SOURCE_DATA_TYPE", Types.SMALLINT).constant("IS_AUTOINCREMENT", "")
            .constant("IS_GENERATEDCOLUMN", "");

    /** SQLPrimaryKeys. */
    static final CatalogShape PRIMARY_KEYS = new CatalogShape().text("TABLE_CAT", 1).text("TABLE_SCHEM", 2)
            .text("TABLE_NAME", 3).text("COLUMN_NAME", 4).small("KEY_SEQ", 5).text("PK_NAME", 6);

    /** SQLForeignKeys. */
    static final CatalogShape FOREIGN_KEYS = new CatalogShape().text("PKTABLE_CAT", 1).text("PKTABLE_SCHEM", 2)
            .text("PKTABLE_NAME", 3).text("PKCOLUMN_NAME", 4).text("FKTABLE_CAT", 5).text("FKTABLE_SCHEM", 6)
            .text("FKTABLE_NAME", 7).text("FKCOLUMN_NAME", 8).small("KEY_SEQ", 9).small("UPDATE_RULE", 10)
            .small("DELETE_RULE", 11).text("FK_NAME", 12).text("PK_NAME", 13).small("DEFERRABILITY", 14);

    /** SQLStatistics. */
    static final CatalogShape INDEX_INFO = new CatalogShape().text("TABLE_CAT", 1).text("TABLE_SCHEM", 2)
            .text("TABLE_NAME", 3).flag("NON_UNIQUE", 4).text("INDEX_QUALIFIER", 5).text("INDEX_NAME", 6)
            .small("TYPE", 7).small("ORDINAL_POSITION", 8).text("COLUMN_NAME", 9).text("ASC_OR_DESC", 10)
            .big("CARDINALITY", 11).big("PAGES", 12).text("FILTER_CONDITION", 13);

    /** SQLGetTypeInfo. */
    static final CatalogShape TYPE_INFO = new CatalogShape().text("TYPE_NAME", 1).dataType("DATA_TYPE", 2, 3)
            .integer("PRECISION", 3).text("LITERAL_PREFIX", 4).text("LITERAL_SUFFIX", 5).text("CREATE_PARAMS", 6)
            .small("NULLABLE", 7).flag("CASE_SENSITIVE", 8).small("SEARCHABLE", 9).flag("UNSIGNED_ATTRIBUTE", 10)
            .flag("FIXED_PREC_SCALE", 11).flag("AUTO_INCREMENT", 12).text("LOCAL_TYPE_NAME", 13)
            .small("MINIMUM_SCALE", 14).small("MAXIMUM_SCALE", 15).integer("SQL_DATA_TYPE", 16)
            .integer("SQL_DATETIME_SUB", 17).integer("NUM_PREC_RADIX", 18);

    /** SQLProcedures: its counts of parameters and results are JDBC's reserved columns. */
    static final CatalogShape PROCEDURES = new CatalogShape().text("PROCEDURE_CAT", 1).text("PROCEDURE_SCHEM", 2)
            .text("PROCEDURE_NAME", 3).none("RESERVED1", Types.VARCHAR).none("RESERVED2", Types.VARCHAR)
            .none("RESERVED3", Types.VARCHAR).text("REMARKS", 7).small("PROCEDURE_TYPE", 8)
            .text("SPECIFIC_NAME", 3);

    /** SQLProcedureColumns. */
    static final CatalogShape PROCEDURE_COLUMNS = new CatalogShape().text("PROCEDURE_CAT", 1)
            .text("PROCEDURE_SCHEM", 2).text("PROCEDURE_NAME", 3).text("COLUMN_NAME", 4).small("COLUMN_TYPE", 5)
            .dataType("DATA_TYPE", 6, 8).text("TYPE_NAME", 7).integer("PRECISION", 8).integer("LENGTH", 9)
            .small("SCALE", 10).small("RADIX", 11).small("NULLABLE", 12).text("REMARKS", 13)
            .text("COLUMN_DEF", 14).integer("SQL_DATA_TYPE", 15).integer("SQL_DATETIME_SUB", 16)
            .integer("CHAR_OCTET_LENGTH", 17).integer("ORDINAL_POSITION", 18).text("IS_NULLABLE", 19)
            .text("SPECIFIC_NAME", 3);

    /** SQLTablePrivileges. */
    static final CatalogShape TABLE_PRIVILEGES = new CatalogShape().text("TABLE_CAT", 1).text("TABLE_SCHEM", 2)
            .text("TABLE_NAME", 3).text("GRANTOR", 4).text("GRANTEE", 5).text("PRIVILEGE", 6)
            .text("IS_GRANTABLE", 7);

    /** SQLColumnPrivileges. */
    static final CatalogShape COLUMN_PRIVILEGES = new CatalogShape().text("TABLE_CAT", 1).text("TABLE_SCHEM", 2)
            .text("TABLE_NAME", 3).text("COLUMN_NAME", 4).text("GRANTOR", 5).text("GRANTEE", 6)
            .text("PRIVILEGE", 7).text("IS_GRANTABLE", 8);

    /** SQLSpecialColumns, for the best row identifier and the version columns alike. */
    static final CatalogShape SPECIAL_COLUMNS = new CatalogShape().small("SCOPE", 1).text("COLUMN_NAME", 2)
            .dataType("DATA_TYPE", 3, 5).text("TYPE_NAME", 4).integer("COLUMN_SIZE", 5)
            .integer("BUFFER_LENGTH", 6).small("DECIMAL_DIGITS", 7).small("PSEUDO_COLUMN", 8);

    // The answers ODBC has no function for: always empty.

    static final CatalogShape FUNCTIONS = texts("FUNCTION_CAT", "FUNCTION_SCHEM", "FUNCTION_NAME", "REMARKS")
            .none("FUNCTION_TYPE", Types.SMALLINT).none("SPECIFIC_NAME", Types.VARCHAR);

    static final CatalogShape FUNCTION_COLUMNS = texts("FUNCTION_CAT", "FUNCTION_SCHEM", "FUNCTION_NAME",
            "COLUMN_NAME").none("COLUMN_TYPE", Types.SMALLINT).none("DATA_TYPE", Types.INTEGER)
            .none("TYPE_NAME", Types.VARCHAR).none("PRECISION", Types.INTEGER).none("LENGTH", Types.INTEGER)
            .none("SCALE", Types.SMALLINT).none("RADIX", Types.SMALLINT).none("NULLABLE", Types.SMALLINT)
            .none("REMARKS", Types.VARCHAR).none("CHAR_OCTET_LENGTH", Types.INTEGER)
            .none("ORDINAL_POSITION", Types.INTEGER).none("IS_NULLABLE", Types.VARCHAR)
            .none("SPECIFIC_NAME", Types.VARCHAR);

    static final CatalogShape UDTS = texts("TYPE_CAT", "TYPE_SCHEM", "TYPE_NAME", "CLASS_NAME")
            .none("DATA_TYPE", Types.INTEGER).none("REMARKS", Types.VARCHAR).none("BASE_TYPE", Types.SMALLINT);

    static final CatalogShape SUPER_TYPES = texts("TYPE_CAT", "TYPE_SCHEM", "TYPE_NAME", "SUPERTYPE_CAT",
            "SUPERTYPE_SCHEM", "SUPERTYPE_NAME");

    static final CatalogShape SUPER_TABLES = texts("TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "SUPERTABLE_NAME");

    static final CatalogShape ATTRIBUTES = texts("TYPE_CAT", "TYPE_SCHEM", "TYPE_NAME", "ATTR_NAME")
            .none("DATA_TYPE", Types.INTEGER).none("ATTR_TYPE_NAME", Types.VARCHAR).none("ATTR_SIZE", Types.INTEGER)
            .none("DECIMAL_DIGITS", Types.INTEGER).none("NUM_PREC_RADIX", Types.INTEGER)
            .none("NULLABLE", Types.INTEGER).none("REMARKS", Types.VARCHAR).none("ATTR_DEF", Types.VARCHAR)
            .none("SQL_DATA_TYPE", Types.INTEGER).none("SQL_DATETIME_SUB", Types.INTEGER)
            .none("CHAR_OCTET_LENGTH", Types.INTEGER).none("ORDINAL_POSITION", Types.INTEGER)
            .none("IS_NULLABLE", Types.VARCHAR).none("SCOPE_CATALOG", Types.VARCHAR)
            .none("SCOPE_SCHEMA", Types.VARCHAR).none("SCOPE_TABLE", Types.VARCHAR)
            .none("SOURCE_DATA_TYPE", Types.SMALLINT);

    static final CatalogShape PSEUDO_COLUMNS = texts("TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "COLUMN_NAME")
            .none("DATA_TYPE", Types.INTEGER).none("COLUMN_SIZE", Types.INTEGER)
            .none("DECIMAL_DIGITS", Types.INTEGER).none("NUM_PREC_RADIX", Types.INTEGER)
            .none("COLUMN_USAGE", Types.VARCHAR).none("REMARKS", Types.VARCHAR)
            .none("CHAR_OCTET_LENGTH", Types.INTEGER).none("IS_NULLABLE", Types.VARCHAR);

    static final CatalogShape CLIENT_INFO = texts("NAME").none("MAX_LEN", Types.INTEGER)
            .none("DEFAULT_VALUE", Types.VARCHAR).none("DESCRIPTION", Types.VARCHAR);

    private static CatalogShape texts(String... names) {
        CatalogShape shape = new CatalogShape();
        for (String name : names) {
            shape.none(name, Types.VARCHAR);
        }
        return shape;
    }

    /**
     * The pattern with each escaped escape character (a name's own backslash)
     * as '_', which matches it too, for the ODBC driver; the caller narrows
     * the answer with the exact pattern. Measured: psqlODBC matches no name
     * with a backslash, however the pattern escapes it.
     */
    static String widened(String pattern, String escape) {
        return pattern == null || escape.isEmpty() ? pattern : pattern.replace(escape + escape, "_");
    }

    /**
     * A JDBC name pattern ('%' any run, '_' any character, escape before
     * either for itself) as a regular expression, case-blind when asked; null
     * matches everything.
     */
    static Pattern likePattern(String pattern, String escape, boolean caseBlind) {
        if (pattern == null) {
            return null;
        }
        // By code points: a regular expression matches a character beyond U+FFFF whole, never its halves.
        StringBuilder regex = new StringBuilder();
        for (int i = 0; i < pattern.length(); i += Character.charCount(pattern.codePointAt(i))) {
            int c = pattern.codePointAt(i);
            if (!escape.isEmpty() && pattern.startsWith(escape, i) && i + escape.length() < pattern.length()) {
                i += escape.length();
                c = pattern.codePointAt(i);
                regex.append(Pattern.quote(new String(Character.toChars(c))));
            } else if (c == '%') {
                regex.append(".*");
            } else if (c == '_') {
                regex.append('.');
            } else {
                regex.append(Pattern.quote(new String(Character.toChars(c))));
            }
        }
        return Pattern.compile(regex.toString(),
                Pattern.DOTALL | (caseBlind ? Pattern.CASE_INSENSITIVE | Pattern.UNICODE_CASE : 0));
    }
}
