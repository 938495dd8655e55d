#!/usr/bin/env bash
# Starts and stops the loopback peers the tests talk to (news server, SOCKS
# servers), each on a port of its own on 127.0.0.1. Their state lives in
# build/peers; the tests read the chosen ports from build/peers/ports.env.
#
#   peers.sh start            start every peer; fails loudly when one does not come up
#   peers.sh stop             stop them (also after a half-finished start)
#   peers.sh inject COUNT     post COUNT noise articles (random hex subjects)
#   peers.sh inject -         post an rnews batch read from stdin
#   peers.sh newgroup NAME    create another group, empty (articles from 1)
#
# Peers (all on 127.0.0.1, ports chosen free at start):
#   INN 2: innd (injection), and nnrpd readers: plain + STARTTLS with AUTHINFO
#   required; plain + STARTTLS without auth; one whose STARTTLS is refused
#   (no certificate, answers 580); one that greets 502; implicit TLS with
#   AUTHINFO. Certificates are made with openssl on the spot.
#   SOCKS: dante (4 and 5 open; 5 with user/password against a system
#   account), microsocks (5 open; 5 with user/password), ssh -D into a private
#   sshd (4, 4A, 5), and an offline Tor that answers on its SOCKS port only.
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
state="${FHR_PEERS_DIR:-$root/build/peers}"
inn="$state/inn" run="$state/run"
bin=/usr/lib/news/bin
group=alt.anonymous.messages empty_group=alt.test.empty
news_user=testuser news_pass=testpass
socks_user=fhrsocks socks_pass=sockspass micro_user=msuser micro_pass=mspass

as_news() { runuser -u news -- env INNCONF="$inn/etc/$1" "${@:2}"; }
port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
wait_port() {  # PORT NAME
  local n
  for n in $(seq 100); do port_open "$1" && return 0; sleep 0.1; done
  echo "peers: $2 did not come up on 127.0.0.1:$1 (logs in $state)" >&2
  return 1
}

# Ports the kernel hands out for port 0 are free at that moment; all are held
# open together so that no two are the same.
free_ports() {
  python3 - "$1" <<'EOF'
import socket, sys
held = []
for _ in range(int(sys.argv[1])):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    held.append(s)
print(" ".join(str(s.getsockname()[1]) for s in held))
EOF
}

write_inn_conf() {  # NAME WITH_CERT(1/0)
  grep -vE '^(path[a-z]+|port|domain|artcutoff|pathhost|organization|mta|tls[a-z]*|bindaddress6?|nnrpdpostport|doinnwatch):' \
    /etc/news/inn.conf >"$inn/etc/$1"
  cat >>"$inn/etc/$1" <<EOF
pathhost: test.invalid
domain: test.invalid
organization: "loopback test server"
mta: "/bin/true %s"
port: $FEED
bindaddress: 127.0.0.1
nnrpdpostport: $FEED
doinnwatch: false
artcutoff: 0
pathnews: /usr/lib/news
pathbin: $bin
pathcontrol: $bin/control
pathfilter: /etc/news/filter
pathetc: $inn/etc
pathdb: $inn/db
pathlog: $inn/log
pathrun: $inn/run
pathhttp: $inn/log
pathspool: $inn/spool
patharticles: $inn/spool/articles
pathoverview: $inn/spool/overview
pathincoming: $inn/spool/incoming
pathtmp: $inn/spool/incoming/tmp
pathoutgoing: $inn/spool/outgoing
patharchive: $inn/spool/archive
EOF
  [ "$2" = 1 ] && cat >>"$inn/etc/$1" <<EOF
tlscapath: $inn/etc
tlscertfile: $inn/etc/cert.pem
tlskeyfile: $inn/etc/key.pem
tlsprotocols: [ TLSv1.2 TLSv1.3 ]
EOF
  # Without a usable certificate nnrpd still offers STARTTLS, then refuses it (580).
  [ "$2" = 0 ] && printf 'tlscertfile: %s\ntlskeyfile: %s\n' "$inn/etc/no-cert.pem" "$inn/etc/no-key.pem" >>"$inn/etc/$1"
  return 0
}

setup_inn() {
  mkdir -p "$inn"/{etc,db,log,run,spool/{articles,overview,incoming/tmp,outgoing,archive}}
  cp -r /etc/news/. "$inn/etc/"
  write_inn_conf inn.conf 1
  write_inn_conf inn-nocert.conf 0
  printf 'streaming: true\npeer ME { hostname: "localhost, 127.0.0.1, ::1" }\n' >"$inn/etc/incoming.conf"
  printf 'ME:!*/!local::\n' >"$inn/etc/newsfeeds"
  printf '%s 0000000000 0000000001 %s\n' control n control.cancel n junk n "$group" y "$empty_group" y >"$inn/db/active"
  printf '%s\tTest group.\n%s\tEmpty test group.\n' "$group" "$empty_group" >"$inn/db/newsgroups"
  : >"$inn/db/active.times"; : >"$inn/db/history"
  echo "$news_user:$(openssl passwd -6 "$news_pass")" >"$inn/etc/newsusers"
  cat >"$inn/etc/readers.conf" <<EOF
auth "users" { hosts: "*"  auth: "ckpasswd -f $inn/etc/newsusers" }
access "users" { users: "$news_user"  newsgroups: "*"  access: RPA }
EOF
  cat >"$inn/etc/readers-anon.conf" <<EOF
auth "anon" { hosts: "*"  default: "<anon>" }
access "anon" { users: "<anon>"  newsgroups: "*"  access: RPA }
EOF
  printf 'auth "none" { hosts: "192.0.2.1"  default: "<x>" }\naccess "none" { users: "<x>"  newsgroups: "*"  access: R }\n' \
    >"$inn/etc/readers-deny.conf"
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj /CN=localhost \
    -keyout "$inn/etc/key.pem" -out "$inn/etc/cert.pem" 2>/dev/null
  chmod 600 "$inn/etc/key.pem"; chown -R news:news "$inn"
  (cd "$inn/db" && as_news inn.conf "$bin/makedbz" -i -o)
}

dante_conf() {  # PORT METHOD
  cat <<EOF
logoutput: $state/socks/danted-$1.log
internal: 127.0.0.1 port = $1
external: 127.0.0.1
socksmethod: $2
user.privileged: root
user.unprivileged: nobody
client pass {
  from: 127.0.0.0/8 to: 0.0.0.0/0
}
socks pass {
  from: 127.0.0.0/8 to: 127.0.0.0/8
  command: connect
  log: connect error
}
EOF
}

start_socks() {
  id "$socks_user" >/dev/null 2>&1 || useradd -r -M -s /usr/sbin/nologin "$socks_user"
  echo "$socks_user:$socks_pass" | chpasswd
  dante_conf "$DANTE" none >"$state/socks/danted-open.conf"
  dante_conf "$DANTE_AUTH" username >"$state/socks/danted-auth.conf"
  danted -D -f "$state/socks/danted-open.conf" -p "$run/danted-open.pid"
  danted -D -f "$state/socks/danted-auth.conf" -p "$run/danted-auth.pid"
  setsid microsocks -i 127.0.0.1 -p "$MICRO" >"$state/socks/microsocks.log" 2>&1 </dev/null &
  echo $! >"$run/microsocks-open.pid"
  setsid microsocks -i 127.0.0.1 -p "$MICRO_AUTH" -u "$micro_user" -P "$micro_pass" \
    >>"$state/socks/microsocks.log" 2>&1 </dev/null &
  echo $! >"$run/microsocks-auth.pid"
}

start_ssh_socks() {
  local d="$state/ssh"
  ssh-keygen -q -t ed25519 -N '' -f "$d/hostkey"; ssh-keygen -q -t ed25519 -N '' -f "$d/userkey"
  cp "$d/userkey.pub" "$d/authorized_keys"
  cat >"$d/sshd_config" <<EOF
ListenAddress 127.0.0.1:$SSHD
HostKey $d/hostkey
PidFile $run/sshd.pid
AuthorizedKeysFile $d/authorized_keys
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
PermitRootLogin prohibit-password
StrictModes no
AllowTcpForwarding yes
EOF
  mkdir -p /run/sshd
  /usr/sbin/sshd -f "$d/sshd_config" -E "$d/sshd.log"
  wait_port "$SSHD" sshd
  setsid ssh -N -D "127.0.0.1:$SSH_SOCKS" -p "$SSHD" -i "$d/userkey" -o BatchMode=yes \
    -o ExitOnForwardFailure=yes -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null \
    -o LogLevel=ERROR root@127.0.0.1 >"$d/ssh-D.log" 2>&1 </dev/null &
  echo $! >"$run/ssh-socks.pid"
}

# Tor as a bare SOCKS listener: DisableNetwork would close the SocksPort too,
# so its only directory authority is a loopback port nobody listens on; no
# connection leaves 127.0.0.1.
start_tor() {
  local d="$state/tor"
  mkdir -p "$d/data"; chmod 700 "$d/data"
  cat >"$d/torrc" <<EOF
DataDirectory $d/data
SocksPort 127.0.0.1:$TOR
SocksPolicy accept 127.0.0.0/8
SocksTimeout 10
Log notice file $d/tor.log
PidFile $run/tor.pid
RunAsDaemon 1
DirAuthority fake orport=$TOR_DEAD_OR no-v2 v3ident=0000000000000000000000000000000000000000 127.0.0.1:$TOR_DEAD_DIR 0000000000000000000000000000000000000000
UseDefaultFallbackDirs 0
ClientUseIPv6 0
EOF
  tor -f "$d/torrc" --quiet
}

start() {
  stop >/dev/null 2>&1 || true
  # A peer that fails to start stops the others and fails loudly.
  trap 'echo "peers: start failed (logs in $state); stopping the peers that had started" >&2; trap - ERR; stop >/dev/null 2>&1 || true; exit 1' ERR
  rm -rf "$state"; mkdir -p "$state" "$run" "$state/socks" "$state/ssh"
  read -r FEED NNTP NNTP_ANON NNTP_NOCERT NNTP_DENY NNTPS DANTE DANTE_AUTH MICRO MICRO_AUTH \
    SSH_SOCKS SSHD TOR TOR_DEAD_OR TOR_DEAD_DIR REFUSED < <(free_ports 16)
  setup_inn
  # innd stores and indexes; each nnrpd is one reader kind. INN will not run as root.
  as_news inn.conf "$bin/innd"
  as_news inn.conf "$bin/nnrpd" -D -b 127.0.0.1 -p "$NNTP"
  as_news inn.conf "$bin/nnrpd" -D -b 127.0.0.1 -p "$NNTP_ANON" -c readers-anon.conf
  as_news inn-nocert.conf "$bin/nnrpd" -D -b 127.0.0.1 -p "$NNTP_NOCERT" -c readers-anon.conf
  as_news inn.conf "$bin/nnrpd" -D -b 127.0.0.1 -p "$NNTP_DENY" -c readers-deny.conf
  as_news inn.conf "$bin/nnrpd" -D -b 127.0.0.1 -p "$NNTPS" -S
  start_socks
  start_ssh_socks
  start_tor
  local p
  for p in FEED NNTP NNTP_ANON NNTP_NOCERT NNTP_DENY NNTPS DANTE DANTE_AUTH MICRO MICRO_AUTH SSH_SOCKS TOR; do
    wait_port "${!p}" "$p"
  done
  cat >"$state/ports.env" <<EOF
NNTP_FEED_PORT=$FEED
NNTP_PORT=$NNTP
NNTP_ANON_PORT=$NNTP_ANON
NNTP_NOCERT_PORT=$NNTP_NOCERT
NNTP_DENY_PORT=$NNTP_DENY
NNTPS_PORT=$NNTPS
NEWS_USER=$news_user
NEWS_PASS=$news_pass
NEWS_GROUP=$group
NEWS_EMPTY_GROUP=$empty_group
DANTE_PORT=$DANTE
DANTE_AUTH_PORT=$DANTE_AUTH
MICROSOCKS_PORT=$MICRO
MICROSOCKS_AUTH_PORT=$MICRO_AUTH
SSH_SOCKS_PORT=$SSH_SOCKS
TOR_SOCKS_PORT=$TOR
REFUSED_PORT=$REFUSED
SOCKS_USER=$socks_user
SOCKS_PASS=$socks_pass
MICRO_USER=$micro_user
MICRO_PASS=$micro_pass
EOF
  trap - ERR
  echo "peers ready: $state/ports.env"
}

# Stops only the processes this state directory started, by their pid files.
stop() {
  local f pid n
  rm -f "$state/ports.env"
  [ -f "$inn/etc/inn.conf" ] && as_news inn.conf "$bin/ctlinnd" -t 5 shutdown peers >/dev/null 2>&1 || true
  for f in "$run"/*.pid "$inn"/run/*.pid; do
    [ -f "$f" ] || continue
    pid=$(cat "$f")
    case "$(cat "/proc/$pid/comm" 2>/dev/null)" in
      innd|nnrpd|danted|microsocks|sshd|ssh|tor) ;;
      *) rm -f "$f"; continue ;;
    esac
    kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null || true
    for n in $(seq 50); do [[ "$(ps -o stat= -p "$pid")" == [^Z]* ]] || break; sleep 0.1; done
    kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
    rm -f "$f"
  done
  echo "peers stopped"
}

# Noise: articles whose subjects are random hex, as most of the group's
# traffic is. "-" posts an rnews batch ("#! rnews LEN" + article) from stdin.
inject() {
  local n=${1:-100}
  [ -f "$state/ports.env" ] || { echo "peers: not running" >&2; return 1; }
  # shellcheck disable=SC1091
  . "$state/ports.env"
  if [ "$n" = - ]; then
    as_news inn.conf "$bin/rnews" -r 127.0.0.1 -P "$NNTP_FEED_PORT"
    return
  fi
  awk -v n="$n" -v g="$group" -v s="$(date +%s%N)" -v seed="$RANDOM$RANDOM" 'BEGIN {
    srand(seed)
    for (i = 1; i <= n; i++) {
      subj = ""
      for (k = 0; k < 48; k++) subj = subj sprintf("%x", int(rand() * 16))
      a = sprintf("Path: test.invalid!not-for-mail\nFrom: nobody@test.invalid\nNewsgroups: %s\nSubject: %s\nMessage-ID: <%s.%d@test.invalid>\nDate: Thu, 01 Jan 2026 00:00:00 GMT\n\nnoise %d\n", g, subj, s, i, i)
      printf "#! rnews %d\n%s", length(a), a
    } }' | as_news inn.conf "$bin/rnews" -r 127.0.0.1 -P "$NNTP_FEED_PORT"
}

# A group of a test's own, so that its article numbers start at 1 whatever
# other tests post meanwhile.
newgroup() {
  [ -f "$state/ports.env" ] || { echo "peers: not running" >&2; return 1; }
  as_news inn.conf "$bin/ctlinnd" -s newgroup "$1" y
}

case "${1:-}" in
  start) start ;;
  newgroup) newgroup "$2" ;;
  stop) stop ;;
  inject) shift; inject "$@" ;;
  *) echo "usage: $0 start|stop|inject COUNT|-|newgroup NAME" >&2; exit 2 ;;
esac
