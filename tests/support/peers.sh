#!/usr/bin/env bash
# Starts and stops the loopback peers the tests talk to (news server, SOCKS
# servers), each on a port of its own on 127.0.0.1. Their state lives in
# build/peers; the tests read the chosen ports from build/peers/ports.env.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
state="$root/build/peers"

case "${1:-}" in
  start)
    mkdir -p "$state"
    : > "$state/ports.env"
    ;;
  stop)
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
