#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the archive tests, on a Unix socket only.
#   postgres_cluster.sh start DIR   initdb in DIR, start it, create the database qm4250_test,
#                                   and write its URL to DIR/url
#   postgres_cluster.sh stop DIR    stop it and remove DIR
# Debian's binaries; the server runs as the user postgres when started by root.
set -euo pipefail

action=$1
dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[[ -x $bin/initdb ]] || { echo "postgres_cluster.sh: PostgreSQL is not installed" >&2; exit 1; }

as_server_user() {
  if [[ $(id -u) -eq 0 ]]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case $action in
  start)
    rm -rf "$dir"
    mkdir -p "$dir"
    [[ $(id -u) -eq 0 ]] && chown postgres: "$dir"
    as_server_user "$bin/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log"
    as_server_user "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
      -o "-k $dir -c listen_addresses='' -c fsync=off" start >/dev/null
    as_server_user "$bin/createdb" -h "$dir" -U postgres qm4250_test
    echo "postgresql://postgres@/qm4250_test?host=$dir" >"$dir/url"
    ;;
  stop)
    if [[ -d $dir/data ]]; then
      as_server_user "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null || true
    fi
    rm -rf "$dir"
    ;;
  *)
    echo "usage: postgres_cluster.sh start|stop DIR" >&2
    exit 2
    ;;
esac
