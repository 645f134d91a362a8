#!/usr/bin/env bash
# The test suite's PostgreSQL: one private cluster per ctest run, and a
# template database (schema + small fixtures) that each test suite clones.
#   testdb.sh setup DIR | cleanup DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
cmd=$1; dir=$2
case $cmd in
  setup)
    "$here/pgcluster.sh" stop "$dir" >/dev/null 2>&1 || true
    sock=$("$here/pgcluster.sh" --volatile start "$dir")
    echo "$sock" >"$dir/socket"
    psql=(psql -X -q -v ON_ERROR_STOP=1 -h "$sock" -U promo)
    # leftovers of an earlier run
    for db in $("${psql[@]}" -d postgres -Atc "SELECT datname FROM pg_database WHERE datname LIKE 't\_%' OR datname = 'promo_template'"); do
      "${psql[@]}" -d postgres -c "UPDATE pg_database SET datistemplate = false WHERE datname = '$db'" >/dev/null
      "${psql[@]}" -d postgres -c "DROP DATABASE \"$db\"" >/dev/null
    done
    "${psql[@]}" -d postgres -c "CREATE DATABASE promo_template"
    "${psql[@]}" -d promo_template -f "$root/db/schema.sql" >/dev/null
    "${psql[@]}" -d promo_template -f "$root/tests/support/fixtures.sql" >/dev/null
    "${psql[@]}" -d postgres -c "ALTER DATABASE promo_template IS_TEMPLATE true" >/dev/null
    echo "test cluster ready: $sock" ;;
  cleanup)
    "$here/pgcluster.sh" stop "$dir" ;;
  *) echo "uso: $0 setup|cleanup DIR" >&2; exit 2 ;;
esac
