#!/bin/bash
# make_decrypt_fixtures.sh KEYSDIR OUTDIR: nym messages for the decryption
# workflow, made with the real gpg1 from a copy of the keyrings that
# make_gpg_fixtures.sh left in KEYSDIR (alice, bob, carol, the nymserver of
# nymserver.example, resend), plus one more key: the nymserver of the nyms'
# own domain, "config@nym.example" (no passphrase, sign only).
#   onelayer.txt    article: Encrypt-Key layer "kp one" around a message to
#                   alice (recipient visible) signed by config@nym.example
#   twolayers.txt   article: layers "kp one" (outer), "kp two" around a
#                   throw-keyids message to alice signed by config@nym.example
#   tobob.txt       to bob (recipient visible), signed by config@nym.example
#   tobobhidden.txt throw-keyids to bob, signed by config@nym.example
#   tocarolhidden.txt throw-keyids to carol (key without passphrase), signed
#   unsigned.txt    to alice, not signed
#   othersigned.txt to alice, signed by config@nymserver.example (a good
#                   signature, but not by the nyms' nymserver)
#   unknownsigned.txt to alice, signed by a key the keyring does not hold
#   forgedinside.txt to alice, unsigned, its plaintext starting with a forged
#                   verification block naming config@nym.example
#   ids.env         NYMSERVER2 (the new key) and the ids of make_gpg_fixtures
set -euo pipefail
GPG=${GPG:-gpg1}
KEYS=$(realpath "$1")
OUT=$(realpath -m "$2")
rm -rf "$OUT"
mkdir -p "$OUT/home" "$OUT/keys" "$OUT/stranger"
chmod 700 "$OUT/home" "$OUT/stranger"
cp "$KEYS/keys/secring.skr" "$KEYS/keys/pubring.pkr" "$OUT/keys/"
export GNUPGHOME="$OUT/home" LANGUAGE=en LC_ALL=C
sed -e "s|$KEYS/keys/|$OUT/keys/|" "$KEYS/home/gpg.conf" >"$OUT/home/gpg.conf"

printf 'Key-Type: RSA\nKey-Length: 1024\nKey-Usage: sign\nName-Real: nymserver2\nName-Email: config@nym.example\nExpire-Date: 0\n%%commit\n' |
  $GPG --batch --trust-model pgp --gen-key 2>/dev/null
printf 'Key-Type: RSA\nKey-Length: 1024\nKey-Usage: sign\nName-Real: stranger\nName-Email: stranger@elsewhere.example\nExpire-Date: 0\n%%commit\n' |
  GNUPGHOME="$OUT/stranger" $GPG --batch --trust-model pgp --gen-key 2>/dev/null

kid() { $GPG --batch --with-colons --list-keys "<$1>" | awk -F: '$1=="pub" {print "0x" substr($5,9); exit}'; }
ALICE=$(kid alice@nym.example)
BOB=$(kid bob@nym.example)
CAROL=$(kid carol@nym.example)
NS1=$(kid config@nymserver.example)
NS2=$(kid config@nym.example)
$GPG --batch --export "$ALICE" | GNUPGHOME="$OUT/stranger" $GPG --batch --import 2>/dev/null

article() { # name message-file
  {
    printf 'Path: news.example!not-for-mail\nFrom: Nobody <nobody@nym.example>\nNewsgroups: alt.anonymous.messages\n'
    printf 'Subject: 0123456789abcdef0123456789abcdef0123456789abcdef\nMessage-ID: <%s@nym.example>\n\n' "$1"
    cat "$2"
  } >"$OUT/$1.txt"
}
sym() { # in out password
  $GPG --batch --yes --armor --passphrase-fd 4 --symmetric -o "$2" "$1" 4< <(printf '%s' "$3")
}
body() { printf 'From: sender@example.org\nTo: %s\nSubject: hello %s\n\nSecret body for %s.\n' "$1" "$1" "$1"; }

body alice >"$OUT/alice.body"
body bob >"$OUT/bob.body"
body carol >"$OUT/carol.body"
$GPG --batch --yes --armor -r "$ALICE" -u "$NS2" -se -o "$OUT/alice.asc" "$OUT/alice.body"
sym "$OUT/alice.asc" "$OUT/alice1.asc" 'kp one'
article onelayer "$OUT/alice1.asc"
$GPG --batch --yes --armor --throw-keyids -r "$ALICE" -u "$NS2" -se -o "$OUT/alicehidden.asc" "$OUT/alice.body"
sym "$OUT/alicehidden.asc" "$OUT/alicemid.asc" 'kp two'
sym "$OUT/alicemid.asc" "$OUT/aliceouter.asc" 'kp one'
article twolayers "$OUT/aliceouter.asc"
$GPG --batch --yes --armor -r "$BOB" -u "$NS2" -se -o "$OUT/bob.asc" "$OUT/bob.body"
article tobob "$OUT/bob.asc"
$GPG --batch --yes --armor --throw-keyids -r "$BOB" -u "$NS2" -se -o "$OUT/bobhidden.asc" "$OUT/bob.body"
article tobobhidden "$OUT/bobhidden.asc"
$GPG --batch --yes --armor --throw-keyids -r "$CAROL" -u "$NS2" -se -o "$OUT/carolhidden.asc" "$OUT/carol.body"
article tocarolhidden "$OUT/carolhidden.asc"
$GPG --batch --yes --armor -r "$ALICE" -e -o "$OUT/unsigned.asc" "$OUT/alice.body"
article unsigned "$OUT/unsigned.asc"
$GPG --batch --yes --armor -r "$ALICE" -u "$NS1" -se -o "$OUT/other.asc" "$OUT/alice.body"
article othersigned "$OUT/other.asc"
GNUPGHOME="$OUT/stranger" $GPG --batch --yes --trust-model always --armor -r "$ALICE" -se -o "$OUT/unknown.asc" \
  "$OUT/alice.body"
article unknownsigned "$OUT/unknown.asc"
{
  printf '*** PGP SIGNATURE VERIFICATION ***\n'
  printf '*** Signature made Mon Jan  1 00:00:00 2024 UTC using RSA key ID %s\n' "${NS2#0x}"
  printf '*** Good signature from "nymserver2 <config@nym.example>"\n*** Verified 01/01/24 00:00:00\n'
  cat "$OUT/alice.body"
} >"$OUT/forged.body"
$GPG --batch --yes --armor -r "$ALICE" -e -o "$OUT/forged.asc" "$OUT/forged.body"
article forgedinside "$OUT/forged.asc"

echo "ALICE=$ALICE BOB=$BOB CAROL=$CAROL NYMSERVER=$NS1 NYMSERVER2=$NS2" >"$OUT/ids.env"
