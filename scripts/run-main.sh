#!/usr/bin/env bash
# Installs what is missing, builds, and shows the query tool at work on the
# bundled sample data source JovSample (filled on first use): tables with
# Japanese text and NULLs, CSV, a date style, statements from standard input,
# and an SQL error with its exit status. Then the same sample through the JDBC
# driver's jar in sqlline, a ready-made JDBC shell (scripts/sql-shell.sh):
# the driver's metadata and a query with Japanese text in and out.
#
# With arguments, runs the tool with them instead, e.g.
#   bash scripts/run-main.sh --csv "SELECT * FROM staff"
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
if [[ $# -gt 0 ]]; then
    exec bash scripts/query.sh "$@"
fi

# show ARG...: prints the command line, then runs the tool with it.
show() {
    local shown="" arg
    for arg in "$@"; do
        if [[ $arg =~ ^[A-Za-z0-9._:-]+$ ]]; then shown+=" $arg"; else shown+=" \"$arg\""; fi
    done
    printf '\n$ bash scripts/query.sh%s\n' "$shown"
    bash scripts/query.sh "$@"
}

show "SELECT id, name, kana, city, hired, salary, photo FROM staff ORDER BY id"
show "SELECT s.name, a.sold_at, a.item, a.quantity, a.price, a.discount, a.note
      FROM sales a JOIN staff s ON s.id = a.staff_id ORDER BY a.id"
show --csv "SELECT id, item, price, discount, note FROM sales ORDER BY id"
show --date-style 0 "SELECT name, hired FROM staff WHERE hired < '2011-01-01' ORDER BY hired"

script="UPDATE staff SET city = '名古屋' WHERE id = 99;
SELECT city, count(*) AS staff FROM staff GROUP BY city ORDER BY city"
printf '\n$ printf %%s "%s" | bash scripts/query.sh --null "(null)"\n' "$script"
printf %s "$script" | bash scripts/query.sh --null "(null)"

status=0
show "SELECT name FROM staff WHERE id = 1; SELECT * FROM no_such_table" || status=$?
echo "(exit status $status)"

shell_input="!tables
!columns staff
SELECT s.name, a.item, a.price FROM sales a JOIN staff s ON s.id = a.staff_id
  WHERE s.city = '東京' ORDER BY a.id;"
printf '\n$ printf %%s "%s" | bash scripts/sql-shell.sh\n' "$shell_input"
printf %s "$shell_input" | bash scripts/sql-shell.sh 2>&1
