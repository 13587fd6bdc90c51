package jov.jdbc.odbc.tool;

import java.util.ArrayList;
import java.util.List;
import java.util.Optional;

/**
 * The query tool's command line, parsed. Options come first; the first
 * argument that is not an option, or everything after "--", is SQL. Long
 * options take their value as the next argument or after '=' (--date-style=0).
 *
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
record Options(String dataSource, String user, String password, boolean csv,
        Optional<Short> dateStyle, String nullText, boolean keepGoing, boolean help,
        List<String> sql) {

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
            List<String> sql = new ArrayList<>(List.of(args).subList(next, args.length));
            return new Options(dataSource, user, password, csv, dateStyle, nullText, keepGoing,
                    help, sql);
        }

        private void option(String arg) throws UsageException {
            int equals = arg.startsWith("--") ? arg.indexOf('=') : -1;
            String name = equals < 0 ? arg : arg.substring(0, equals);
            String inline = equals < 0 ? null : arg.substring(equals + 1);
            switch (name) {
                case "-d", "--data-source" -> dataSource = value(name, inline);
                case "-u", "--user" -> user = value(name, inline);
                case "-p", "--password" -> password = value(name, inline);
                case "--date-style" -> dateStyle = Optional.of(dateStyle(value(name, inline)));
                case "--null" -> nullText = value(name, inline);
                case "--csv" -> csv = flag(name, inline);
                case "-c", "--continue" -> keepGoing = flag(name, inline);
                case "-h", "--help" -> help = flag(name, inline);
                default -> throw new UsageException("unknown option " + name);
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
                return Short.parseShort(text.strip());
            } catch (NumberFormatException e) {
                throw new UsageException("--date-style needs a number from "
                        + Short.MIN_VALUE + " to " + Short.MAX_VALUE + ", not " + text);
            }
        }
    }
}
