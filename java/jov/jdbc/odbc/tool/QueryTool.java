package jov.jdbc.odbc.tool;

import java.io.ByteArrayOutputStream;
import java.io.FileDescriptor;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.PrintStream;
import java.io.UnsupportedEncodingException;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * A command-line SQL tool on the native library: opens one data source, runs
 * the statements given as arguments or on standard input, and prints each
 * query's rows as an aligned table or as CSV. See {@link Options#USAGE}.
 *
 * <p>Standard output carries the results only; failures go to standard error
 * as "error [CODE] MESSAGE" with the statement. In CSV mode the answers of
 * statements without a result set go to standard error too, so that standard
 * output stays plain CSV, one header line and the rows per query, queries
 * separated by an empty line.
 */
public final class QueryTool {

    /** Exit statuses. */
    static final int OK = 0;
    static final int FAILED = 1;
    static final int BAD_USAGE = 2;

    /** The name PrintStream takes for the encoding of both output streams. */
    private static final String UTF_8 = StandardCharsets.UTF_8.name();
    private static final int READ_BUFFER_BYTES = 8192;

    private final Options options;
    private final PrintStream out;
    private final PrintStream err;
    private int printedResults;

    private QueryTool(Options options, PrintStream out, PrintStream err) {
        this.options = options;
        this.out = out;
        this.err = err;
    }

    public static void main(String[] args) throws UnsupportedEncodingException {
        PrintStream out = new PrintStream(new FileOutputStream(FileDescriptor.out), true, UTF_8);
        PrintStream err = new PrintStream(new FileOutputStream(FileDescriptor.err), true, UTF_8);
        System.exit(run(args, System.in, out, err));
    }

    /**
     * Runs the tool as its command line would and returns the exit status.
     * Standard input is read (as UTF-8) only when no SQL argument was given.
     */
    public static int run(String[] args, InputStream in, PrintStream out, PrintStream err) {
        Options options;
        try {
            options = Options.parse(args);
        } catch (Options.UsageException e) {
            err.print("QueryTool: " + e.getMessage() + "\nQueryTool: --help lists the options\n");
            err.flush();
            return BAD_USAGE;
        }
        if (options.help()) {
            out.print(Options.USAGE);
            out.flush();
            return OK;
        }
        List<String> statements;
        try {
            statements = statements(options, in);
        } catch (IOException e) {
            err.print("QueryTool: cannot read standard input: " + e.getMessage() + "\n");
            err.flush();
            return FAILED;
        }
        return new QueryTool(options, out, err).runAll(statements);
    }

    private static List<String> statements(Options options, InputStream in) throws IOException {
        List<String> scripts = options.sql().isEmpty()
                ? Collections.singletonList(new String(readAll(in), StandardCharsets.UTF_8))
                : options.sql();
        List<String> statements = new ArrayList<>();
        for (String script : scripts) {
            statements.addAll(SqlScript.split(script));
        }
        return statements;
    }

    private static byte[] readAll(InputStream in) throws IOException {
        ByteArrayOutputStream all = new ByteArrayOutputStream();
        byte[] buffer = new byte[READ_BUFFER_BYTES];
        for (int n; (n = in.read(buffer)) >= 0;) {
            all.write(buffer, 0, n);
        }
        return all.toByteArray();
    }

    private int runAll(List<String> statements) {
        OdbcSession opened;
        try {
            opened = open();
        } catch (SqlFailure failure) {
            reportFailure("cannot open data source " + options.dataSource(), failure);
            return FAILED;
        }
        try (OdbcSession session = opened) {
            int status = OK;
            for (String sql : statements) {
                if (!runOne(session, sql)) {
                    status = FAILED;
                    if (!options.keepGoing()) {
                        break;
                    }
                }
            }
            return status;
        } finally {
            out.flush();
            err.flush();
        }
    }

    private OdbcSession open() throws SqlFailure {
        OdbcSession session = OdbcSession.open(options.dataSource(), options.user(), options.password());
        try {
            if (SampleDataSource.isNamedBy(options.dataSource())) {
                SampleDataSource.ensureCreated(session);
            }
        } catch (SqlFailure failure) {
            session.close();
            throw failure;
        }
        options.dateStyle().ifPresent(session::setDateStyle);
        return session;
    }

    /** Runs one statement and prints its outcome; false when it failed. */
    private boolean runOne(OdbcSession session, String sql) {
        try {
            if (SqlScript.isQuery(sql)) {
                printResult(session.query(sql));
            } else {
                printUpdate(session.update(sql));
            }
            return true;
        } catch (SqlFailure failure) {
            reportFailure("statement: " + sql, failure);
            return false;
        } finally {
            out.flush();
        }
    }

    private void printResult(Result result) {
        if (result.columnCount() == 0) {
            printUpdate(1);
            return;
        }
        List<String> lines = new ArrayList<>();
        if (options.csv()) {
            if (printedResults > 0) {
                lines.add("");
            }
            lines.add(Csv.line(result.columnNames()));
            for (List<String> row : result.rows()) {
                lines.add(Csv.line(row));
            }
        } else {
            lines.addAll(TableFormat.lines(result, options.nullText()));
        }
        printedResults++;
        for (String line : lines) {
            out.print(line + "\n");
        }
    }

    /** The library's answer to a statement without a result set, in words. */
    static String updateAnswer(int answer) {
        switch (answer) {
            case 0:
                return "no data (0)";
            case 2:
                return "need data (2)";
            default:
                return "OK (" + answer + ")";
        }
    }

    private void printUpdate(int answer) {
        (options.csv() ? err : out).print(updateAnswer(answer) + "\n");
    }

    private void reportFailure(String context, SqlFailure failure) {
        out.flush();
        err.print("error [" + failure.code() + "] " + failure.detail() + "\n");
        err.print("  " + context + "\n");
        err.flush();
    }
}
