package jov.jdbc.odbc.clients;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.util.List;
import java.util.Map;
import javax.sql.DataSource;
import jov.jdbc.odbc.it.Rig;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;
import org.springframework.dao.DataAccessException;
import org.springframework.dao.DataIntegrityViolationException;
import org.springframework.dao.DuplicateKeyException;
import org.springframework.jdbc.BadSqlGrammarException;
import org.springframework.jdbc.UncategorizedSQLException;
import org.springframework.jdbc.core.JdbcTemplate;
import org.springframework.jdbc.core.simple.SimpleJdbcInsert;
import org.springframework.jdbc.datasource.DataSourceTransactionManager;
import org.springframework.jdbc.datasource.DriverManagerDataSource;
import org.springframework.transaction.support.TransactionTemplate;

/**
 * Spring's JdbcTemplate with DataSourceTransactionManager over the driver:
 * transactions through auto-commit, commit and rollback, and the driver's
 * SQLSTATEs and exception classes as Spring translates them.
 */
class SpringTest {

    private static DataSource dataSource(Rig rig) {
        return new DriverManagerDataSource(Scratch.url(rig), rig.user, rig.password);
    }

    @ParameterizedTest
    @MethodSource(Scratch.RIGS)
    void rolledBackTransactionLeavesNothingAndCommittedOneStays(Rig rig) throws Exception {
        try (Scratch db = Scratch.open(rig, "id integer primary key, name varchar(20)")) {
            DataSource source = dataSource(rig);
            JdbcTemplate jdbc = new JdbcTemplate(source);
            TransactionTemplate transaction = new TransactionTemplate(new DataSourceTransactionManager(source));
            String insert = "INSERT INTO " + db.table + " VALUES (?, ?)";

            transaction.execute(status -> {
                jdbc.update(insert, 1, "取り消し");
                status.setRollbackOnly();
                return null;
            });
            transaction.execute(status -> jdbc.update(insert, 2, "表示"));

            assertEquals(List.of("表示"), jdbc.queryForList("SELECT name FROM " + db.table, String.class));
        }
    }

    /**
     * SimpleJdbcInsert learns the table's columns from getColumns, naming the
     * user as the schema where the database (SQLite, MariaDB) has none.
     */
    @ParameterizedTest
    @MethodSource(Scratch.RIGS)
    void simpleJdbcInsertFindsTheColumns(Rig rig) throws Exception {
        try (Scratch db = Scratch.open(rig, "id integer primary key, name varchar(20)")) {
            DataSource source = dataSource(rig);
            SimpleJdbcInsert insert = new SimpleJdbcInsert(source).withTableName(db.table);

            assertEquals(1, insert.execute(Map.of("id", 7, "name", "挿入")));

            assertEquals(List.of("挿入"), new JdbcTemplate(source)
                    .queryForList("SELECT name FROM " + db.table + " WHERE id = 7", String.class));
        }
    }

    /**
     * PostgreSQL's SQLSTATEs (23505, 42601) and its product name reach Spring's
     * translation; the SQLite driver reports both failures with the general
     * state HY000, which Spring can only leave uncategorised. MariaDB's
     * classes 23000 and 42000 go by Spring's SQLSTATE classes, its error
     * numbers not reaching the exception: a duplicate is only a
     * DataIntegrityViolationException.
     */
    @ParameterizedTest
    @MethodSource(Scratch.RIGS)
    void failuresBecomeSpringsExceptions(Rig rig) throws Exception {
        try (Scratch db = Scratch.open(rig, "id integer primary key")) {
            JdbcTemplate jdbc = new JdbcTemplate(dataSource(rig));
            String insert = "INSERT INTO " + db.table + " VALUES (1)";
            jdbc.update(insert);
            boolean sqlite = rig == Rig.SQLITE;
            Class<? extends DataAccessException> duplicate = sqlite ? UncategorizedSQLException.class
                    : rig == Rig.POSTGRES ? DuplicateKeyException.class : DataIntegrityViolationException.class;
            Class<? extends DataAccessException> syntax =
                    sqlite ? UncategorizedSQLException.class : BadSqlGrammarException.class;

            assertThrows(duplicate, () -> jdbc.update(insert));
            assertThrows(syntax, () -> jdbc.queryForList("SELEC id FROM " + db.table));
        }
    }
}
