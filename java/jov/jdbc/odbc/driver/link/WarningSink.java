package jov.jdbc.odbc.driver.link;

import java.sql.SQLWarning;

/** Takes the warnings of the executions it owns: a statement. Called under the link's lock. */
public interface WarningSink {
    void addWarning(SQLWarning warning);
}
