package jov.jdbc.odbc.bench;

/**
 * What the JVM charges any JNI bridge, apart from any database: the time of a
 * native call that does nothing, and of one that only makes a Java string of
 * the benchmark's average value length through NewStringUTF. Medians of
 * several runs of a few million calls each, after a warm-up.
 */
final class JniPrices {

    private static final int CALLS = 2_000_000;
    private static final int RUNS = 7;

    /** Nanoseconds per call: [0] a call that does nothing, [1] a call that makes a string. */
    static double[] measure(int length) {
        double[] nothing = new double[RUNS];
        double[] string = new double[RUNS];
        long sink = 0;
        for (int run = -1; run < RUNS; run++) {
            long start = System.nanoTime();
            for (int i = 0; i < CALLS; i++) {
                sink += JniFloor.nothing(i);
            }
            long middle = System.nanoTime();
            for (int i = 0; i < CALLS; i++) {
                sink += JniFloor.asciiString(length).length();
            }
            long end = System.nanoTime();
            if (run >= 0) {
                nothing[run] = (double) (middle - start) / CALLS;
                string[run] = (double) (end - middle) / CALLS;
            }
        }
        if (sink == 42) {
            System.out.print("");
        }
        return new double[] {Report.median(nothing), Report.median(string)};
    }
}
