package jov.jdbc.odbc.tool;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.util.List;
import java.util.Optional;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.ValueSource;

/** The command line, and the tool's answers to one that asks for no database work. */
class OptionsTest {

    @Test
    void defaultsNameTheSample() throws Exception {
        Options options = Options.parse(new String[] {});
        assertEquals(new Options("JovSample", "", "", false, Optional.empty(), "NULL", false, false,
                List.of()), options);
    }

    @Test
    void everyOptionInShortAndLongForm() throws Exception {
        Options options = Options.parse(new String[] {"-d", "A:B:JovPg", "-u", "jov", "-p", "pw",
            "--csv", "--date-style", "0", "--null", "(null)", "-c", "SELECT 1", "SELECT 2"});
        assertEquals(new Options("A:B:JovPg", "jov", "pw", true, Optional.of((short) 0), "(null)", true,
                false, List.of("SELECT 1", "SELECT 2")), options);
        Options longForms = Options.parse(new String[] {"--data-source=X", "--user", "u",
            "--password=a=b", "--date-style=-1", "--continue", "--", "--csv"});
        assertEquals(new Options("X", "u", "a=b", false, Optional.of((short) -1), "NULL", true, false,
                List.of("--csv")), longForms);
    }

    @Test
    void optionsStopAtTheFirstSql() throws Exception {
        Options options = Options.parse(new String[] {"SELECT 1", "--csv"});
        assertFalse(options.csv());
        assertEquals(List.of("SELECT 1", "--csv"), options.sql());
    }

    @ParameterizedTest
    @ValueSource(strings = {"--nope", "-x", "--date-style=abc", "--date-style=32768",
        "--csv=yes", "-d"})
    void badCommandLinesAreRefused(String arg) {
        assertThrows(Options.UsageException.class, () -> Options.parse(new String[] {arg}));
    }

    @Test
    void helpPrintsUsageAndExitsZero() {
        Captured run = Captured.run("--help");
        assertEquals(0, run.status);
        assertTrue(run.out.startsWith("Usage: QueryTool [options] [SQL ...]\n"), run.out);
        assertEquals("", run.err);
    }

    @Test
    void badUsageExitsTwoWithTheReasonOnStandardError() {
        Captured run = Captured.run("--date-style", "x", "SELECT 1");
        assertEquals(new Captured(2, "", "QueryTool: --date-style needs a number from -32768 to 32767, not x\n"
                + "QueryTool: --help lists the options\n"), run);
    }

    /** A run of the tool that never reaches the database. */
    private record Captured(int status, String out, String err) {
        static Captured run(String... args) {
            ByteArrayOutputStream out = new ByteArrayOutputStream();
            ByteArrayOutputStream err = new ByteArrayOutputStream();
            int status = QueryTool.run(args, new ByteArrayInputStream(new byte[0]),
                    new PrintStream(out, true, StandardCharsets.UTF_8),
                    new PrintStream(err, true, StandardCharsets.UTF_8));
            return new Captured(status, out.toString(StandardCharsets.UTF_8), err.toString(StandardCharsets.UTF_8));
        }
    }
}
