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
 * The floor: the query read with ODBC alone by the C++ program
 * jov_bench_floor, which keeps its connection open and runs one pass per
 * command; it times its passes itself.
 */
final class FloorVariant implements Variant {

    private final Process process;
    private final BufferedReader answers;
    private final Writer commands;

    FloorVariant(Path program, String dataSource, String user, String password, String sql)
            throws IOException {
        process = new ProcessBuilder(List.of(program.toString(), dataSource, user, password, sql))
                .redirectError(ProcessBuilder.Redirect.INHERIT)
                .start();
        answers = new BufferedReader(
                new InputStreamReader(process.getInputStream(), StandardCharsets.US_ASCII));
        commands = new OutputStreamWriter(process.getOutputStream(), StandardCharsets.UTF_8);
        String first = answers.readLine();
        if (!"ready".equals(first)) {
            throw new IllegalStateException("floor: did not start (" + first + ")");
        }
    }

    @Override
    public String name() {
        return "floor";
    }

    @Override
    public PassResult pass() throws IOException {
        return ask("pass");
    }

    @Override
    public PassResult dump(Path file) throws IOException {
        return ask("dump " + file.toAbsolutePath());
    }

    private PassResult ask(String command) throws IOException {
        commands.write(command + "\n");
        commands.flush();
        String answer = answers.readLine();
        String[] fields = answer == null ? new String[0] : answer.split(" ");
        if (fields.length != 6 || !fields[0].equals("pass")) {
            throw new IllegalStateException("floor: " + command + " answered " + answer);
        }
        return new PassResult(Long.parseLong(fields[1]), Long.parseLong(fields[2]),
                Long.parseLong(fields[3]), Long.parseLong(fields[4]), Long.parseLong(fields[5]));
    }

    @Override
    public void close() throws IOException {
        commands.write("quit\n");
        commands.flush();
        try {
            process.waitFor();
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            process.destroy();
        }
    }
}
