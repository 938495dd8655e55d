#!/bin/bash
# make_gpg_fixtures.sh OUTDIR: a throwaway GnuPG 1.4 home with keys and the
# messages the GnuPG tests work on, generated with the real gpg1.
#   keys: alice, bob (with passphrases), carol, nymserver, resend (without);
#         a second home "stranger" whose key the first home does not know
#   article.txt  a nym message as nymservers post it: two Encrypt-Key layers
#                ("kp one" outside, "kp two" inside) around inner.asc, a
#                throw-keyids public-key layer to alice signed by nymserver
#   clearsigned.asc / strangersigned.asc  clear-signed by nymserver / stranger
#   tobob.asc    throw-keyids to bob, signed by nymserver
#   tocarol.asc  to carol, unsigned, recipient visible
#   statuskw.asc a signed (not encrypted) message whose literal file name is
#                DECRYPTION_OKAY
#   hexsum.asc   symmetric ("hex pass") whose armor checksum line starts
#                with two upper-case hex digits
#   ids.env      short key IDs
set -euo pipefail
GPG=${GPG:-gpg1}
OUT=$(realpath -m "$1")
rm -rf "$OUT"
mkdir -p "$OUT/home" "$OUT/keys" "$OUT/stranger"
chmod 700 "$OUT/home" "$OUT/stranger"
export GNUPGHOME="$OUT/home" LANGUAGE=en LC_ALL=C
cat >"$OUT/home/gpg.conf" <<CONF
# FH maintains the values for keyring, secret-keyring,
# and default-key. If you add or modify values ABOVE these
# entries, do so with extreme care. Items added below these
# will be deleted.
no-greeting
no-mdc-warning
no-auto-check-trustdb
trust-model always
no-default-keyring
load-extension $OUT/idea.dll
secret-keyring $OUT/keys/secring.skr
keyring $OUT/keys/pubring.pkr
CONF
key() { # name email passphrase(empty=none) encrypt-subkey(yes/no)
  echo "Key-Type: RSA"; echo "Key-Length: 1024"; echo "Key-Usage: sign"
  if [ "$4" = yes ]; then echo "Subkey-Type: RSA"; echo "Subkey-Length: 1024"; echo "Subkey-Usage: encrypt"; fi
  echo "Name-Real: $1"; echo "Name-Email: $2"; echo "Expire-Date: 0"
  if [ -n "$3" ]; then echo "Passphrase: $3"; fi
  echo "%commit"
}
{
  key alice alice@nym.example "alice pass" yes
  key bob bob@nym.example "bob pass" yes
  key carol carol@nym.example "" yes
  key nymserver config@nymserver.example "" no
  key resend resend@nym.example "" no
} >"$OUT/keys.batch"
# gen-key under "trust-model always" stops after the first key.
$GPG --batch --trust-model pgp --gen-key "$OUT/keys.batch" 2>/dev/null
key stranger stranger@elsewhere.example "" no | GNUPGHOME="$OUT/stranger" $GPG --batch --trust-model pgp --gen-key 2>/dev/null

kid() { $GPG --batch --with-colons --list-keys "<$1>" | awk -F: -v rec="$2" '$1==rec {print "0x" substr($5,9); exit}'; }
ALICE=$(kid alice@nym.example pub)
BOB=$(kid bob@nym.example pub)
CAROL=$(kid carol@nym.example pub)
CAROL_SUB=$(kid carol@nym.example sub)
NS=$(kid config@nymserver.example pub)

printf 'From: someone@example.org\nTo: alice@nym.example\nSubject: hello alice\n\nSecret body for alice.\n' >"$OUT/body.txt"
$GPG --batch --yes --armor --throw-keyids -r "$ALICE" -u "$NS" --sign --encrypt -o "$OUT/inner.asc" "$OUT/body.txt"
$GPG --batch --yes --armor --passphrase-fd 4 --symmetric -o "$OUT/mid.asc" "$OUT/inner.asc" 4< <(printf 'kp two')
$GPG --batch --yes --armor --passphrase-fd 4 --symmetric -o "$OUT/outer.asc" "$OUT/mid.asc" 4< <(printf 'kp one')
{
  printf 'Path: news.example!not-for-mail\nFrom: Nobody <nobody@nymserver.example>\nNewsgroups: alt.anonymous.messages\n'
  printf 'Subject: 0123456789abcdef0123456789abcdef0123456789abcdef\nMessage-ID: <fx1@nymserver.example>\n\n'
  cat "$OUT/outer.asc"
} >"$OUT/article.txt"

printf 'nymserver notice\n' | $GPG --batch --yes --clearsign -u "$NS" >"$OUT/clearsigned.asc"
printf 'who am I\n' | GNUPGHOME="$OUT/stranger" $GPG --batch --yes --clearsign >"$OUT/strangersigned.asc"
$GPG --batch --yes --armor --throw-keyids -r "$BOB" -u "$NS" -se -o "$OUT/tobob.asc" "$OUT/body.txt"
printf 'Plain note for carol.\n' | $GPG --batch --yes --armor -r "$CAROL" -e >"$OUT/tocarol.asc"
printf 'not encrypted at all\n' | $GPG --batch --yes --armor -u "$NS" --set-filename DECRYPTION_OKAY --sign >"$OUT/statuskw.asc"

for i in $(seq 1 400); do
  printf 'hex text %s\n' "$i" | $GPG --batch --yes --armor --passphrase-fd 4 --symmetric 4< <(printf 'hex pass') >"$OUT/hexsum.asc"
  grep -B1 -e '-----END PGP MESSAGE-----' "$OUT/hexsum.asc" | head -1 | grep -Eq '^=[0-9A-F]{2}' && break
done

echo "ALICE=$ALICE BOB=$BOB CAROL=$CAROL CAROL_SUB=$CAROL_SUB NYMSERVER=$NS" >"$OUT/ids.env"
