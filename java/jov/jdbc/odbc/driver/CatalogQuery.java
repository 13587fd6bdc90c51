package jov.jdbc.odbc.driver;

import java.util.Collections;
import java.util.List;

/** A catalogue query: SQL with {@code ?} markers and the text bound to each, in order. */
final class CatalogQuery {

    final String sql;
    final List<String> arguments;

    CatalogQuery(String sql, List<String> arguments) {
        this.sql = sql;
        this.arguments = arguments;
    }

    CatalogQuery(String sql) {
        this(sql, Collections.<String>emptyList());
    }
}
