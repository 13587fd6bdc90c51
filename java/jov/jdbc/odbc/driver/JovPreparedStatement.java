package jov.jdbc.odbc.driver;

import java.io.InputStream;
import java.io.Reader;
import java.math.BigDecimal;
import java.net.URL;
import java.nio.charset.StandardCharsets;
import java.sql.Array;
import java.sql.Blob;
import java.sql.Clob;
import java.sql.Date;
import java.sql.NClob;
import java.sql.ParameterMetaData;
import java.sql.PreparedStatement;
import java.sql.Ref;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.RowId;
import java.sql.SQLException;
import java.sql.SQLXML;
import java.sql.Time;
import java.sql.Timestamp;
import java.util.Arrays;
import java.util.Calendar;

/**
 * A statement with {@code ?} parameters, bound on the client: the natives take
 * no parameters, so each value becomes a literal of the database's dialect
 * written into the SQL text where its marker stands. Markers inside strings,
 * quoted names, comments and dollar-quoted bodies are not parameters.
 *
 * <p>Values with a time zone through a Calendar are turned into the local
 * date and time they name in that zone before they are written.
 */
final class JovPreparedStatement extends JovStatement implements PreparedStatement {

    private static final String NULL = "NULL";

    private final String sql;
    private final ParsedSql parsed;
    private final String[] literals;

    JovPreparedStatement(JovConnection connection, OdbcLink link, int resultSetType, String sql)
            throws SQLException {
        super(connection, link, resultSetType);
        if (sql == null) {
            throw Errors.create("SQL text is null", Errors.INVALID_ARGUMENT);
        }
        this.sql = sql;
        this.parsed = SqlLexer.parse(sql, connection.dialect());
        this.literals = new String[parsed.parameterCount()];
    }

    /** The SQL text with every parameter's literal in place. */
    private String bound() throws SQLException {
        checkOpen();
        for (int i = 0; i < literals.length; i++) {
            if (literals[i] == null) {
                throw Errors.create("Parameter " + (i + 1) + " has no value", "07001");
            }
        }
        return parsed.bind(literals);
    }

    private void set(int index, String literal) throws SQLException {
        checkOpen();
        if (index < 1 || index > literals.length) {
            throw Errors.create("Parameter " + index + " is not in 1.." + literals.length,
                    Errors.INVALID_COLUMN);
        }
        literals[index - 1] = literal;
    }

    private void setValue(int index, Object value) throws SQLException {
        set(index, value == null ? NULL : Literals.object(value, connection.dialect()));
    }

    @Override
    public ResultSet executeQuery() throws SQLException {
        return runQuery(bound());
    }

    @Override
    public int executeUpdate() throws SQLException {
        return (int) Math.min(runUpdate(bound()), Integer.MAX_VALUE);
    }

    @Override
    public long executeLargeUpdate() throws SQLException {
        return runUpdate(bound());
    }

    @Override
    public boolean execute() throws SQLException {
        return run(bound());
    }

    @Override
    public void addBatch() throws SQLException {
        addBound(bound());
    }

    @Override
    public void clearParameters() throws SQLException {
        checkOpen();
        Arrays.fill(literals, null);
    }

    // The SQL text is fixed: the methods of Statement that take SQL do not apply.

    private SQLException fixedText() {
        return Errors.create("A prepared statement runs its own SQL: " + sql, Errors.SEQUENCE);
    }

    @Override
    public ResultSet executeQuery(String other) throws SQLException {
        throw fixedText();
    }

    @Override
    public int executeUpdate(String other) throws SQLException {
        throw fixedText();
    }

    @Override
    public long executeLargeUpdate(String other) throws SQLException {
        throw fixedText();
    }

    @Override
    public boolean execute(String other) throws SQLException {
        throw fixedText();
    }

    @Override
    public void addBatch(String other) throws SQLException {
        throw fixedText();
    }

    // Values.

    @Override
    public void setNull(int index, int sqlType) throws SQLException {
        set(index, NULL);
    }

    @Override
    public void setNull(int index, int sqlType, String typeName) throws SQLException {
        set(index, NULL);
    }

    @Override
    public void setBoolean(int index, boolean value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setByte(int index, byte value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setShort(int index, short value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setInt(int index, int value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setLong(int index, long value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setFloat(int index, float value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setDouble(int index, double value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setBigDecimal(int index, BigDecimal value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setString(int index, String value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setNString(int index, String value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setBytes(int index, byte[] value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setDate(int index, Date value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setTime(int index, Time value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setTimestamp(int index, Timestamp value) throws SQLException {
        setValue(index, value);
    }

    /** The fields the instant shows in the calendar's zone, by the JDK's calendar rules (see ZonedValues). */
    @Override
    public void setDate(int index, Date value, Calendar calendar) throws SQLException {
        setValue(index, value == null || calendar == null ? value
                : ZonedValues.local(value.getTime(), calendar.getTimeZone()).toLocalDate());
    }

    @Override
    public void setTime(int index, Time value, Calendar calendar) throws SQLException {
        setValue(index, value == null || calendar == null ? value
                : ZonedValues.local(value.getTime(), calendar.getTimeZone()).toLocalTime());
    }

    @Override
    public void setTimestamp(int index, Timestamp value, Calendar calendar) throws SQLException {
        setValue(index, value == null || calendar == null ? value
                : ZonedValues.local(value.getTime(), calendar.getTimeZone()).withNano(value.getNanos()));
    }

    @Override
    public void setObject(int index, Object value) throws SQLException {
        setValue(index, value);
    }

    @Override
    public void setObject(int index, Object value, int targetSqlType) throws SQLException {
        set(index, value == null ? NULL
                : Literals.object(value, targetSqlType, connection.dialect()));
    }

    @Override
    public void setObject(int index, Object value, int targetSqlType, int scaleOrLength)
            throws SQLException {
        setObject(index, value, targetSqlType);
    }

    // Streams, read whole.

    @Override
    public void setAsciiStream(int index, InputStream in, int length) throws SQLException {
        setAsciiStream(index, in, (long) length);
    }

    @Override
    public void setAsciiStream(int index, InputStream in, long length) throws SQLException {
        setValue(index, in == null ? null
                : new String(Streams.bytes(in, length), StandardCharsets.US_ASCII));
    }

    @Override
    public void setAsciiStream(int index, InputStream in) throws SQLException {
        setAsciiStream(index, in, -1L);
    }

    @Deprecated
    @Override
    public void setUnicodeStream(int index, InputStream in, int length) throws SQLException {
        throw Errors.notSupported("setUnicodeStream (use setCharacterStream)");
    }

    @Override
    public void setBinaryStream(int index, InputStream in, int length) throws SQLException {
        setBinaryStream(index, in, (long) length);
    }

    @Override
    public void setBinaryStream(int index, InputStream in, long length) throws SQLException {
        setValue(index, in == null ? null : Streams.bytes(in, length));
    }

    @Override
    public void setBinaryStream(int index, InputStream in) throws SQLException {
        setBinaryStream(index, in, -1L);
    }

    @Override
    public void setCharacterStream(int index, Reader in, int length) throws SQLException {
        setCharacterStream(index, in, (long) length);
    }

    @Override
    public void setCharacterStream(int index, Reader in, long length) throws SQLException {
        setValue(index, in == null ? null : Streams.text(in, length));
    }

    @Override
    public void setCharacterStream(int index, Reader in) throws SQLException {
        setCharacterStream(index, in, -1L);
    }

    @Override
    public void setNCharacterStream(int index, Reader in, long length) throws SQLException {
        setCharacterStream(index, in, length);
    }

    @Override
    public void setNCharacterStream(int index, Reader in) throws SQLException {
        setCharacterStream(index, in, -1L);
    }

    @Override
    public void setClob(int index, Reader in, long length) throws SQLException {
        setCharacterStream(index, in, length);
    }

    @Override
    public void setClob(int index, Reader in) throws SQLException {
        setCharacterStream(index, in, -1L);
    }

    @Override
    public void setNClob(int index, Reader in, long length) throws SQLException {
        setCharacterStream(index, in, length);
    }

    @Override
    public void setNClob(int index, Reader in) throws SQLException {
        setCharacterStream(index, in, -1L);
    }

    @Override
    public void setBlob(int index, InputStream in, long length) throws SQLException {
        setBinaryStream(index, in, length);
    }

    @Override
    public void setBlob(int index, InputStream in) throws SQLException {
        setBinaryStream(index, in, -1L);
    }

    // Types the driver has no literal for.

    @Override
    public void setRef(int index, Ref value) throws SQLException {
        throw Errors.notSupported("Ref parameters");
    }

    @Override
    public void setBlob(int index, Blob value) throws SQLException {
        throw Errors.notSupported("Blob parameters (use setBytes)");
    }

    @Override
    public void setClob(int index, Clob value) throws SQLException {
        throw Errors.notSupported("Clob parameters (use setString)");
    }

    @Override
    public void setNClob(int index, NClob value) throws SQLException {
        throw Errors.notSupported("NClob parameters (use setString)");
    }

    @Override
    public void setArray(int index, Array value) throws SQLException {
        throw Errors.notSupported("Array parameters");
    }

    @Override
    public void setURL(int index, URL value) throws SQLException {
        throw Errors.notSupported("URL parameters");
    }

    @Override
    public void setRowId(int index, RowId value) throws SQLException {
        throw Errors.notSupported("RowId parameters");
    }

    @Override
    public void setSQLXML(int index, SQLXML value) throws SQLException {
        throw Errors.notSupported("SQLXML parameters");
    }

    // Metadata.

    /** The columns of the latest result; null before one exists, as the SQL is not run to learn them. */
    @Override
    public ResultSetMetaData getMetaData() throws SQLException {
        checkOpen();
        JovResultSet result = currentResult();
        return result == null ? null : result.getMetaData();
    }

    @Override
    public ParameterMetaData getParameterMetaData() throws SQLException {
        checkOpen();
        return new JovParameterMetaData(literals.length);
    }
}
