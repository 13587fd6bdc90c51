package jov.jdbc.odbc.bench;

import java.io.IOException;
import java.nio.file.Path;
import java.sql.SQLException;

/**
 * One way of reading the query: open once, then any number of passes on the
 * same connection. A pass runs the query, reads every value of every row as
 * a string and closes the cursor.
 */
interface Variant extends AutoCloseable {

    /** Short name for the table, such as "bridge". */
    String name();

    /** One timed pass. */
    PassResult pass() throws Exception;

    /**
     * One untimed pass that writes every value to file as UTF-16LE, a tab
     * after each value but the last of its row, a newline after each row; a
     * NULL is the empty text.
     */
    PassResult dump(Path file) throws Exception;

    @Override
    void close() throws IOException, SQLException;
}
