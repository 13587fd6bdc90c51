package jov.jdbc.odbc.driver.statement;

/** One dialect of each kind the driver tells apart, as detect() would learn them. */
final class Dialects {
    static final SqlDialect SQLITE = new SqlDialect(SqlDialect.Database.SQLITE, false);
    static final SqlDialect PG = new SqlDialect(SqlDialect.Database.POSTGRESQL, false);
    /** PostgreSQL with standard_conforming_strings off. */
    static final SqlDialect PG_ESCAPES = new SqlDialect(SqlDialect.Database.POSTGRESQL, true);
    static final SqlDialect MYSQL = new SqlDialect(SqlDialect.Database.MYSQL, true);
    static final SqlDialect OTHER = SqlDialect.other();

    private Dialects() {
    }
}
