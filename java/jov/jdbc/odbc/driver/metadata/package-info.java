/**
 * What the data source says of itself, its information values and its catalogue: catalogue patterns reach ODBC as
 * bound arguments, and catalogue results have the columns JDBC declares whatever the ODBC driver answers.
 */
package jov.jdbc.odbc.driver.metadata;
