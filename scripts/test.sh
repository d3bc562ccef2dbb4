#!/usr/bin/env bash
# Installs what is missing, builds, starts a private MariaDB and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/check-format.sh"
"$root/scripts/build.sh"

# A fresh private server for each test run, removed afterwards.
dbdir=$(mktemp -d "${TMPDIR:-/tmp}/qx-test-db.XXXXXX")
cleanup() { "$root/scripts/mariadb.sh" stop "$dbdir" || true; rm -rf "$dbdir"; }
trap cleanup EXIT
# It also listens on 127.0.0.1 at a free port: the tests of several computers on one server meet
# there over TCP, as on a network.
for _ in $(seq 1 20); do
  QX_DB_TCP_PORT=$((20000 + RANDOM % 30000))
  (echo >"/dev/tcp/127.0.0.1/$QX_DB_TCP_PORT") 2>/dev/null || break
done
export QX_DB_TCP_PORT
export MYSQL_UNIX_PORT=$("$root/scripts/mariadb.sh" start "$dbdir")
export QX_SCHEMA_SQL="$root/db/schema.sql"
export QT_QPA_PLATFORM=offscreen

cd "$build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
