package jov.jdbc.odbc.driver.result;

import java.io.InputStream;
import java.io.Reader;
import java.io.StringReader;
import java.math.BigDecimal;
import java.net.URL;
import java.sql.Array;
import java.sql.Blob;
import java.sql.Clob;
import java.sql.Date;
import java.sql.NClob;
import java.sql.Ref;
import java.sql.ResultSet;
import java.sql.RowId;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.SQLXML;
import java.sql.Time;
import java.sql.Timestamp;
import java.util.Calendar;
import java.util.Map;
import jov.jdbc.odbc.driver.link.Errors;

/**
 * What every result of the driver shares beyond reading by column number:
 * getters by label go through {@link #findColumn}, and every change to the
 * data through a result set is refused, since results are read-only.
 */
public abstract class ReadOnlyResultSet implements ResultSet {

    private static SQLFeatureNotSupportedException readOnly() {
        return Errors.notSupported("Changing data through a result set");
    }

    @Override
    public int getConcurrency() throws SQLException {
        return CONCUR_READ_ONLY;
    }

    @Override
    public boolean rowUpdated() throws SQLException {
        return false;
    }

    @Override
    public boolean rowInserted() throws SQLException {
        return false;
    }

    @Override
    public boolean rowDeleted() throws SQLException {
        return false;
    }

    @Override
    public String getString(String label) throws SQLException {
        return getString(findColumn(label));
    }

    @Override
    public boolean getBoolean(String label) throws SQLException {
        return getBoolean(findColumn(label));
    }

    @Override
    public byte getByte(String label) throws SQLException {
        return getByte(findColumn(label));
    }

    @Override
    public short getShort(String label) throws SQLException {
        return getShort(findColumn(label));
    }

    @Override
    public int getInt(String label) throws SQLException {
        return getInt(findColumn(label));
    }

    @Override
    public long getLong(String label) throws SQLException {
        return getLong(findColumn(label));
    }

    @Override
    public float getFloat(String label) throws SQLException {
        return getFloat(findColumn(label));
    }

    @Override
    public double getDouble(String label) throws SQLException {
        return getDouble(findColumn(label));
    }

    @Deprecated
    @Override
    public BigDecimal getBigDecimal(String label, int scale) throws SQLException {
        return getBigDecimal(findColumn(label), scale);
    }

    @Override
    public byte[] getBytes(String label) throws SQLException {
        return getBytes(findColumn(label));
    }

    @Override
    public Date getDate(String label) throws SQLException {
        return getDate(findColumn(label));
    }

    @Override
    public Time getTime(String label) throws SQLException {
        return getTime(findColumn(label));
    }

    @Override
    public Timestamp getTimestamp(String label) throws SQLException {
        return getTimestamp(findColumn(label));
    }

    @Override
    public InputStream getAsciiStream(String label) throws SQLException {
        return getAsciiStream(findColumn(label));
    }

    @Deprecated
    @Override
    public InputStream getUnicodeStream(String label) throws SQLException {
        return getUnicodeStream(findColumn(label));
    }

    @Override
    public InputStream getBinaryStream(String label) throws SQLException {
        return getBinaryStream(findColumn(label));
    }

    @Override
    public Object getObject(String label) throws SQLException {
        return getObject(findColumn(label));
    }

    @Override
    public Reader getCharacterStream(String label) throws SQLException {
        return getCharacterStream(findColumn(label));
    }

    @Override
    public BigDecimal getBigDecimal(String label) throws SQLException {
        return getBigDecimal(findColumn(label));
    }

    @Override
    public Object getObject(String label, Map<String, Class<?>> map) throws SQLException {
        return getObject(findColumn(label), map);
    }

    @Override
    public Ref getRef(String label) throws SQLException {
        return getRef(findColumn(label));
    }

    @Override
    public Blob getBlob(String label) throws SQLException {
        return getBlob(findColumn(label));
    }

    @Override
    public Clob getClob(String label) throws SQLException {
        return getClob(findColumn(label));
    }

    @Override
    public Array getArray(String label) throws SQLException {
        return getArray(findColumn(label));
    }

    @Override
    public Date getDate(String label, Calendar calendar) throws SQLException {
        return getDate(findColumn(label), calendar);
    }

    @Override
    public Time getTime(String label, Calendar calendar) throws SQLException {
        return getTime(findColumn(label), calendar);
    }

    @Override
    public Timestamp getTimestamp(String label, Calendar calendar) throws SQLException {
        return getTimestamp(findColumn(label), calendar);
    }

    @Override
    public URL getURL(String label) throws SQLException {
        return getURL(findColumn(label));
    }

    @Override
    public RowId getRowId(String label) throws SQLException {
        return getRowId(findColumn(label));
    }

    @Override
    public NClob getNClob(String label) throws SQLException {
        return getNClob(findColumn(label));
    }

    @Override
    public SQLXML getSQLXML(String label) throws SQLException {
        return getSQLXML(findColumn(label));
    }

    @Override
    public String getNString(String label) throws SQLException {
        return getNString(findColumn(label));
    }

    @Override
    public Reader getNCharacterStream(String label) throws SQLException {
        return getNCharacterStream(findColumn(label));
    }

    @Override
    public <T> T getObject(String label, Class<T> type) throws SQLException {
        return getObject(findColumn(label), type);
    }

    @Override
    public void updateNull(int column) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBoolean(int column, boolean value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateByte(int column, byte value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateShort(int column, short value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateInt(int column, int value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateLong(int column, long value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateFloat(int column, float value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateDouble(int column, double value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBigDecimal(int column, BigDecimal value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateString(int column, String value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBytes(int column, byte[] value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateDate(int column, Date value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateTime(int column, Time value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateTimestamp(int column, Timestamp value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateAsciiStream(int column, InputStream value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBinaryStream(int column, InputStream value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateCharacterStream(int column, Reader value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateObject(int column, Object value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateObject(int column, Object value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNull(String label) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBoolean(String label, boolean value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateByte(String label, byte value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateShort(String label, short value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateInt(String label, int value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateLong(String label, long value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateFloat(String label, float value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateDouble(String label, double value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBigDecimal(String label, BigDecimal value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateString(String label, String value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBytes(String label, byte[] value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateDate(String label, Date value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateTime(String label, Time value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateTimestamp(String label, Timestamp value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateAsciiStream(String label, InputStream value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBinaryStream(String label, InputStream value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateCharacterStream(String label, Reader value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateObject(String label, Object value, int lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateObject(String label, Object value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void insertRow() throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateRow() throws SQLException {
        throw readOnly();
    }

    @Override
    public void deleteRow() throws SQLException {
        throw readOnly();
    }

    @Override
    public void refreshRow() throws SQLException {
        throw readOnly();
    }

    @Override
    public void cancelRowUpdates() throws SQLException {
        throw readOnly();
    }

    @Override
    public void moveToInsertRow() throws SQLException {
        throw readOnly();
    }

    @Override
    public void moveToCurrentRow() throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateRef(int column, Ref value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateRef(String label, Ref value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBlob(int column, Blob value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBlob(String label, Blob value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateClob(int column, Clob value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateClob(String label, Clob value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateArray(int column, Array value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateArray(String label, Array value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateRowId(int column, RowId value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateRowId(String label, RowId value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNString(int column, String value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNString(String label, String value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNClob(int column, NClob value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNClob(String label, NClob value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateSQLXML(int column, SQLXML value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateSQLXML(String label, SQLXML value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNCharacterStream(int column, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNCharacterStream(String label, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateAsciiStream(int column, InputStream value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBinaryStream(int column, InputStream value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateCharacterStream(int column, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateAsciiStream(String label, InputStream value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBinaryStream(String label, InputStream value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateCharacterStream(String label, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBlob(int column, InputStream value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBlob(String label, InputStream value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateClob(int column, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateClob(String label, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNClob(int column, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNClob(String label, Reader value, long lengthOrScale) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNCharacterStream(int column, Reader value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNCharacterStream(String label, Reader value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateAsciiStream(int column, InputStream value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBinaryStream(int column, InputStream value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateCharacterStream(int column, Reader value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateAsciiStream(String label, InputStream value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBinaryStream(String label, InputStream value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateCharacterStream(String label, Reader value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBlob(int column, InputStream value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateBlob(String label, InputStream value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateClob(int column, Reader value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateClob(String label, Reader value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNClob(int column, Reader value) throws SQLException {
        throw readOnly();
    }

    @Override
    public void updateNClob(String label, Reader value) throws SQLException {
        throw readOnly();
    }

    /** Fails with HY010 once the result is closed. */
    protected abstract void checkOpen() throws SQLException;

    // Derived from the getters each result answers itself.

    @Override
    @Deprecated
    public InputStream getUnicodeStream(int column) throws SQLException {
        throw Errors.notSupported("getUnicodeStream");
    }

    @Override
    public Reader getCharacterStream(int column) throws SQLException {
        String text = getString(column);
        return text == null ? null : new StringReader(text);
    }

    @Override
    public Reader getNCharacterStream(int column) throws SQLException {
        return getCharacterStream(column);
    }

    @Override
    public String getNString(int column) throws SQLException {
        return getString(column);
    }

    @Override
    public String getCursorName() throws SQLException {
        throw Errors.notSupported("Named cursors");
    }

    @Override
    public int getFetchDirection() throws SQLException {
        checkOpen();
        return FETCH_FORWARD;
    }

    @Override
    public boolean isWrapperFor(Class<?> iface) {
        return iface.isInstance(this);
    }
}
