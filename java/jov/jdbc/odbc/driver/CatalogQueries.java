package jov.jdbc.odbc.driver;

import java.sql.SQLException;

/**
 * The SQL text that answers one catalogue question of DatabaseMetaData on one
 * database, with the JDBC-standard columns in their standard order and names
 * (each quoted, so that case folding keeps them upper case). Arguments are
 * written into the text with {@link Literals}; a pattern is a LIKE pattern
 * with {@code \} as its escape, as {@code getSearchStringEscape} says.
 */
interface CatalogQueries {

    String tables(String catalog, String schemaPattern, String tablePattern, String[] types) throws SQLException;

    String columns(String catalog, String schemaPattern, String tablePattern, String columnPattern)
            throws SQLException;

    /** Keys of {@code table}, an exact name, or of every table when it is null. */
    String primaryKeys(String catalog, String schema, String table) throws SQLException;

    /** Indexes of {@code table}, an exact name; only unique ones when {@code unique}. */
    String indexInfo(String catalog, String schema, String table, boolean unique) throws SQLException;

    /**
     * Foreign key columns whose referenced (primary) table and referencing
     * (foreign) table match the exact names given, a null name narrowing
     * nothing; ordered by the referenced table when {@code byPrimary}, else
     * by the referencing one, then by KEY_SEQ.
     */
    String foreignKeys(String pkCatalog, String pkSchema, String pkTable, String fkCatalog, String fkSchema,
            String fkTable, boolean byPrimary) throws SQLException;

    String schemas(String catalog, String schemaPattern) throws SQLException;

    String catalogs();

    String tableTypes();
}
