# The demo of scripts/run --demo: a private loopback news server with nym
# traffic for a demo nym, and a data directory of its own (build/demo/data)
# holding the nym's key, its subject line and a news account, so that one
# click on Get Mail fetches mail that the Decrypt command opens.
#
# Sourced by scripts/run after lib/common.sh. Everything is made afresh at
# each start; nothing outside build/demo is touched.

FHR_DEMO_DIR="$FHR_ROOT/build/demo"
FHR_DEMO_DATA="$FHR_DEMO_DIR/data"
FHR_DEMO_PASSPHRASE=demo
FHR_DEMO_SUBJECT="demo subject"
FHR_DEMO_ESUB_PASS="demo esub pass"

# gpg1 on the demo keyrings (named by the gpg.conf that fhr-cli keyrings
# writes); TRUST is the trust model: "pgp" when making keys, because gpg1
# only makes its trust database under that model.
fhr_demo_gpg_with() {  # TRUST ARGS...
  LC_ALL=C gpg1 --homedir "$FHR_DEMO_DATA" --batch --no-tty --quiet --trust-model "$1" "${@:2}"
}
fhr_demo_gpg() { fhr_demo_gpg_with always "$@"; }

fhr_demo_cli() { "$FHR_ROOT/build/bin/fhr-cli" --data-dir "$FHR_DEMO_DATA" "$@"; }

fhr_demo_peers() { FHR_PEERS_DIR="$FHR_DEMO_DIR/peers" "$FHR_ROOT/tests/support/peers.sh" "$@"; }

# The demo nym's key (with the passphrase "demo") and its nymserver's
# signing key, on keyrings in the demo data directory.
fhr_demo_keys() {
  fhr_demo_gpg_with pgp --gen-key <<KEY
Key-Type: RSA
Key-Length: 1024
Subkey-Type: RSA
Subkey-Length: 1024
Name-Real: demo
Name-Email: demo@nym.example
Passphrase: $FHR_DEMO_PASSPHRASE
Expire-Date: 0
%commit
Key-Type: RSA
Key-Length: 1024
Key-Usage: sign
Name-Real: nymserver
Name-Email: config@nym.example
Expire-Date: 0
%commit
KEY
}

# One nym message, as a nymserver posts it: signed by the nymserver,
# encrypted to the nym, tagged with a fresh ESUB of the demo subject line.
fhr_demo_article() {  # NUMBER
  local tag body
  tag=$(printf '%s\n' "$FHR_DEMO_ESUB_PASS" | "$FHR_ROOT/build/bin/fhr-cli" tag esub "$FHR_DEMO_SUBJECT")
  body=$(printf 'From: A Friend <friend@example.org>\nTo: demo@nym.example\nSubject: Demo message %s\n\nHello demo nym,\n\nthis is demo message %s, sent to you through the nymserver.\n' "$1" "$1" |
    fhr_demo_gpg --armor --local-user config@nym.example --recipient demo@nym.example --sign --encrypt)
  printf 'Path: nym.example!not-for-mail\nFrom: Nobody <nobody@nym.example>\nNewsgroups: alt.anonymous.messages\nSubject: %s\nMessage-ID: <demo.%s.%s@nym.example>\nDate: %s\n\n%s\n' \
    "$tag" "$(date +%s%N)" "$1" "$(LC_ALL=C date -u '+%a, %d %b %Y %H:%M:%S GMT')" "$body"
}

fhr_demo_traffic() {
  local i article
  for i in 1 2 3; do
    fhr_demo_peers inject 40 >/dev/null
    article=$(fhr_demo_article "$i")
    printf '#! rnews %d\n%s\n' "$(($(printf '%s\n' "$article" | wc -c)))" "$article" | fhr_demo_peers inject -
  done
  fhr_demo_peers inject 40 >/dev/null
}

fhr_demo_prepare() {
  fhr_ensure_packages "${FHR_TEST_PACKAGES[@]}"
  fhr_demo_peers stop >/dev/null 2>&1 || true
  rm -rf "$FHR_DEMO_DIR"
  mkdir -p "$FHR_DEMO_DATA"
  chmod 700 "$FHR_DEMO_DATA"
  fhr_log "starting the demo news server"
  fhr_demo_peers start >"$FHR_DEMO_DIR/peers.log" 2>&1 || { cat "$FHR_DEMO_DIR/peers.log" >&2; return 1; }
  # shellcheck disable=SC1091
  . "$FHR_DEMO_DIR/peers/ports.env"
  fhr_log "making the demo nym's key, subject line and account"
  fhr_demo_keys 2>"$FHR_DEMO_DIR/keys.log" || { cat "$FHR_DEMO_DIR/keys.log" >&2; return 1; }
  fhr_demo_cli keyrings --secret "$FHR_DEMO_DATA/secring.gpg" --public "$FHR_DEMO_DATA/pubring.gpg" >/dev/null
  local keyid
  keyid=0x$(fhr_demo_gpg --with-colons --list-keys demo@nym.example | awk -F: '$1 == "pub" { print substr($5, 9); exit }')
  printf '%s\n%s\n' "$FHR_DEMO_SUBJECT" "$FHR_DEMO_ESUB_PASS" | fhr_demo_cli subject add --esub --keyid "$keyid" >/dev/null
  fhr_demo_cli account add demo --host 127.0.0.1 --port "$NNTP_ANON_PORT" --lastarticle 0 >/dev/null
  fhr_demo_cli account use demo >/dev/null
  fhr_log "posting nym traffic: 3 messages for the demo nym among 160 others"
  fhr_demo_traffic
  fhr_log "demo ready: press Get Mail, select a message and press Decrypt; the passphrase is '$FHR_DEMO_PASSPHRASE'"
}
