#!/usr/bin/env bash
# A private MariaDB server in a folder of the user's: no root, no system service.
#   scripts/mariadb.sh start DIR   start it (initialising DIR on first use); prints the socket path
#   scripts/mariadb.sh stop DIR    stop it
# Root has an empty password; the server listens only on DIR/mysqld.sock (no TCP), unless
# QX_DB_TCP_PORT names a port: then also on 127.0.0.1 at that port (for tests of several clients
# over the network).
# QX_DB_SSL_CERT and QX_DB_SSL_KEY (PEM files) make it offer TLS with that certificate.
# Clients find it through MYSQL_UNIX_PORT=DIR/mysqld.sock.
set -euo pipefail
cmd=${1:?usage: mariadb.sh start|stop DIR}
dir=${2:?usage: mariadb.sh start|stop DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
sock=$dir/mysqld.sock
pidfile=$dir/mysqld.pid

alive() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

case "$cmd" in
start)
  if alive; then echo "$sock"; exit 0; fi
  if [ ! -d "$dir/data/mysql" ]; then
    mkdir -p "$dir/data"
    mariadb-install-db --no-defaults --user="$(id -un)" --datadir="$dir/data" \
      --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1 || {
      cat "$dir/install.log" >&2; exit 1; }
  fi
  net=(--skip-networking)
  if [ -n "${QX_DB_TCP_PORT:-}" ]; then net=(--port="$QX_DB_TCP_PORT" --bind-address=127.0.0.1); fi
  tls=()
  if [ -n "${QX_DB_SSL_CERT:-}" ]; then
    tls=(--ssl-cert="$QX_DB_SSL_CERT" --ssl-key="${QX_DB_SSL_KEY:?QX_DB_SSL_KEY goes with QX_DB_SSL_CERT}")
  fi
  mariadbd --no-defaults --user="$(id -un)" --datadir="$dir/data" --socket="$sock" \
    --pid-file="$pidfile" "${net[@]}" "${tls[@]}" --log-error="$dir/error.log" \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
    --innodb-buffer-pool-size=64M --innodb-log-file-size=16M >/dev/null 2>&1 &
  for _ in $(seq 1 300); do
    if mariadb-admin --no-defaults --socket="$sock" -uroot ping >/dev/null 2>&1; then
      echo "$sock"; exit 0
    fi
    sleep 0.1
  done
  echo "MariaDB did not start; see $dir/error.log" >&2
  tail -20 "$dir/error.log" >&2 || true
  exit 1
  ;;
stop)
  if alive; then
    mariadb-admin --no-defaults --socket="$sock" -uroot shutdown >/dev/null 2>&1 || kill "$(cat "$pidfile")" 2>/dev/null || true
    for _ in $(seq 1 100); do alive || break; sleep 0.1; done
  fi
  ;;
*) echo "usage: mariadb.sh start|stop DIR" >&2; exit 2 ;;
esac
