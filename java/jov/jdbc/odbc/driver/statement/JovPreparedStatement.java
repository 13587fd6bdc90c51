package jov.jdbc.odbc.driver.statement;

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
import java.sql.Types;
import java.util.Arrays;
import java.util.Calendar;
import jov.jdbc.odbc.driver.JovConnection;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.link.OdbcLink;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;
import jov.jdbc.odbc.driver.result.JovResultSet;
import jov.jdbc.odbc.driver.text.Windows31j;
import jov.jdbc.odbc.driver.text.ZonedValues;

/**
 * A statement with {@code ?} parameters, bound by the ODBC driver: each value
 * is bound as its own C type ({@link Parameter}) and the SQL text is handed
 * to the driver as the caller wrote it, so no value ever becomes SQL text.
 * The markers are counted by {@link SqlLexer} (markers inside strings, quoted
 * names, comments and dollar-quoted bodies are not parameters) to refuse an
 * index out of range when it is set.
 *
 * <p>Values with a time zone through a Calendar are turned into the local
 * date and time they name in that zone before they are bound.
 */
public final class JovPreparedStatement extends JovStatement implements PreparedStatement {

    private final String sql;
    private final Parameter[] values;
    private final boolean insertsOneRow;
    private final OdbcLink.Prepared prepared = OdbcLink.Prepared.prepared();

    public JovPreparedStatement(JovConnection connection, OdbcLink link, int resultSetType, String sql)
            throws SQLException {
        super(connection, link, resultSetType);
        if (sql == null) {
            throw Errors.create("SQL text is null", Errors.INVALID_ARGUMENT);
        }
        this.sql = sql;
        ParsedSql parsed = SqlLexer.parse(sql, connection.dialect());
        if (parsed.questionOperatorAt() >= 0) {
            throw Errors.create("The operator at index " + parsed.questionOperatorAt() + " of the SQL"
                    + " cannot be sent: ODBC takes each ? outside quotes for a parameter marker;"
                    + " use its function instead (jsonb_exists, jsonb_exists_any, jsonb_exists_all)",
                    Errors.NOT_SUPPORTED);
        }
        this.values = new Parameter[parsed.parameterCount()];
        this.insertsOneRow = parsed.insertsOneRow();
    }

    /** Every parameter's value, each of which must have been set. */
    private Parameter[] bound() throws SQLException {
        checkOpen();
        for (int i = 0; i < values.length; i++) {
            if (values[i] == null) {
                throw Errors.create("No value was set for parameter " + (i + 1), "07002");
            }
        }
        return values.clone();
    }

    private void set(int index, Parameter value) throws SQLException {
        checkOpen();
        if (index < 1 || index > values.length) {
            throw Errors.create("Parameter " + index + " is not in 1.." + values.length,
                    Errors.INVALID_COLUMN);
        }
        values[index - 1] = value;
    }

    private void setValue(int index, Object value) throws SQLException {
        set(index, Parameter.object(value, connection.dialect()));
    }

    @Override
    public ResultSet executeQuery() throws SQLException {
        return runQuery(sql, bound());
    }

    @Override
    public int executeUpdate() throws SQLException {
        return (int) Math.min(runUpdate(sql, bound()), Integer.MAX_VALUE);
    }

    @Override
    public long executeLargeUpdate() throws SQLException {
        return runUpdate(sql, bound());
    }

    @Override
    public boolean execute() throws SQLException {
        return run(sql, bound());
    }

    @Override
    boolean insertsOneRow() {
        return insertsOneRow;
    }

    /** Every execution, batches included, re-executes the one native statement. */
    @Override
    OdbcLink.Prepared prepared() {
        return prepared;
    }

    @Override
    OdbcLink.Prepared kept() {
        return prepared;
    }

    @Override
    public void addBatch() throws SQLException {
        addBound(sql, bound());
    }

    @Override
    public void clearParameters() throws SQLException {
        checkOpen();
        Arrays.fill(values, null);
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
        set(index, Parameter.nul(sqlType));
    }

    @Override
    public void setNull(int index, int sqlType, String typeName) throws SQLException {
        set(index, Parameter.nul(sqlType));
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
        set(index, Parameter.object(value, targetSqlType, connection.dialect()));
    }

    @Override
    public void setObject(int index, Object value, int targetSqlType, int scaleOrLength)
            throws SQLException {
        setObject(index, value, targetSqlType);
    }

    // Streams, read whole, then sent in pieces at execution.

    @Override
    public void setAsciiStream(int index, InputStream in, int length) throws SQLException {
        setAsciiStream(index, in, (long) length);
    }

    @Override
    public void setAsciiStream(int index, InputStream in, long length) throws SQLException {
        setText(index, in == null ? null : new String(Streams.bytes(in, length), StandardCharsets.US_ASCII));
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
        set(index, in == null ? Parameter.nul(Types.LONGVARBINARY) : Parameter.byteStream(Streams.bytes(in, length)));
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
        setText(index, in == null ? null : Streams.text(in, length));
    }

    /** sqliteodbc needs the length of streamed text in the session's encoding. */
    private void setText(int index, String text) throws SQLException {
        if (text == null) {
            set(index, Parameter.nul(Types.LONGVARCHAR));
            return;
        }
        long length = link.charset() == OdbcNatives.WINDOWS_31J ? Windows31j.length(text)
                : Parameter.utf8Length(text);
        set(index, Parameter.textStream(text, length));
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

    // Types the driver cannot bind.

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
        return new JovParameterMetaData(values.length);
    }
}
