#!/usr/bin/env bash
# The engines' own bulk loads, measured beside our archiving: the sqlite3 shell's .import and psql's
# \copy of the tests archive_bench archived last, the same rows, into an empty archive of the same
# schema (its indexes and unique key; WAL on SQLite) holding the same instrument and uploads. Each
# is the median of 5 runs of a new sqlite3 or psql, its start and connection included as ours
# includes opening its connection. Prints key=value lines.
#   archive_anchors.sh FOLDER POSTGRES_URL   (archive_bench's arguments, after it ran)
set -euo pipefail
folder=$1
url=$2
runs=5
export PGOPTIONS="-c client_min_messages=warning"
columns="instrument_id, seq, pn, cust_code, leak_text, leak, error_code, time_seconds, tested_at,
  relay_field, power_up, relay_gp, relay_bp, relay_ge, first_upload_id"

# The command's time in milliseconds.
millis() {
  local start
  start=$(date +%s%N)
  "$@" >/dev/null
  echo $((($(date +%s%N) - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ours=$folder/upload.sqlite
anchor=$folder/anchor.sqlite
sqlite3 -tabs "$ours" "SELECT * FROM tests ORDER BY id" >"$folder/tests.tsv"
for _ in $(seq $runs); do
  rm -f "$anchor" "$anchor-wal" "$anchor-shm"
  { echo "PRAGMA journal_mode=WAL;"
    sqlite3 "$ours" .schema
    echo "ATTACH '$ours' AS ours;"
    echo "INSERT INTO instruments SELECT * FROM ours.instruments;"
    echo "INSERT INTO uploads SELECT * FROM ours.uploads;"
  } | sqlite3 "$anchor" >/dev/null
  millis sqlite3 -tabs "$anchor" ".import '$folder/tests.tsv' tests"
done | median | sed 's/^/sqlite_import_ms=/'

# The anchor database sits beside archive_bench's, in the same cluster.
psql=(psql -X -q -v ON_ERROR_STOP=1)
base=${url%%\?*}
anchor_url=${base%/*}/qm4250_anchor${url#"$base"}
"${psql[@]}" "$url" -c "\\copy (SELECT $columns FROM tests ORDER BY id) TO '$folder/tests.copy'"
pg_dump --no-owner --exclude-table-data=tests --exclude-table-data=unreadable_frames "$url" \
  >"$folder/archive.sql"
for _ in $(seq $runs); do
  "${psql[@]}" "$url" -c "DROP DATABASE IF EXISTS qm4250_anchor" -c "CREATE DATABASE qm4250_anchor"
  "${psql[@]}" "$anchor_url" -f "$folder/archive.sql" >/dev/null
  millis "${psql[@]}" "$anchor_url" -c "\\copy tests ($columns) FROM '$folder/tests.copy'"
done | median | sed 's/^/postgres_copy_ms=/'
"${psql[@]}" "$url" -c "DROP DATABASE qm4250_anchor"
