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
source "$(dirname "$0")/timing.sh"

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
bash "$(dirname "$0")/psql_copy_anchor.sh" "$folder" "$url" postgres_copy $runs
