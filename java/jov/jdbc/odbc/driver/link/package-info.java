/**
 * The connection's native side in Java: one {@link jov.jdbc.odbc.driver.link.OdbcLink} per connection makes every
 * native call under its own lock, and what holds a native token here is invalid the moment that link closes.
 */
package jov.jdbc.odbc.driver.link;
