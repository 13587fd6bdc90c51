package jov.jdbc.odbc.driver.result;

import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.Types;
import jov.jdbc.odbc.driver.Wrappers;
import jov.jdbc.odbc.driver.text.SqlTypes;

/**
 * The columns of a result in JDBC's terms. The library tells no table,
 * schema or nullability: those answer "" and {@link #columnNullableUnknown}.
 */
public final class JovResultSetMetaData implements ResultSetMetaData {

    private static final int SIGNED_BIGINT_DIGITS = 19;
    private static final int UNSIGNED_BIGINT_DIGITS = 20;

    private final ResultColumns columns;

    public JovResultSetMetaData(ResultColumns columns) {
        this.columns = columns;
    }

    private int checked(int column) throws SQLException {
        columns.check(column);
        return column;
    }

    @Override
    public int getColumnCount() {
        return columns.count();
    }

    @Override
    public String getColumnLabel(int column) throws SQLException {
        return columns.name(checked(column));
    }

    @Override
    public String getColumnName(int column) throws SQLException {
        return columns.name(checked(column));
    }

    @Override
    public int getColumnType(int column) throws SQLException {
        return columns.jdbcType(checked(column));
    }

    @Override
    public String getColumnTypeName(int column) throws SQLException {
        return SqlTypes.typeName(getColumnType(column));
    }

    @Override
    public String getColumnClassName(int column) throws SQLException {
        if (columns.isUnsignedBigint(checked(column))) {
            return java.math.BigInteger.class.getName();
        }
        return SqlTypes.className(columns.sqlType(column), getColumnType(column));
    }

    /** Decimal digits for numbers, characters for text and date/time, bytes for binary. */
    @Override
    public int getPrecision(int column) throws SQLException {
        int type = getColumnType(column);
        switch (type) {
            case Types.NUMERIC:
            case Types.DECIMAL:
                return columns.precision(column);
            case Types.BIT: return 1;
            case Types.TINYINT: return 3;
            case Types.SMALLINT: return 5;
            case Types.INTEGER: return 10;
            case Types.BIGINT: return columns.isUnsignedBigint(column) ? UNSIGNED_BIGINT_DIGITS : SIGNED_BIGINT_DIGITS;
            case Types.REAL: return 7;
            case Types.FLOAT:
            case Types.DOUBLE: return 15;
            default:
                long length = columns.length(column);
                return length < 0 || length > Integer.MAX_VALUE ? 0 : (int) length;
        }
    }

    @Override
    public int getScale(int column) throws SQLException {
        int type = getColumnType(column);
        return type == Types.NUMERIC || type == Types.DECIMAL ? columns.scale(column) : 0;
    }

    @Override
    public int getColumnDisplaySize(int column) throws SQLException {
        return SqlTypes.displaySize(getColumnType(column), columns.length(column),
                columns.precision(column));
    }

    @Override
    public int isNullable(int column) throws SQLException {
        checked(column);
        return columnNullableUnknown;
    }

    @Override
    public boolean isSigned(int column) throws SQLException {
        if (columns.isUnsignedBigint(checked(column))) {
            return false;
        }
        switch (getColumnType(column)) {
            case Types.TINYINT:
            case Types.SMALLINT:
            case Types.INTEGER:
            case Types.BIGINT:
            case Types.REAL:
            case Types.FLOAT:
            case Types.DOUBLE:
            case Types.NUMERIC:
            case Types.DECIMAL:
                return true;
            default:
                return false;
        }
    }

    @Override
    public boolean isCaseSensitive(int column) throws SQLException {
        switch (getColumnType(column)) {
            case Types.CHAR:
            case Types.VARCHAR:
            case Types.LONGVARCHAR:
            case Types.NCHAR:
            case Types.NVARCHAR:
            case Types.LONGNVARCHAR:
                return true;
            default:
                return false;
        }
    }

    @Override
    public boolean isAutoIncrement(int column) throws SQLException {
        checked(column);
        return false;
    }

    @Override
    public boolean isSearchable(int column) throws SQLException {
        checked(column);
        return true;
    }

    @Override
    public boolean isCurrency(int column) throws SQLException {
        checked(column);
        return false;
    }

    @Override
    public String getSchemaName(int column) throws SQLException {
        checked(column);
        return "";
    }

    @Override
    public String getTableName(int column) throws SQLException {
        checked(column);
        return "";
    }

    @Override
    public String getCatalogName(int column) throws SQLException {
        checked(column);
        return "";
    }

    @Override
    public boolean isReadOnly(int column) throws SQLException {
        checked(column);
        return true;
    }

    @Override
    public boolean isWritable(int column) throws SQLException {
        checked(column);
        return false;
    }

    @Override
    public boolean isDefinitelyWritable(int column) throws SQLException {
        checked(column);
        return false;
    }

    @Override
    public <T> T unwrap(Class<T> iface) throws SQLException {
        return Wrappers.unwrap(this, iface);
    }

    @Override
    public boolean isWrapperFor(Class<?> iface) {
        return iface.isInstance(this);
    }
}
