package jov.jdbc.odbc.driver;

import java.sql.SQLException;

/**
 * The query that answers one catalogue question of DatabaseMetaData on one
 * database, with the JDBC-standard columns in their standard order and names
 * (each quoted, so that case folding keeps them upper case). Arguments are
 * bound parameters of the query, never SQL text; a pattern is a LIKE pattern
 * with {@code \} as its escape, as {@code getSearchStringEscape} says.
 */
interface CatalogQueries {

    CatalogQuery tables(String catalog, String schemaPattern, String tablePattern, String[] types) throws SQLException;

    CatalogQuery columns(String catalog, String schemaPattern, String tablePattern, String columnPattern)
            throws SQLException;

    /** Keys of {@code table}, an exact name, or of every table when it is null. */
    CatalogQuery primaryKeys(String catalog, String schema, String table) throws SQLException;

    /** Indexes of {@code table}, an exact name; only unique ones when {@code unique}. */
    CatalogQuery indexInfo(String catalog, String schema, String table, boolean unique) throws SQLException;

    /**
     * Foreign key columns whose referenced (primary) table and referencing
     * (foreign) table match the exact names given, a null name narrowing
     * nothing; ordered by the referenced table when {@code byPrimary}, else
     * by the referencing one, then by KEY_SEQ.
     */
    CatalogQuery foreignKeys(String pkCatalog, String pkSchema, String pkTable, String fkCatalog, String fkSchema,
            String fkTable, boolean byPrimary) throws SQLException;

    CatalogQuery schemas(String catalog, String schemaPattern) throws SQLException;

    CatalogQuery catalogs();

    CatalogQuery tableTypes();
}
