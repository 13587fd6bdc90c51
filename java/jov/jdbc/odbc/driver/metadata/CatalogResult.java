package jov.jdbc.odbc.driver.metadata;

import java.io.ByteArrayInputStream;
import java.io.InputStream;
import java.math.BigDecimal;
import java.net.URL;
import java.nio.charset.StandardCharsets;
import java.sql.Array;
import java.sql.Blob;
import java.sql.Clob;
import java.sql.Date;
import java.sql.NClob;
import java.sql.Ref;
import java.sql.ResultSetMetaData;
import java.sql.RowId;
import java.sql.SQLException;
import java.sql.SQLWarning;
import java.sql.SQLXML;
import java.sql.Statement;
import java.sql.Time;
import java.sql.Timestamp;
import java.util.ArrayList;
import java.util.Calendar;
import java.util.List;
import java.util.Map;
import java.util.function.Predicate;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.result.JovResultSetMetaData;
import jov.jdbc.odbc.driver.result.ReadOnlyResultSet;
import jov.jdbc.odbc.driver.result.ResultColumns;

/**
 * A catalogue answer held whole in memory, in the columns JDBC names: each
 * value a String, Short, Integer, Long or Boolean as its column's JDBC type
 * says, or null. It scrolls; its statement is the one the answer ran on,
 * which closes with it (its native statement went as the rows were read).
 */
final class CatalogResult extends ReadOnlyResultSet {

    private final Statement statement;
    private final CatalogShape shape;
    private final List<Object[]> rows;
    private final ResultColumns columns;
    /** 0 before the first row, rows.size() + 1 after the last. */
    private int row;
    private boolean wasNull;
    private boolean closed;
    private SQLWarning warnings;

    CatalogResult(Statement statement, CatalogShape shape, List<Object[]> rows, SQLWarning warnings) {
        this.statement = statement;
        this.shape = shape;
        this.rows = rows;
        this.columns = shape.columns();
        this.warnings = warnings;
    }

    /** The same answer with only the rows the test keeps. */
    CatalogResult keep(Predicate<Object[]> test) {
        List<Object[]> kept = new ArrayList<>();
        for (Object[] values : rows) {
            if (test.test(values)) {
                kept.add(values);
            }
        }
        return new CatalogResult(statement, shape, kept, warnings);
    }

    /** The same answer ordered by the given columns (from 0), NULL first, text by its units. */
    CatalogResult sorted(int... columns) {
        List<Object[]> ordered = new ArrayList<>(rows);
        ordered.sort((a, b) -> {
            for (int c : columns) {
                int order = a[c] == null ? (b[c] == null ? 0 : -1)
                        : b[c] == null ? 1 : a[c].toString().compareTo(b[c].toString());
                if (order != 0) {
                    return order;
                }
            }
            return 0;
        });
        return new CatalogResult(statement, shape, ordered, warnings);
    }

    @Override
    protected void checkOpen() throws SQLException {
        if (closed) {
            throw Errors.create("The result set is closed", Errors.SEQUENCE);
        }
    }

    /** The value at the column of the current row; wasNull follows it. */
    private Object value(int column) throws SQLException {
        checkOpen();
        columns.check(column);
        if (row < 1 || row > rows.size()) {
            throw Errors.create("The result set is not on a row", Errors.INVALID_CURSOR);
        }
        Object value = rows.get(row - 1)[column - 1];
        wasNull = value == null;
        return value;
    }

    private long number(int column) throws SQLException {
        Object value = value(column);
        if (value == null) {
            return 0;
        }
        if (value instanceof Number) {
            return ((Number) value).longValue();
        }
        if (value instanceof Boolean) {
            return (Boolean) value ? 1 : 0;
        }
        try {
            return Long.parseLong(value.toString().trim());
        } catch (NumberFormatException e) {
            throw Errors.create("Column " + shape.name(column) + " holds no number: " + value, Errors.INVALID_VALUE);
        }
    }

    private SQLException notThere(String what) {
        return Errors.create("A catalogue answer holds no " + what, Errors.INVALID_VALUE);
    }

    @Override
    public boolean next() throws SQLException {
        return absolute(row + 1);
    }

    /** Closes the statement the answer ran on, as a query's result would with closeOnCompletion. */
    @Override
    public void close() throws SQLException {
        if (!closed) {
            closed = true;
            if (statement != null) {
                statement.close();
            }
        }
    }

    @Override
    public boolean wasNull() {
        return wasNull;
    }

    @Override
    public String getString(int column) throws SQLException {
        Object value = value(column);
        return value == null ? null : value.toString();
    }

    @Override
    public boolean getBoolean(int column) throws SQLException {
        Object value = value(column);
        if (value instanceof String) {
            return "true".equalsIgnoreCase((String) value) || "1".equals(value);
        }
        return number(column) != 0;
    }

    @Override
    public byte getByte(int column) throws SQLException {
        return (byte) number(column);
    }

    @Override
    public short getShort(int column) throws SQLException {
        return (short) number(column);
    }

    @Override
    public int getInt(int column) throws SQLException {
        return (int) number(column);
    }

    @Override
    public long getLong(int column) throws SQLException {
        return number(column);
    }

    @Override
    public float getFloat(int column) throws SQLException {
        return number(column);
    }

    @Override
    public double getDouble(int column) throws SQLException {
        return number(column);
    }

    @Override
    @Deprecated
    public BigDecimal getBigDecimal(int column, int scale) throws SQLException {
        return getBigDecimal(column);
    }

    @Override
    public BigDecimal getBigDecimal(int column) throws SQLException {
        long n = number(column);
        return wasNull ? null : BigDecimal.valueOf(n);
    }

    @Override
    public byte[] getBytes(int column) throws SQLException {
        String text = getString(column);
        return text == null ? null : text.getBytes(StandardCharsets.UTF_8);
    }

    @Override
    public Date getDate(int column) throws SQLException {
        throw notThere("dates");
    }

    @Override
    public Time getTime(int column) throws SQLException {
        throw notThere("times");
    }

    @Override
    public Timestamp getTimestamp(int column) throws SQLException {
        throw notThere("timestamps");
    }

    @Override
    public Date getDate(int column, Calendar calendar) throws SQLException {
        return getDate(column);
    }

    @Override
    public Time getTime(int column, Calendar calendar) throws SQLException {
        return getTime(column);
    }

    @Override
    public Timestamp getTimestamp(int column, Calendar calendar) throws SQLException {
        return getTimestamp(column);
    }

    @Override
    public InputStream getAsciiStream(int column) throws SQLException {
        byte[] bytes = getBytes(column);
        return bytes == null ? null : new ByteArrayInputStream(bytes);
    }

    @Override
    public InputStream getBinaryStream(int column) throws SQLException {
        return getAsciiStream(column);
    }

    @Override
    public Object getObject(int column) throws SQLException {
        return value(column);
    }

    @Override
    public Object getObject(int column, Map<String, Class<?>> map) throws SQLException {
        return getObject(column);
    }

    @Override
    public <T> T getObject(int column, Class<T> type) throws SQLException {
        if (type == null) {
            throw Errors.create("The type is null", Errors.INVALID_ARGUMENT);
        }
        Object value = value(column);
        if (value == null || type.isInstance(value)) {
            return type.cast(value);
        }
        if (type == String.class) {
            return type.cast(value.toString());
        }
        if (type == Integer.class) {
            return type.cast(getInt(column));
        }
        if (type == Long.class) {
            return type.cast(getLong(column));
        }
        if (type == Short.class) {
            return type.cast(getShort(column));
        }
        if (type == Boolean.class) {
            return type.cast(getBoolean(column));
        }
        throw Errors.create("Column " + shape.name(column) + " cannot be read as " + type.getName(),
                Errors.INVALID_VALUE);
    }

    @Override
    public Ref getRef(int column) throws SQLException {
        throw notThere("references");
    }

    @Override
    public Blob getBlob(int column) throws SQLException {
        throw notThere("blobs");
    }

    @Override
    public Clob getClob(int column) throws SQLException {
        throw notThere("clobs");
    }

    @Override
    public NClob getNClob(int column) throws SQLException {
        throw notThere("clobs");
    }

    @Override
    public Array getArray(int column) throws SQLException {
        throw notThere("arrays");
    }

    @Override
    public URL getURL(int column) throws SQLException {
        throw notThere("URLs");
    }

    @Override
    public RowId getRowId(int column) throws SQLException {
        throw notThere("row ids");
    }

    @Override
    public SQLXML getSQLXML(int column) throws SQLException {
        throw notThere("XML");
    }

    @Override
    public SQLWarning getWarnings() throws SQLException {
        checkOpen();
        return warnings;
    }

    @Override
    public void clearWarnings() throws SQLException {
        checkOpen();
        warnings = null;
    }

    @Override
    public ResultSetMetaData getMetaData() throws SQLException {
        checkOpen();
        return new JovResultSetMetaData(columns);
    }

    @Override
    public int findColumn(String label) throws SQLException {
        checkOpen();
        return columns.find(label);
    }

    @Override
    public boolean isBeforeFirst() throws SQLException {
        checkOpen();
        return row == 0 && !rows.isEmpty();
    }

    @Override
    public boolean isAfterLast() throws SQLException {
        checkOpen();
        return row > rows.size() && !rows.isEmpty();
    }

    @Override
    public boolean isFirst() throws SQLException {
        checkOpen();
        return row == 1 && !rows.isEmpty();
    }

    @Override
    public boolean isLast() throws SQLException {
        checkOpen();
        return row == rows.size() && !rows.isEmpty();
    }

    @Override
    public void beforeFirst() throws SQLException {
        absolute(0);
    }

    @Override
    public void afterLast() throws SQLException {
        absolute(rows.size() + 1);
    }

    @Override
    public boolean first() throws SQLException {
        return absolute(1);
    }

    @Override
    public boolean last() throws SQLException {
        return absolute(rows.size());
    }

    @Override
    public int getRow() throws SQLException {
        checkOpen();
        return row >= 1 && row <= rows.size() ? row : 0;
    }

    /** A negative row counts from the end, as JDBC says; off the rows stays before the first or after the last. */
    @Override
    public boolean absolute(int target) throws SQLException {
        checkOpen();
        int wanted = target < 0 ? rows.size() + 1 + target : target;
        row = Math.max(0, Math.min(wanted, rows.size() + 1));
        return row >= 1 && row <= rows.size();
    }

    @Override
    public boolean relative(int offset) throws SQLException {
        checkOpen();
        return absolute(Math.max(0, row + offset));
    }

    @Override
    public boolean previous() throws SQLException {
        return relative(-1);
    }

    @Override
    public void setFetchDirection(int direction) throws SQLException {
        checkOpen();
    }

    @Override
    public void setFetchSize(int rows) throws SQLException {
        checkOpen();
    }

    @Override
    public int getFetchSize() throws SQLException {
        checkOpen();
        return 0;
    }

    @Override
    public int getType() throws SQLException {
        checkOpen();
        return TYPE_SCROLL_INSENSITIVE;
    }

    @Override
    public Statement getStatement() throws SQLException {
        checkOpen();
        return statement;
    }

    @Override
    public int getHoldability() throws SQLException {
        checkOpen();
        return HOLD_CURSORS_OVER_COMMIT;
    }

    @Override
    public boolean isClosed() {
        return closed;
    }

    @Override
    public <T> T unwrap(Class<T> iface) throws SQLException {
        if (iface.isInstance(this)) {
            return iface.cast(this);
        }
        throw Errors.create("Not a wrapper of " + iface.getName(), Errors.GENERAL);
    }

}
