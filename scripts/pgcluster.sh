#!/usr/bin/env bash
# Private PostgreSQL cluster: Unix socket only, trust for the owner.
#   pgcluster.sh [--volatile] init  DIR   create the cluster in DIR (no-op if present)
#   pgcluster.sh [--volatile] start DIR   start it (init first when needed)
#   pgcluster.sh stop  DIR    stop it
#   pgcluster.sh status DIR
#   pgcluster.sh socket DIR   print the socket directory (the "host" to use)
# As root the server runs as an unprivileged account (initdb refuses root);
# then the cluster lives in a directory that account owns, and DIR holds a
# link to it, since DIR may sit under a home that account cannot enter.
#
# Durability: a cluster keeps PostgreSQL's defaults (fsync, synchronous_commit
# and full_page_writes on), so a row the program reported as written survives
# a crash of the server or of the machine. --volatile, for the test and
# benchmark clusters only, turns the three off: faster, and a crash may lose
# committed rows. The setting is written at every init and start, so a
# cluster made volatile earlier is durable again from its next start without
# the option (a running one reloads its configuration).
set -euo pipefail

volatile=0
if [[ ${1:-} == --volatile ]]; then volatile=1; shift; fi
cmd=${1:-}; dir=${2:-}
[[ -n $cmd && -n $dir ]] || { echo "uso: $0 [--volatile] init|start|stop|status|socket DIR" >&2; exit 2; }

bindir=""
for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  [[ -x $d/initdb ]] && { bindir=$d; break; }
done
[[ -n $bindir ]] || { echo "PostgreSQL server non installato (pacchetto postgresql)" >&2; exit 3; }

runas=()
if [[ $(id -u) -eq 0 ]]; then
  acct=${PROMO_PG_USER:-postgres}
  id "$acct" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$acct"
  runas=(runuser -u "$acct" --)
fi

mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
if [[ ${#runas[@]} -gt 0 ]]; then
  if [[ ! -L $dir/cluster ]]; then
    real=$(mktemp -d /tmp/promo-pg.XXXXXX)
    chown "$acct" "$real"; chmod 700 "$real"
    ln -sfn "$real" "$dir/cluster"
  fi
  data=$(readlink "$dir/cluster")
  if [[ ! -d $data ]]; then           # /tmp was cleaned: make it again
    mkdir -p "$data"; chown "$acct" "$data"; chmod 700 "$data"
  fi
else
  data=$dir/cluster
  mkdir -p "$data"
fi
pgdata=$data/data
sock=$data/run
log=$data/server.log

do_init() {
  if [[ ! -f $pgdata/PG_VERSION ]]; then
    local nosync=()
    # a volatile cluster need not wait for its new files to reach the disk
    if [[ $volatile -eq 1 ]]; then nosync=(--no-sync); fi
    "${runas[@]}" mkdir -p "$sock"
    "${runas[@]}" "$bindir/initdb" -D "$pgdata" -A trust -U promo -E UTF8 \
        --locale=C.UTF-8 "${nosync[@]}" >"$data/initdb.log" 2>&1 \
      || { cat "$data/initdb.log" >&2; exit 4; }
    cat >>"$pgdata/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$sock'
unix_socket_permissions = 0777
max_connections = 200
shared_buffers = 128MB
CONF
  fi
  set_durability
}

# The three lines go at the end of postgresql.conf, replacing any earlier
# ones (the last setting of a key wins, but one of each keeps it readable).
set_durability() {
  local conf=$pgdata/postgresql.conf val=on
  if [[ $volatile -eq 1 ]]; then val=off; fi
  "${runas[@]}" sed -i -e '/^[[:space:]]*\(fsync\|synchronous_commit\|full_page_writes\)[[:space:]]*=/d' "$conf"
  printf 'fsync = %s\nsynchronous_commit = %s\nfull_page_writes = %s\n' $val $val $val \
    | "${runas[@]}" tee -a "$conf" >/dev/null
}

# A running server takes the setting on reload; new sessions see it once the
# server has read the file, which this waits for (a few seconds at most).
reload_durability() {
  local want=on i
  if [[ $volatile -eq 1 ]]; then want=off; fi
  "${runas[@]}" "$bindir/pg_ctl" -D "$pgdata" reload >/dev/null
  for i in $(seq 50); do
    [[ $("$bindir/psql" -X -At -h "$sock" -U promo -d postgres -c "SHOW fsync" 2>/dev/null) == "$want" ]] && return 0
    sleep 0.1
  done
}

case $cmd in
  init) do_init ;;
  start)
    do_init
    if ! "${runas[@]}" "$bindir/pg_ctl" -D "$pgdata" status >/dev/null 2>&1; then
      "${runas[@]}" "$bindir/pg_ctl" -D "$pgdata" -l "$log" -w -t 60 start >/dev/null \
        || { tail -20 "$log" >&2; exit 5; }
    else
      reload_durability
    fi
    echo "$sock" ;;
  stop)
    if [[ -f $pgdata/PG_VERSION ]]; then
      "${runas[@]}" "$bindir/pg_ctl" -D "$pgdata" -m fast -w stop >/dev/null 2>&1 || true
    fi ;;
  status) "${runas[@]}" "$bindir/pg_ctl" -D "$pgdata" status ;;
  socket) echo "$sock" ;;
  *) echo "comando sconosciuto: $cmd" >&2; exit 2 ;;
esac
