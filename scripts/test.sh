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
export MYSQL_UNIX_PORT=$("$root/scripts/mariadb.sh" start "$dbdir")
export QX_SCHEMA_SQL="$root/db/schema.sql"
export QT_QPA_PLATFORM=offscreen

cd "$build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
