#!/usr/bin/env bash
# psql's \copy measured beside our archiving: the tests of the archive at POSTGRES_URL, the same
# rows, loaded by one \copy into an empty database of the same schema (its indexes and unique key)
# holding the same instruments and uploads, in the same cluster. The median of RUNS runs of a new
# psql, its start and connection included as ours includes opening its connection. Prints
# KEY_ms=… and KEY_rows_per_s=….
#   psql_copy_anchor.sh FOLDER POSTGRES_URL KEY RUNS
set -euo pipefail
shopt -s inherit_errexit
folder=$1
url=$2
key=$3
runs=$4
source "$(dirname "$0")/timing.sh"
export PGOPTIONS="-c client_min_messages=warning"
columns="instrument_id, seq, pn, cust_code, leak_text, leak, error_code, time_seconds, tested_at,
  relay_field, power_up, relay_gp, relay_bp, relay_ge, first_upload_id"

psql=(psql -X -q -v ON_ERROR_STOP=1)
base=${url%%\?*}
anchor_url=${base%/*}/qm4250_anchor${url#"$base"}
"${psql[@]}" "$url" -c "\\copy (SELECT $columns FROM tests ORDER BY id) TO '$folder/tests.copy'"
rows=$(wc -l <"$folder/tests.copy")
pg_dump --no-owner --exclude-table-data=tests --exclude-table-data=unreadable_frames "$url" \
  >"$folder/archive.sql"
ms=$(for _ in $(seq "$runs"); do
  "${psql[@]}" "$url" -c "DROP DATABASE IF EXISTS qm4250_anchor" -c "CREATE DATABASE qm4250_anchor"
  "${psql[@]}" "$anchor_url" -f "$folder/archive.sql" >/dev/null
  millis "${psql[@]}" "$anchor_url" -c "\\copy tests ($columns) FROM '$folder/tests.copy'"
done | median)
"${psql[@]}" "$url" -c "DROP DATABASE qm4250_anchor"
echo "${key}_ms=$ms"
echo "${key}_rows_per_s=$((rows * 1000 / ms))"
