package jov.jdbc.odbc.bench;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.io.OutputStreamWriter;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.List;

/**
 * The C block program jov_bench_block on one data source, connected once and
 * asked for one pass at a time; it times its passes itself.
 */
final class BlockProgram implements AutoCloseable {

    private final Process process;
    private final BufferedReader answers;
    private final Writer commands;

    BlockProgram(Path program, String dataSource, String user, String password)
            throws IOException {
        process = new ProcessBuilder(List.of(program.toString(), dataSource, user, password))
                .redirectError(ProcessBuilder.Redirect.INHERIT)
                .start();
        answers = new BufferedReader(
                new InputStreamReader(process.getInputStream(), StandardCharsets.US_ASCII));
        commands = new OutputStreamWriter(process.getOutputStream(), StandardCharsets.UTF_8);
        String first = answers.readLine();
        if (!"ready".equals(first)) {
            throw new IOException("block program: did not start (" + first + ")");
        }
    }

    /** Reads every value of sql; answers the nanoseconds it took. */
    long read(String sql) throws IOException {
        commands.write("read " + sql + "\n");
        commands.flush();
        String answer = answers.readLine();
        String[] fields = answer == null ? new String[0] : answer.split(" ");
        if (fields.length != 5 || !fields[0].equals("pass")) {
            throw new IOException("block program: " + sql + " answered " + answer);
        }
        return Long.parseLong(fields[1]);
    }

    @Override
    public void close() throws IOException {
        try {
            commands.write("quit\n");
            commands.flush();
            process.waitFor();
        } catch (IOException e) {
            process.destroy();
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            process.destroy();
        }
    }
}
