#!/usr/bin/env bash
# A real Signal K server fed by polarctl live: the server (from the npm registry, installed once
# into CACHE) is started on free ports with two UDP data connections, one for Signal K and one
# for NMEA 0183; live sends it its deltas and its sentences of the same moments. The server's
# REST API must then serve the polar speed ratio live computed, and every path that both give
# (from the deltas, and from the server's own parser of the sentences) with the same value.
# With PLUGIN (the plug-in's npm package), it is installed into the server too, configured and
# enabled; fed the instruments' log as NMEA 0183, the server must then serve the polar speed
# ratio the plug-in's polarctl computed from the server's own readings.
#   signalk_server_test.sh POLARCTL CACHE [PLUGIN]
# Skips (exit 77) when node or npm is missing or the registry cannot be reached, unless
# POLAR_SIGNALK_REQUIRED is set (CI), where that is a failure.
set -euo pipefail
polarctl=$1
cache=$2
plugin=${3:-}
version=2.23.0

skip() {
  echo "SKIP: $*"
  if [ -n "${POLAR_SIGNALK_REQUIRED:-}" ]; then
    exit 1
  fi
  exit 77
}

command -v node >/dev/null && command -v npm >/dev/null ||
  skip "node and npm are not installed (scripts/install-deps.sh installs them)"

server=$cache/node_modules/.bin/signalk-server
if [ ! -x "$server" ] || [ "$(cat "$cache/installed-version" 2>/dev/null)" != "$version" ]; then
  timeout 60 npm view "signalk-server@$version" version >/dev/null 2>&1 ||
    skip "the npm registry cannot be reached to install signalk-server $version"
  mkdir -p "$cache"
  (cd "$cache" && timeout 1200 npm install --no-audit --no-fund --omit=dev --loglevel=error \
    "signalk-server@$version")
  echo "$version" >"$cache/installed-version"
fi

work=$(mktemp -d)
server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Ports free a moment ago: HTTP (TCP) and the data connection (UDP).
free_port() { # free_port tcp|udp
  node -e '
    const kind = process.argv[1];
    const done = (port, close) => { console.log(port); close(); };
    if (kind === "udp") {
      const s = require("dgram").createSocket("udp4");
      s.bind(0, "127.0.0.1", () => done(s.address().port, () => s.close()));
    } else {
      const s = require("net").createServer();
      s.listen(0, "127.0.0.1", () => done(s.address().port, () => s.close()));
    }' "$1"
}
http_port=$(free_port tcp)
udp_port=$(free_port udp)
nmea_port=$(free_port udp)

mkdir -p "$work/config"
cat >"$work/config/settings.json" <<JSON
{
  "vessel": {"uuid": "urn:mrn:signalk:uuid:6b1f3a62-3d0c-4a57-9f10-2f4a8e0d7c11"},
  "interfaces": {},
  "pipedProviders": [
    {"id": "polarctl", "enabled": true,
     "pipeElements": [{"type": "providers/simple",
                       "options": {"logging": false, "type": "SignalK",
                                   "subOptions": {"type": "udp", "port": "$udp_port"}}}]},
    {"id": "polarctl-nmea", "enabled": true,
     "pipeElements": [{"type": "providers/simple",
                       "options": {"logging": false, "type": "NMEA0183",
                                   "subOptions": {"type": "udp", "port": "$nmea_port"}}}]}
  ]
}
JSON

if [ -n "$plugin" ]; then
  mkdir -p "$work/config/node_modules/signalk-polarctl-live" "$work/config/plugin-config-data"
  tar -xzf "$plugin" -C "$work/config/node_modules/signalk-polarctl-live" --strip-components=1
  cat >"$work/config/plugin-config-data/polarctl-live.json" <<JSON
{"enabled": true,
 "configuration": {"polarFile": "$work/POLAR.PPD", "sailPlan": "0", "damping": 0,
                   "program": "$polarctl"}}
JSON
fi

# A sail plan whose polar at 10 kn gives 5.6 kn at 40 degrees; the log beats at 2.8 kn there on
# port tack (the wind from 320 degrees off the bow), heading 300 magnetic.
printf 'Test,\r\n6.00,42.00,\r\n40.00,4.00,90.00,5.80,150.00,4.60,-1\r\n10.00,40.00,\r\n40.00,5.60,90.00,7.20,150.00,6.20,-2' \
  >"$work/POLAR.PPD"
log=$work/log.nmea
checksum() { # checksum BODY: the sentence with its checksum
  node -e 'let x = 0; for (const c of process.argv[1]) x ^= c.charCodeAt(0);
           console.log("$" + process.argv[1] + "*" + x.toString(16).toUpperCase().padStart(2, "0"))' "$1"
}
for second in 00 01 02; do
  checksum "GPZDA,1200$second.00,01,06,2026,00,00"
  checksum "IIHDM,300.0,M"
  checksum "IIVHW,,T,,M,2.80,N,,K"
  checksum "IIMWV,320.0,T,10.00,N,A"
done >"$log"

PORT=$http_port "$server" -c "$work/config" >"$work/server.log" 2>&1 &
server_pid=$!

get() { # get PATH: the body, or nothing when the server does not answer
  node -e 'fetch(process.argv[1]).then(r => r.ok ? r.text() : "").then(t => console.log(t))
             .catch(() => {})' "http://127.0.0.1:$http_port$1"
}

path=/signalk/v1/api/vessels/self/performance/polarSpeedRatio
# Both sources of a path the sentences give too: the server has stored what both sent.
# Whether the plug-in's polarctl has given the path its value.
from_plugin() {
  node -e '
    const p = process.argv[1] ? JSON.parse(process.argv[1]) : {};
    const values = Object.entries(p.values || {});
    process.exit(values.some(([source]) => source.startsWith("polarctl-live")) ? 0 : 1);' "$1"
}
# The log to the server's NMEA 0183 connection, as instruments would send it.
send_log() {
  node -e '
    const socket = require("dgram").createSocket("udp4");
    socket.send(require("fs").readFileSync(process.argv[1]), Number(process.argv[2]), "127.0.0.1",
                () => socket.close());' "$log" "$nmea_port"
}
both_sources() {
  node -e '
    const t = process.argv[1] ? JSON.parse(process.argv[1]) : {};
    const p = t.tackMagnetic;
    process.exit(p && p.values && Object.keys(p.values).length >= 2 ? 0 : 1);' "$1"
}
answer=
for _ in $(seq 1 120); do
  if [ -n "$(get /signalk)" ]; then
    "$polarctl" live "$work/POLAR.PPD" --sail-plan 0 --signalk-udp "localhost:$udp_port" \
      --out-udp "localhost:$nmea_port" --quiet <"$log"
    [ -z "$plugin" ] || send_log
    answer=$(get "$path")
    performance=$(get /signalk/v1/api/vessels/self/performance)
    [ -n "$answer" ] && both_sources "$performance" &&
      { [ -z "$plugin" ] || from_plugin "$answer"; } && break
  fi
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "FAIL: the Signal K server ended; its log:" >&2
    cat "$work/server.log" >&2
    exit 1
  fi
  sleep 0.5
done

if [ -z "$answer" ]; then
  echo "FAIL: $path served nothing within a minute; the server's log:" >&2
  cat "$work/server.log" >&2
  exit 1
fi
node -e '
  const answer = JSON.parse(process.argv[1]);
  const values = answer.values ? Object.entries(answer.values).map(([s, v]) => [s, v.value])
                               : [["", typeof answer === "number" ? answer : answer.value]];
  for (const [source, value] of values) {
    if (Math.abs(value - 0.5) > 1e-4) {
      console.error("FAIL: polarSpeedRatio from " + source + " is " + value + ", not 0.5");
      process.exit(1);
    }
  }
  if (process.argv[2] && !values.some(([source]) => source.startsWith("polarctl-live"))) {
    console.error("FAIL: the plug-in gave no polarSpeedRatio: " + JSON.stringify(answer));
    process.exit(1);
  }
  console.log("the server serves polarSpeedRatio " + JSON.stringify(values));' "$answer" "$plugin"

# The same moment through the deltas and through the server's NMEA 0183 parser: each path both
# give holds the same value from each source, within the sentence's decimals. Angles compare
# as directions (the sentence's 0 to 360 from the bow is the delta's signed angle).
node -e '
  const performance = JSON.parse(process.argv[1]);
  const checks = {
    velocityMadeGood: {tolerance: 0.006},
    targetSpeed: {tolerance: 0.003},
    tackMagnetic: {tolerance: 0.002, angle: true},
    targetAngle: {tolerance: 0.002, angle: true},
  };
  let failed = false;
  for (const [path, check] of Object.entries(checks)) {
    const entry = performance[path] || {};
    const values = Object.entries(entry.values || {}).map(([source, v]) => [source, v.value]);
    if (values.length < 2) {
      console.error("FAIL: performance." + path + " has not both sources: " + JSON.stringify(entry));
      failed = true;
      continue;
    }
    for (const [source, value] of values.slice(1)) {
      let d = value - values[0][1];
      if (check.angle) {
        d = Math.atan2(Math.sin(d), Math.cos(d));
      }
      if (!(Math.abs(d) <= check.tolerance)) {
        console.error("FAIL: performance." + path + ": " + values[0][0] + " stored " + values[0][1] +
                      ", " + source + " stored " + value);
        failed = true;
      }
    }
    console.log("performance." + path + ": " + values.map(([s, v]) => s + " " + v).join(", "));
  }
  if (performance.targetAngle && !(performance.targetAngle.values &&
      Object.values(performance.targetAngle.values).some(v => v.value < 0))) {
    console.error("FAIL: the delta signs the target angle on port tack negative");
    failed = true;
  }
  process.exit(failed ? 1 : 0);' "$performance"
