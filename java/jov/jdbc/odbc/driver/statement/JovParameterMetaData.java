package jov.jdbc.odbc.driver.statement;

import java.sql.ParameterMetaData;
import java.sql.SQLException;
import jov.jdbc.odbc.driver.Wrappers;
import jov.jdbc.odbc.driver.link.Errors;

/**
 * What the driver knows of a prepared statement's parameters: how many there
 * are, and that they are inputs. Their types are the database's business,
 * which the client-side binding never asks, so those questions are refused.
 */
final class JovParameterMetaData implements ParameterMetaData {

    private final int count;

    JovParameterMetaData(int count) {
        this.count = count;
    }

    private void check(int param) throws SQLException {
        if (param < 1 || param > count) {
            throw Errors.create("Parameter " + param + " is not in 1.." + count, Errors.INVALID_COLUMN);
        }
    }

    private SQLException unknown(int param) throws SQLException {
        check(param);
        return Errors.notSupported("Parameter types");
    }

    @Override
    public int getParameterCount() {
        return count;
    }

    @Override
    public int isNullable(int param) throws SQLException {
        check(param);
        return parameterNullableUnknown;
    }

    @Override
    public int getParameterMode(int param) throws SQLException {
        check(param);
        return parameterModeIn;
    }

    @Override
    public boolean isSigned(int param) throws SQLException {
        throw unknown(param);
    }

    @Override
    public int getPrecision(int param) throws SQLException {
        throw unknown(param);
    }

    @Override
    public int getScale(int param) throws SQLException {
        throw unknown(param);
    }

    @Override
    public int getParameterType(int param) throws SQLException {
        throw unknown(param);
    }

    @Override
    public String getParameterTypeName(int param) throws SQLException {
        throw unknown(param);
    }

    @Override
    public String getParameterClassName(int param) throws SQLException {
        throw unknown(param);
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
