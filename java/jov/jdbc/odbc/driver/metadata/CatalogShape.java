package jov.jdbc.odbc.driver.metadata;

import java.math.BigDecimal;
import java.sql.SQLException;
import java.sql.Types;
import java.util.ArrayList;
import java.util.List;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;
import jov.jdbc.odbc.driver.result.ResultColumns;
import jov.jdbc.odbc.driver.text.SqlTypes;

/**
 * The columns JDBC names for one catalogue answer, and where each value comes
 * from in the row an ODBC catalogue function gives: a column by its position
 * (ODBC 3 and ODBC 2 drivers agree on positions where their names differ,
 * TABLE_QUALIFIER for TABLE_CAT and the like), a type code mapped to
 * java.sql.Types, nothing (a column ODBC lacks, or one the driver left out),
 * or a fixed value. Immutable once built.
 */
final class CatalogShape {

    /** How one JDBC column gets its value. */
    private static final class Column {
        final String name;
        /** The JDBC type of the values: VARCHAR, SMALLINT, INTEGER, BIGINT or BIT (JDBC's boolean columns). */
        final int type;
        /** The ODBC column read, 0 for none. */
        final int source;
        /** For a type code: the ODBC column with its size, which tells dates from times in ODBC 2 codes; else 0. */
        final int sizeSource;
        final Object constant;

        Column(String name, int type, int source, int sizeSource, Object constant) {
            this.name = name;
            this.type = type;
            this.source = source;
            this.sizeSource = sizeSource;
            this.constant = constant;
        }
    }

    /** Reads the text of one ODBC column of the current row, null for SQL NULL. */
    interface Row {
        String text(int odbcColumn) throws SQLException;
    }

    private final List<Column> columns = new ArrayList<>();

    CatalogShape text(String name, int source) {
        return add(new Column(name, Types.VARCHAR, source, 0, null));
    }

    CatalogShape small(String name, int source) {
        return add(new Column(name, Types.SMALLINT, source, 0, null));
    }

    CatalogShape integer(String name, int source) {
        return add(new Column(name, Types.INTEGER, source, 0, null));
    }

    CatalogShape big(String name, int source) {
        return add(new Column(name, Types.BIGINT, source, 0, null));
    }

    /** A JDBC boolean column over an ODBC number (0 false, anything else true). */
    CatalogShape flag(String name, int source) {
        return add(new Column(name, Types.BIT, source, 0, null));
    }

    /** An ODBC type code, with the column of its size, as java.sql.Types says it. */
    CatalogShape dataType(String name, int source, int sizeSource) {
        return add(new Column(name, Types.INTEGER, source, sizeSource, null));
    }

    /** A column ODBC does not give: always NULL. */
    CatalogShape none(String name, int type) {
        return add(new Column(name, type, 0, 0, null));
    }

    /** A column with the same text in every row. */
    CatalogShape constant(String name, String value) {
        return add(new Column(name, Types.VARCHAR, 0, 0, value));
    }

    private CatalogShape add(Column column) {
        columns.add(column);
        return this;
    }

    String name(int column) {
        return columns.get(column - 1).name;
    }

    /** The JDBC row of an ODBC row with odbcColumns columns; a column beyond those is NULL. */
    Object[] convert(Row row, int odbcColumns) throws SQLException {
        Object[] values = new Object[columns.size()];
        for (int i = 0; i < values.length; i++) {
            Column c = columns.get(i);
            String text = c.source > 0 && c.source <= odbcColumns ? row.text(c.source) : null;
            values[i] = c.constant != null ? c.constant : text == null ? null : typed(c, text, row, odbcColumns);
        }
        return values;
    }

    private static Object typed(Column c, String text, Row row, int odbcColumns) throws SQLException {
        if (c.type == Types.VARCHAR) {
            return text;
        }
        Long n = number(text);
        if (n == null) {
            return null;
        }
        if (c.sizeSource > 0) {
            String size = c.sizeSource <= odbcColumns ? row.text(c.sizeSource) : null;
            Long length = size == null ? null : number(size);
            return SqlTypes.jdbcType(n.intValue(), length == null ? 0 : length);
        }
        switch (c.type) {
            case Types.SMALLINT: return n.shortValue();
            case Types.INTEGER: return n.intValue();
            case Types.BIT: return n != 0;
            default: return n;
        }
    }

    /** A number as drivers write one ("12", " 12", "12.0"); null for text that is none. */
    private static Long number(String text) {
        try {
            return new BigDecimal(text.trim()).longValue();
        } catch (NumberFormatException notOne) {
            return null;
        }
    }

    /** The columns as a result describes them. */
    ResultColumns columns() {
        int n = columns.size();
        String[] names = new String[n];
        int[] sqlTypes = new int[n];
        long[] sizes = new long[n];
        for (int i = 0; i < n; i++) {
            names[i] = columns.get(i).name;
            sqlTypes[i] = columns.get(i).type;
            sizes[i] = columns.get(i).type == Types.VARCHAR ? Short.MAX_VALUE : 0;
        }
        Object[] fields = new Object[OdbcNatives.COLUMN_FIELDS];
        fields[OdbcNatives.COLUMN_NAME] = names;
        fields[OdbcNatives.COLUMN_SQL_TYPE] = sqlTypes;
        fields[OdbcNatives.COLUMN_SIZE] = sizes;
        fields[OdbcNatives.COLUMN_DIGITS] = new int[n];
        fields[OdbcNatives.COLUMN_UNSIGNED] = new boolean[n];
        return ResultColumns.described(fields);
    }
}
