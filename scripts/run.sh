#!/usr/bin/env bash
# Installs what is missing, builds, starts a private MariaDB (on demand) and starts both programs.
# Arguments are passed to stopky (for example: --port /dev/pts/3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QX_BUILD_DIR:-$root/build}
data=${XDG_DATA_HOME:-$HOME/.local/share}/qx

"$root/scripts/install-deps.sh"
# Only the programs and the tools used beside them; the test command builds the tests.
"$root/scripts/build.sh" stopky zapisnik qx-sim qx-msg

# The database: an existing server when MYSQL_UNIX_PORT or MYSQL_TCP_PORT is set, else a private one.
if [ -z "${MYSQL_UNIX_PORT:-}" ] && [ -z "${MYSQL_TCP_PORT:-}" ]; then
  export MYSQL_UNIX_PORT=$("$root/scripts/mariadb.sh" start "$data/mariadb")
  echo "Private MariaDB: $MYSQL_UNIX_PORT (stop it with: scripts/mariadb.sh stop $data/mariadb)"
fi
if [ -f "$root/db/schema.sql" ] && ! mariadb --no-defaults -uroot -e 'USE myqx' 2>/dev/null; then
  echo "Creating the database myqx"
  mariadb --no-defaults -uroot < "$root/db/schema.sql"
fi

# Both programs share one working directory: it holds actual.txt and the starter's sound files.
work=${QX_WORKDIR:-$data/work}
mkdir -p "$work"
for f in "$root"/sounds/*.wav; do
  [ -e "$f" ] && [ ! -e "$work/$(basename "$f")" ] && cp "$f" "$work/"
done
cd "$work"
"$build/zapisnik/zapisnik" &
zap=$!
"$build/stopky/stopky" "$@" &
sto=$!
wait $zap $sto
