package jov.jdbc.odbc.driver.result;

import java.io.ByteArrayInputStream;
import java.io.InputStream;
import java.math.BigDecimal;
import java.math.RoundingMode;
import java.net.URL;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
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
import java.sql.Types;
import java.util.Calendar;
import java.util.Locale;
import java.util.Map;
import java.util.UUID;
import jov.jdbc.odbc.driver.Wrappers;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.link.OdbcCursor;
import jov.jdbc.odbc.driver.link.OdbcLink;
import jov.jdbc.odbc.driver.statement.JovStatement;
import jov.jdbc.odbc.driver.text.DateTimeText;
import jov.jdbc.odbc.driver.text.SqlTypes;
import jov.jdbc.odbc.driver.text.ValueKind;

/**
 * The rows of one native statement's result. Forward-only, or
 * scroll-insensitive and read-only over the ODBC driver's static cursor.
 *
 * <p>A scrollable result moves only by absolute row numbers, so its position
 * is always the one it keeps itself, whatever the driver's cursor did before;
 * the number of rows is learnt once, by walking to the end, when a move from
 * the end needs it. Closing the result frees its statement; so does its
 * connection's next call once nothing can reach the result.
 *
 * <p>Rows come in blocks of the fetch size ({@code link.BlockPlan}), bound at the
 * first move; a scrollable result's blocks hold one row.
 *
 * <p>Values: fixed-width numbers come as long or double without objects,
 * decimals and dates/times from the driver's own text (scale and fractions of
 * seconds kept), character data and bytes whole, of any length.
 */
public final class JovResultSet extends ReadOnlyResultSet {

    private static final int GUID_BYTES = 16;
    /** Digits of Long.MAX_VALUE. */
    private static final int LONG_DIGITS = 19;

    private static final int FETCH_ABSOLUTE = jov.jdbc.odbc.driver.odbc.OdbcNatives.FETCH_ABSOLUTE;

    private final JovStatement statement;
    private final OdbcLink link;
    private final OdbcCursor cursor;
    private final ResultColumns columns;
    private final int type;
    private final long maxRows;
    private final long[] longValue = new long[1];
    private final double[] doubleValue = new double[1];

    /** Current row number; 0 when not on a row. */
    private int row;
    private boolean afterLast;
    /** Highest row number known to exist. */
    private int highestSeen;
    /** Number of rows (maxRows applied) once learnt; -1 before. */
    private int rowCount = -1;
    private boolean wasNull;
    private boolean closed;
    private int fetchSize;
    /** The cursor is bound to blocks of rows, at the first move. */
    private boolean bound;

    public JovResultSet(JovStatement statement, OdbcLink link, OdbcCursor cursor, int type, long maxRows)
            throws SQLException {
        this.statement = statement;
        this.link = link;
        this.cursor = cursor;
        this.type = type;
        this.maxRows = maxRows;
        try {
            this.columns = link.columns(cursor);
        } catch (SQLException e) {
            link.closeCursor(cursor);
            throw e;
        }
        link.ownCursor(cursor, this);
        fetchSize = statement.getFetchSize();
    }

    /** The cursor, bound to blocks of the fetch size known at the first move. */
    private OdbcCursor bound() throws SQLException {
        if (!bound) {
            link.bindBlock(cursor, columns, fetchSize, maxRows, type != TYPE_FORWARD_ONLY);
            bound = true;
        }
        return cursor;
    }

    // Moving.

    @Override
    public boolean next() throws SQLException {
        checkOpen();
        if (afterLast) {
            return false;
        }
        if (type == TYPE_FORWARD_ONLY) {
            if (maxRows > 0 && row >= maxRows) {
                return leaveAfterLast();
            }
            return link.fetch(bound()) ? arriveAt(row + 1) : leaveAfterLast();
        }
        return moveTo(row + 1);
    }

    private boolean arriveAt(int target) {
        row = target;
        afterLast = false;
        highestSeen = Math.max(highestSeen, target);
        return true;
    }

    private boolean leaveAfterLast() {
        row = 0;
        afterLast = true;
        return false;
    }

    private boolean leaveBeforeFirst() {
        row = 0;
        afterLast = false;
        return false;
    }

    /** Scrollable results only: moves to a row by its number. */
    private boolean moveTo(int target) throws SQLException {
        if (target < 1) {
            return leaveBeforeFirst();
        }
        if ((maxRows > 0 && target > maxRows) || (rowCount >= 0 && target > rowCount)) {
            return leaveAfterLast();
        }
        if (link.fetchScroll(bound(), FETCH_ABSOLUTE, target)) {
            return arriveAt(target);
        }
        if (target == highestSeen + 1) {
            rowCount = highestSeen;
        }
        return leaveAfterLast();
    }

    /**
     * Scrollable results only: the number of rows, learnt once by stepping on
     * from the highest row seen. The current row's values are fetched again
     * afterwards, since the walk replaced them.
     */
    private int rowCount() throws SQLException {
        if (rowCount < 0) {
            int count = highestSeen;
            while ((maxRows == 0 || count < maxRows) && link.fetchScroll(bound(), FETCH_ABSOLUTE, count + 1)) {
                count++;
            }
            rowCount = count;
            highestSeen = count;
            if (row > 0) {
                link.fetchScroll(cursor, FETCH_ABSOLUTE, row);
            }
        }
        return rowCount;
    }

    private void checkScrollable(String move) throws SQLException {
        checkOpen();
        if (type == TYPE_FORWARD_ONLY) {
            throw Errors.create(move + " on a forward-only result", Errors.INVALID_CURSOR);
        }
    }

    @Override
    public boolean previous() throws SQLException {
        checkScrollable("previous()");
        return moveTo(afterLast ? rowCount() : row - 1);
    }

    @Override
    public boolean first() throws SQLException {
        checkScrollable("first()");
        return moveTo(1);
    }

    @Override
    public boolean last() throws SQLException {
        checkScrollable("last()");
        return moveTo(rowCount());
    }

    @Override
    public boolean absolute(int target) throws SQLException {
        checkScrollable("absolute()");
        return moveTo(target >= 0 ? target : rowCount() + 1 + target);
    }

    @Override
    public boolean relative(int rows) throws SQLException {
        checkScrollable("relative()");
        long target = (long) (afterLast ? rowCount() + 1 : row) + rows;
        // A row number past int is past the last row that can be: no result has more rows than int counts.
        return target > Integer.MAX_VALUE ? leaveAfterLast() : moveTo((int) target);
    }

    @Override
    public void beforeFirst() throws SQLException {
        checkScrollable("beforeFirst()");
        leaveBeforeFirst();
    }

    @Override
    public void afterLast() throws SQLException {
        checkScrollable("afterLast()");
        leaveAfterLast();
    }

    @Override
    public int getRow() throws SQLException {
        checkOpen();
        return row;
    }

    /** Forward-only results cannot know whether rows lie ahead without fetching one. */
    private void checkKnowsWhatLiesAhead(String question) throws SQLException {
        checkOpen();
        if (type == TYPE_FORWARD_ONLY) {
            throw Errors.notSupported(question + " on a forward-only result");
        }
    }

    @Override
    public boolean isBeforeFirst() throws SQLException {
        checkKnowsWhatLiesAhead("isBeforeFirst()");
        return row == 0 && !afterLast && rowCount() > 0;
    }

    @Override
    public boolean isAfterLast() throws SQLException {
        checkOpen();
        if (type == TYPE_FORWARD_ONLY) {
            return afterLast && highestSeen > 0;
        }
        return afterLast && rowCount() > 0;
    }

    @Override
    public boolean isFirst() throws SQLException {
        checkOpen();
        return row == 1;
    }

    @Override
    public boolean isLast() throws SQLException {
        checkKnowsWhatLiesAhead("isLast()");
        return row > 0 && row == rowCount();
    }

    // Reading values.

    private void checkRow(int column) throws SQLException {
        checkOpen();
        if (row == 0) {
            throw Errors.create("The result is not on a row", Errors.INVALID_CURSOR);
        }
        columns.check(column);
    }

    private <T> T value(T value) {
        wasNull = value == null;
        return value;
    }

    @Override
    public boolean wasNull() throws SQLException {
        checkOpen();
        return wasNull;
    }

    @Override
    public String getString(int column) throws SQLException {
        checkRow(column);
        switch (columns.kind(column)) {
            case INTEGER:
                return readLong(column) ? Long.toString(longValue[0]) : null;
            case FLOATING:
                return readDouble(column) ? floatingText(column) : null;
            case DECIMAL:
            case DATETIME:
                return driverText(column);
            case GUID:
                UUID guid = guid(column);
                return guid == null ? null : guid.toString();
            case OTHER:
                if (value(link.bytes(cursor, column)) == null) {
                    return null;
                }
                throw Errors.notSupported("Text of SQL type " + columns.sqlType(column) + " (read it with getBytes)");
            default:
                return text(column);
        }
    }

    /** SQL_GUID's structure: Data1 (4 bytes), Data2, Data3 (2 each) in host order, then Data4 (8 bytes). */
    private UUID guid(int column) throws SQLException {
        byte[] bytes = value(link.bytes(cursor, column));
        if (bytes == null) {
            return null;
        }
        if (bytes.length != GUID_BYTES) {
            throw notA("GUID", bytes.length + " bytes", column, null);
        }
        ByteBuffer host = ByteBuffer.wrap(bytes).order(ByteOrder.nativeOrder());
        long high = (host.getInt(0) & 0xFFFFFFFFL) << 32 | (host.getShort(4) & 0xFFFFL) << 16 | (host.getShort(6) & 0xFFFFL);
        long low = ByteBuffer.wrap(bytes, 8, 8).getLong();
        return new UUID(high, low);
    }

    private String floatingText(int column) {
        return columns.sqlType(column) == SqlTypes.SQL_REAL
                ? Float.toString((float) doubleValue[0]) : Double.toString(doubleValue[0]);
    }

    private boolean readLong(int column) throws SQLException {
        boolean present = link.readLong(cursor, column, longValue);
        wasNull = !present;
        return present;
    }

    private boolean readDouble(int column) throws SQLException {
        boolean present = link.readDouble(cursor, column, doubleValue);
        wasNull = !present;
        return present;
    }

    /** The whole text of a value; null for SQL NULL. */
    private String text(int column) throws SQLException {
        return value(link.string(cursor, column));
    }

    /** The driver's own text of a decimal or date/time value (ASCII); null for SQL NULL. */
    private String driverText(int column) throws SQLException {
        return value(link.string(cursor, column));
    }

    @Override
    public byte[] getBytes(int column) throws SQLException {
        checkRow(column);
        switch (columns.kind(column)) {
            case INTEGER:
            case FLOATING:
                String text = getString(column);
                return text == null ? null : text.getBytes(StandardCharsets.US_ASCII);
            default:
                return value(link.bytes(cursor, column));
        }
    }

    @Override
    public long getLong(int column) throws SQLException {
        checkRow(column);
        switch (columns.kind(column)) {
            case INTEGER:
                return readLong(column) ? longValue[0] : 0;
            case FLOATING:
                return readDouble(column) ? toLong(doubleValue[0], column) : 0;
            default:
                BigDecimal decimal = decimal(column);
                return decimal == null ? 0 : toLong(decimal, column);
        }
    }

    private static long toLong(double value, int column) throws SQLException {
        if (Double.isNaN(value) || value < Long.MIN_VALUE || value >= 0x1p63) {
            throw outOfRange(column, Double.toString(value));
        }
        return (long) value;
    }

    /**
     * The whole part; the digits before the point are counted first, so a
     * text such as 1e-999999999 or 1e999999999 costs no division or plain
     * text as long as its exponent.
     */
    private static long toLong(BigDecimal value, int column) throws SQLException {
        long integerDigits = (long) value.precision() - value.scale();
        if (integerDigits <= 0) {
            return 0;
        }
        if (integerDigits > LONG_DIGITS) {
            throw outOfRange(column, value.toString());
        }
        try {
            return value.setScale(0, RoundingMode.DOWN).longValueExact();
        } catch (ArithmeticException e) {
            throw outOfRange(column, value.toString());
        }
    }

    private static SQLException outOfRange(int column, String value) {
        return Errors.create("Value " + value + " of column " + column + " is out of range", "22003");
    }

    private long narrow(int column, long min, long max) throws SQLException {
        long value = getLong(column);
        if (value < min || value > max) {
            throw outOfRange(column, Long.toString(value));
        }
        return value;
    }

    @Override
    public int getInt(int column) throws SQLException {
        return (int) narrow(column, Integer.MIN_VALUE, Integer.MAX_VALUE);
    }

    @Override
    public short getShort(int column) throws SQLException {
        return (short) narrow(column, Short.MIN_VALUE, Short.MAX_VALUE);
    }

    @Override
    public byte getByte(int column) throws SQLException {
        return (byte) narrow(column, Byte.MIN_VALUE, Byte.MAX_VALUE);
    }

    @Override
    public double getDouble(int column) throws SQLException {
        checkRow(column);
        switch (columns.kind(column)) {
            case INTEGER:
                return readLong(column) ? longValue[0] : 0;
            case FLOATING:
                return readDouble(column) ? doubleValue[0] : 0;
            default:
                String text = getString(column);
                return text == null ? 0 : parseDouble(text, column);
        }
    }

    private static double parseDouble(String text, int column) throws SQLException {
        try {
            return Double.parseDouble(text.trim());
        } catch (NumberFormatException e) {
            throw notA("number", text, column, e);
        }
    }

    private static SQLException notA(String what, String text, int column, Exception cause) {
        return Errors.create("Value '" + text + "' of column " + column + " is not a " + what,
                Errors.INVALID_VALUE, cause);
    }

    @Override
    public float getFloat(int column) throws SQLException {
        return (float) getDouble(column);
    }

    @Override
    public BigDecimal getBigDecimal(int column) throws SQLException {
        checkRow(column);
        return decimal(column);
    }

    private BigDecimal decimal(int column) throws SQLException {
        switch (columns.kind(column)) {
            case INTEGER:
                return readLong(column) ? BigDecimal.valueOf(longValue[0]) : null;
            case FLOATING:
                if (!readDouble(column)) {
                    return null;
                }
                if (Double.isNaN(doubleValue[0]) || Double.isInfinite(doubleValue[0])) {
                    throw notA("decimal", Double.toString(doubleValue[0]), column, null);
                }
                return new BigDecimal(floatingText(column));
            default:
                String text = getString(column);
                if (text == null) {
                    return null;
                }
                try {
                    return new BigDecimal(text.trim());
                } catch (NumberFormatException e) {
                    throw notA("number", text, column, e);
                }
        }
    }

    @Deprecated
    @Override
    public BigDecimal getBigDecimal(int column, int scale) throws SQLException {
        BigDecimal value = getBigDecimal(column);
        return value == null ? null : value.setScale(scale, RoundingMode.HALF_UP);
    }

    @Override
    public boolean getBoolean(int column) throws SQLException {
        checkRow(column);
        switch (columns.kind(column)) {
            case INTEGER:
                return readLong(column) && longValue[0] != 0;
            case FLOATING:
                return readDouble(column) && doubleValue[0] != 0;
            default:
                String text = getString(column);
                return text != null && parseBoolean(text, column);
        }
    }

    private static boolean parseBoolean(String text, int column) throws SQLException {
        switch (text.trim().toLowerCase(Locale.ROOT)) {
            case "1": case "t": case "true": case "y": case "yes": case "on":
                return true;
            case "0": case "f": case "false": case "n": case "no": case "off":
                return false;
            default:
                throw notA("boolean", text, column, null);
        }
    }

    /** The date/time value's text read by its fields; null for SQL NULL. */
    DateTimeText dateTime(int column) throws SQLException {
        checkRow(column);
        String text = getString(column);
        return text == null ? null : DateTimeText.parse(text);
    }

    @Override
    public Date getDate(int column, Calendar calendar) throws SQLException {
        DateTimeText value = dateTime(column);
        return value == null ? null : value.date(calendar);
    }

    @Override
    public Time getTime(int column, Calendar calendar) throws SQLException {
        DateTimeText value = dateTime(column);
        return value == null ? null : value.time(calendar);
    }

    @Override
    public Timestamp getTimestamp(int column, Calendar calendar) throws SQLException {
        DateTimeText value = dateTime(column);
        return value == null ? null : value.timestamp(calendar);
    }

    @Override
    public Date getDate(int column) throws SQLException {
        return getDate(column, null);
    }

    @Override
    public Time getTime(int column) throws SQLException {
        return getTime(column, null);
    }

    @Override
    public Timestamp getTimestamp(int column) throws SQLException {
        return getTimestamp(column, null);
    }

    @Override
    public Object getObject(int column) throws SQLException {
        checkRow(column);
        switch (columns.jdbcType(column)) {
            case Types.BIT:
                return readLong(column) ? (Object) (longValue[0] != 0) : null;
            case Types.TINYINT:
            case Types.SMALLINT:
            case Types.INTEGER:
                return readLong(column) ? integer(longValue[0]) : null;
            case Types.BIGINT:
                if (columns.isUnsignedBigint(column)) {
                    BigDecimal unsigned = decimal(column);
                    return unsigned == null ? null : unsigned.toBigIntegerExact();
                }
                return readLong(column) ? (Object) longValue[0] : null;
            case Types.REAL:
                return readDouble(column) ? (Object) (float) doubleValue[0] : null;
            case Types.FLOAT:
            case Types.DOUBLE:
                return readDouble(column) ? (Object) doubleValue[0] : null;
            case Types.NUMERIC:
            case Types.DECIMAL:
                return decimal(column);
            case Types.DATE:
            case Types.TIME:
            case Types.TIMESTAMP:
                DateTimeText value = dateTime(column);
                return value == null ? null : value.object();
            case Types.BINARY:
            case Types.VARBINARY:
            case Types.LONGVARBINARY:
                return getBytes(column);
            case Types.OTHER:
                return columns.kind(column) == ValueKind.GUID ? guid(column) : getBytes(column);
            default:
                return getString(column);
        }
    }

    /**
     * An Integer, or a Long for a value an int does not hold: SQLite keeps
     * 64-bit values in INTEGER columns, MariaDB's INT UNSIGNED passes 2^31 - 1.
     */
    private static Object integer(long value) {
        return value == (int) value ? (Object) (int) value : (Object) value;
    }

    @Override
    public <T> T getObject(int column, Class<T> type) throws SQLException {
        return type.cast(ResultObjects.convert(this, column, type));
    }

    @Override
    public Object getObject(int column, Map<String, Class<?>> map) throws SQLException {
        if (map == null || map.isEmpty()) {
            return getObject(column);
        }
        throw Errors.notSupported("Custom type maps");
    }

    @Override
    public InputStream getBinaryStream(int column) throws SQLException {
        byte[] bytes = getBytes(column);
        return bytes == null ? null : new ByteArrayInputStream(bytes);
    }

    @Override
    public InputStream getAsciiStream(int column) throws SQLException {
        String text = getString(column);
        return text == null ? null : new ByteArrayInputStream(text.getBytes(StandardCharsets.US_ASCII));
    }

    @Override
    public Ref getRef(int column) throws SQLException {
        throw Errors.notSupported("getRef");
    }

    @Override
    public Blob getBlob(int column) throws SQLException {
        throw Errors.notSupported("getBlob (use getBytes)");
    }

    @Override
    public Clob getClob(int column) throws SQLException {
        throw Errors.notSupported("getClob (use getString)");
    }

    @Override
    public NClob getNClob(int column) throws SQLException {
        throw Errors.notSupported("getNClob (use getString)");
    }

    @Override
    public Array getArray(int column) throws SQLException {
        throw Errors.notSupported("getArray");
    }

    @Override
    public URL getURL(int column) throws SQLException {
        throw Errors.notSupported("getURL");
    }

    @Override
    public RowId getRowId(int column) throws SQLException {
        throw Errors.notSupported("getRowId");
    }

    @Override
    public SQLXML getSQLXML(int column) throws SQLException {
        throw Errors.notSupported("getSQLXML");
    }

    @Override
    public int findColumn(String label) throws SQLException {
        checkOpen();
        return columns.find(label);
    }

    // The result itself.

    @Override
    public ResultSetMetaData getMetaData() throws SQLException {
        checkOpen();
        return new JovResultSetMetaData(columns);
    }

    /** What fetching its rows warned of (SQL_SUCCESS_WITH_INFO), each record a warning. */
    @Override
    public SQLWarning getWarnings() throws SQLException {
        checkOpen();
        return link.warnings(cursor);
    }

    @Override
    public void clearWarnings() throws SQLException {
        checkOpen();
        link.clearWarnings(cursor);
    }

    @Override
    public void setFetchDirection(int direction) throws SQLException {
        checkOpen();
        if (direction != FETCH_FORWARD && (type == TYPE_FORWARD_ONLY
                || (direction != FETCH_REVERSE && direction != FETCH_UNKNOWN))) {
            throw Errors.create("Fetch direction " + direction + " is not possible here",
                    Errors.INVALID_ARGUMENT);
        }
    }

    /** Rows a block of the result holds: a hint, taken at the first move (0 lets the driver choose by the row's width). */
    @Override
    public void setFetchSize(int rows) throws SQLException {
        checkOpen();
        if (rows < 0) {
            throw Errors.create("Fetch size " + rows + " is negative", Errors.INVALID_ARGUMENT);
        }
        fetchSize = rows;
    }

    @Override
    public int getFetchSize() throws SQLException {
        checkOpen();
        return fetchSize;
    }

    @Override
    public int getType() throws SQLException {
        checkOpen();
        return type;
    }

    @Override
    public int getHoldability() throws SQLException {
        checkOpen();
        return CLOSE_CURSORS_AT_COMMIT;
    }

    @Override
    public Statement getStatement() throws SQLException {
        checkOpen();
        return statement;
    }

    @Override
    protected void checkOpen() throws SQLException {
        if (closed) {
            throw Errors.create("The result set is closed", Errors.SEQUENCE);
        }
    }

    /** A result is closed with its connection too. */
    @Override
    public boolean isClosed() {
        return closed || link.isClosed();
    }

    /** The cursor this result reads, for its statement to move to the next result. */
    public OdbcCursor cursor() {
        return cursor;
    }

    @Override
    public void close() throws SQLException {
        if (closed) {
            return;
        }
        closed = true;
        link.closeCursor(cursor);
        statement.resultClosed(this);
    }

    /** Closes the result for its statement, which needs no word back. */
    public void closeQuietly() {
        if (!closed) {
            closed = true;
            link.closeCursor(cursor);
        }
    }

    @Override
    public <T> T unwrap(Class<T> iface) throws SQLException {
        return Wrappers.unwrap(this, iface);
    }

}
