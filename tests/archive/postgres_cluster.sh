#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the archive tests and benchmarks, on a Unix socket only.
#   postgres_cluster.sh start STATE   initdb in a fresh folder under /tmp, start it, create the
#                                     database qm4250_test, and write its URL to STATE/url
#   postgres_cluster.sh stop STATE    stop it and remove it and STATE
#   postgres_cluster.sh halt STATE    shut the server down as an update would, keeping the cluster
#   postgres_cluster.sh resume STATE  start it again after halt
# Debian's binaries; the server runs as the user postgres when started by root. The cluster lives
# under /tmp, not in STATE, so that postgres can reach it whatever the permissions of the folders
# above STATE.
set -euo pipefail

action=$1
state=$2
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[[ -x $bin/initdb ]] || { echo "postgres_cluster.sh: PostgreSQL is not installed" >&2; exit 1; }

as_server_user() {
  if [[ $(id -u) -eq 0 ]]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
  [[ -f $state/cluster ]] || return 0
  local cluster
  cluster=$(cat "$state/cluster")
  if [[ -d $cluster/data ]]; then
    as_server_user "$bin/pg_ctl" -D "$cluster/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$cluster"
}

# The server on the cluster's socket only.
run_server() {
  as_server_user "$bin/pg_ctl" -D "$1/data" -l "$1/server.log" -w \
    -o "-k $1 -c listen_addresses='' -c fsync=off" start >/dev/null
}

case $action in
  start)
    stop
    rm -rf "$state"
    mkdir -p "$state"
    cluster=$(mktemp -d /tmp/qm4250-pg.XXXXXX)
    chmod 755 "$cluster"
    echo "$cluster" >"$state/cluster"
    [[ $(id -u) -eq 0 ]] && chown postgres: "$cluster"
    as_server_user "$bin/initdb" -D "$cluster/data" -A trust -U postgres -E UTF8 --locale=C.UTF-8 \
      >"$state/initdb.log"
    run_server "$cluster"
    as_server_user "$bin/createdb" -h "$cluster" -U postgres qm4250_test
    echo "postgresql://postgres@/qm4250_test?host=$cluster" >"$state/url"
    ;;
  stop)
    stop
    rm -rf "$state"
    ;;
  halt)
    as_server_user "$bin/pg_ctl" -D "$(cat "$state/cluster")/data" -m fast -w stop >/dev/null
    ;;
  resume)
    run_server "$(cat "$state/cluster")"
    ;;
  *)
    echo "usage: postgres_cluster.sh start|stop|halt|resume STATE" >&2
    exit 2
    ;;
esac
