# Sourced by the bench scripts: a work folder that goes at exit, and the fake server on a
# loopback port, serving "$work/fixtures" (fill it before calling bench_start_server).
work=$(mktemp -d)
server_pid=
bench_cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap bench_cleanup EXIT
mkdir -p "$work/fixtures"

# Starts the server and sets port.
bench_start_server() {
  python3 "$top/tests/server/fake_server.py" --fixtures "$work/fixtures" --port-file "$work/port" &
  server_pid=$!
  for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
  read -r port _ < "$work/port"
}
