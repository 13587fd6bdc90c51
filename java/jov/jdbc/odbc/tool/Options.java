package jov.jdbc.odbc.tool;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Optional;

/**
 * The query tool's command line, parsed. Options come first; the first
 * argument that is not an option, or everything after "--", is SQL. Long
 * options take their value as the next argument or after '=' (--date-style=0).
 * Two command lines that parse alike give equal options.
 */
final class Options {

    static final String USAGE = String.join("\n",
            "Usage: QueryTool [options] [SQL ...]",
            "Runs SQL on an ODBC data source through libJovJdbcOdbc and prints each result.",
            "",
            "Options:",
            "  -d, --data-source DSN  data source name; \"A:B:DSN\" names DSN (default "
                    + SampleDataSource.NAME + ",",
            "                         the bundled SQLite sample, filled on first use)",
            "  -u, --user USER        user name (default empty)",
            "  -p, --password PASS    password (default empty)",
            "      --csv              print results as CSV (RFC 4180): NULL is an empty",
            "                         field, an empty text is \"\"",
            "      --date-style N     how dates and times are shown: 0 yyyy-mm-dd, 1 yy-mm-dd,",
            "                         10 dd/mm/yyyy, 11 dd/mm/yy, 21 yy/mm/dd (default),",
            "                         any other number yyyy/mm/dd; always followed by hh:mm:ss",
            "      --null TEXT        how tables show NULL (default NULL)",
            "  -c, --continue         run the remaining statements after a failed one",
            "                         (default: stop at the first failure)",
            "  -h, --help             print this help",
            "  --                     end of options: the remaining arguments are SQL",
            "",
            "Each SQL argument may hold several statements separated by ';'. Without SQL",
            "arguments the statements are read from standard input (UTF-8). Statements",
            "starting with SELECT, WITH, VALUES, PRAGMA, SHOW, EXPLAIN or TABLE print their",
            "rows; others print the library's answer: OK (1), no data (0), need data (2).",
            "",
            "Exit status: 0 all statements succeeded, 1 a statement or the connection",
            "failed (code and message on standard error), 2 bad command line.",
            "");

    /** The command line did not parse; the message says why. */
    static final class UsageException extends Exception {
        private static final long serialVersionUID = 1L;

        UsageException(String message) {
            super(message);
        }
    }

    private final String dataSource;
    private final String user;
    private final String password;
    private final boolean csv;
    private final Optional<Short> dateStyle;
    private final String nullText;
    private final boolean keepGoing;
    private final boolean help;
    private final List<String> sql;

    /**
     * @param dataSource the data source text, passed to the library unchanged
     * @param user user name, "" when not given
     * @param password password, "" when not given
     * @param csv results as CSV instead of tables
     * @param dateStyle the date style to set, when one was given
     * @param nullText how a table shows SQL NULL
     * @param keepGoing run the remaining statements after a failed one
     * @param help print the usage and do nothing else
     * @param sql SQL scripts from the command line; empty means read standard input
     */
    Options(String dataSource, String user, String password, boolean csv, Optional<Short> dateStyle,
            String nullText, boolean keepGoing, boolean help, List<String> sql) {
        this.dataSource = dataSource;
        this.user = user;
        this.password = password;
        this.csv = csv;
        this.dateStyle = dateStyle;
        this.nullText = nullText;
        this.keepGoing = keepGoing;
        this.help = help;
        this.sql = sql;
    }

    String dataSource() {
        return dataSource;
    }

    String user() {
        return user;
    }

    String password() {
        return password;
    }

    boolean csv() {
        return csv;
    }

    Optional<Short> dateStyle() {
        return dateStyle;
    }

    String nullText() {
        return nullText;
    }

    boolean keepGoing() {
        return keepGoing;
    }

    boolean help() {
        return help;
    }

    List<String> sql() {
        return sql;
    }

    private List<Object> fields() {
        return Arrays.asList(dataSource, user, password, csv, dateStyle, nullText, keepGoing, help, sql);
    }

    @Override
    public boolean equals(Object other) {
        return other instanceof Options && fields().equals(((Options) other).fields());
    }

    @Override
    public int hashCode() {
        return fields().hashCode();
    }

    @Override
    public String toString() {
        return "Options" + fields();
    }

    static Options parse(String[] args) throws UsageException {
        Parser parser = new Parser(args);
        return parser.parse();
    }

    /** Walks the arguments once, filling the fields as it meets the options. */
    private static final class Parser {
        private final String[] args;
        private int next;
        private String dataSource = SampleDataSource.NAME;
        private String user = "";
        private String password = "";
        private boolean csv;
        private Optional<Short> dateStyle = Optional.empty();
        private String nullText = "NULL";
        private boolean keepGoing;
        private boolean help;

        Parser(String[] args) {
            this.args = args;
        }

        Options parse() throws UsageException {
            while (next < args.length && args[next].startsWith("-") && !args[next].equals("-")) {
                String arg = args[next++];
                if (arg.equals("--")) {
                    break;
                }
                option(arg);
            }
            List<String> sql = new ArrayList<>(Arrays.asList(args).subList(next, args.length));
            return new Options(dataSource, user, password, csv, dateStyle, nullText, keepGoing,
                    help, sql);
        }

        private void option(String arg) throws UsageException {
            int equals = arg.startsWith("--") ? arg.indexOf('=') : -1;
            String name = equals < 0 ? arg : arg.substring(0, equals);
            String inline = equals < 0 ? null : arg.substring(equals + 1);
            switch (name) {
                case "-d":
                case "--data-source":
                    dataSource = value(name, inline);
                    break;
                case "-u":
                case "--user":
                    user = value(name, inline);
                    break;
                case "-p":
                case "--password":
                    password = value(name, inline);
                    break;
                case "--date-style":
                    dateStyle = Optional.of(dateStyle(value(name, inline)));
                    break;
                case "--null":
                    nullText = value(name, inline);
                    break;
                case "--csv":
                    csv = flag(name, inline);
                    break;
                case "-c":
                case "--continue":
                    keepGoing = flag(name, inline);
                    break;
                case "-h":
                case "--help":
                    help = flag(name, inline);
                    break;
                default:
                    throw new UsageException("unknown option " + name);
            }
        }

        private String value(String name, String inline) throws UsageException {
            if (inline != null) {
                return inline;
            }
            if (next >= args.length) {
                throw new UsageException("option " + name + " needs a value");
            }
            return args[next++];
        }

        private static boolean flag(String name, String inline) throws UsageException {
            if (inline != null) {
                throw new UsageException("option " + name + " takes no value");
            }
            return true;
        }

        /** A date style is a 16-bit code; anything else is refused rather than cut. */
        private static short dateStyle(String text) throws UsageException {
            try {
                return Short.parseShort(Blanks.strip(text));
            } catch (NumberFormatException e) {
                throw new UsageException("--date-style needs a number from "
                        + Short.MIN_VALUE + " to " + Short.MAX_VALUE + ", not " + text);
            }
        }
    }
}
