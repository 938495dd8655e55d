/* libhidtag32: IDEA-form encrypted subjects. See hidtag32.h. */
#define _GNU_SOURCE
#include "subjecttags/hidtag32.h"

#include <errno.h>
#include <pthread.h>
#include <string.h>
#include <sys/random.h>

#include <gcrypt.h>

enum {
  kDigestBytes = 16,
  kRandomBytes = 8,
  kTagBytes = kRandomBytes + kDigestBytes,
  kTagChars = 2 * kTagBytes,
};

static pthread_once_t gcrypt_once = PTHREAD_ONCE_INIT;
static int gcrypt_ready;

/* libgcrypt must be initialised once per process. A program that uses it
   itself has done so already; otherwise the library does it, without secure
   memory (nothing here asks for it, and its warnings would reach the
   program's terminal). */
static void InitGcrypt(void) {
  if (gcry_control(GCRYCTL_INITIALIZATION_FINISHED_P)) {
    gcrypt_ready = 1;
    return;
  }
  if (!gcry_check_version(GCRYPT_VERSION)) return;
  gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
  gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  gcrypt_ready = 1;
}

static int GcryptReady(void) {
  pthread_once(&gcrypt_once, InitGcrypt);
  return gcrypt_ready;
}

static void Md5(const char* text, unsigned char digest[kDigestBytes]) {
  gcry_md_hash_buffer(GCRY_MD_MD5, digest, text, strlen(text));
}

/* Two lowercase digits per byte, most significant first, then a zero byte. */
static void WriteHex(const unsigned char* bytes, size_t count, char* out) {
  static const char digits[] = "0123456789abcdef";
  for (size_t i = 0; i < count; ++i) {
    out[2 * i] = digits[bytes[i] >> 4];
    out[2 * i + 1] = digits[bytes[i] & 15];
  }
  out[2 * count] = '\0';
}

/* Digit value plus one by byte, 0 for bytes that are not hexadecimal
   digits. A table, because candidates are random text and branching on
   each character would cost more than the cipher. */
static const unsigned char kHexValuesPlusOne[256] = {
    ['0'] = 1,  ['1'] = 2,  ['2'] = 3,  ['3'] = 4,  ['4'] = 5,  ['5'] = 6,  ['6'] = 7,  ['7'] = 8,
    ['8'] = 9,  ['9'] = 10, ['a'] = 11, ['b'] = 12, ['c'] = 13, ['d'] = 14, ['e'] = 15, ['f'] = 16,
    ['A'] = 11, ['B'] = 12, ['C'] = 13, ['D'] = 14, ['E'] = 15, ['F'] = 16,
};

static int HexDigit(char c) { return kHexValuesPlusOne[(unsigned char)c] - 1; }

/* Each pair is a number of at most two hexadecimal digits in either case;
   reading a pair stops at its first other character, so "g1" gives 0 and
   "1g" gives 1. Malformed text is not an error: it just decodes to bytes
   that will not match. */
static void ReadHexLeniently(const char* text, unsigned char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    unsigned value = 0;
    for (size_t j = 0; j < 2; ++j) {
      int digit = HexDigit(text[2 * i + j]);
      if (digit < 0) break;
      value = value * 16 + (unsigned)digit;
    }
    bytes[i] = (unsigned char)value;
  }
}

/* IDEA in CFB mode with 64-bit feedback from a zero block, in place. The
   cipher handle's key schedule is wiped when it is closed. */
static int IdeaCfb(const unsigned char key[kDigestBytes], unsigned char* data, size_t size, int encrypt) {
  gcry_cipher_hd_t cipher;
  if (gcry_cipher_open(&cipher, GCRY_CIPHER_IDEA, GCRY_CIPHER_MODE_CFB, 0)) return -1;
  gcry_error_t err = gcry_cipher_setkey(cipher, key, kDigestBytes);
  if (!err) {
    err = encrypt ? gcry_cipher_encrypt(cipher, data, size, NULL, 0) : gcry_cipher_decrypt(cipher, data, size, NULL, 0);
  }
  gcry_cipher_close(cipher);
  return err ? -1 : 0;
}

static int FillRandom(unsigned char* bytes, size_t count) {
  size_t done = 0;
  while (done < count) {
    ssize_t got = getrandom(bytes + done, count - done, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    done += (size_t)got;
  }
  return 0;
}

HIDTAG32_API int htEncryptSubject(const char* subject, const char* passphrase, char* esub) {
  if (!subject || !passphrase || !esub || !*subject || !*passphrase || !GcryptReady()) return -1;
  unsigned char key[kDigestBytes];
  unsigned char tag[kTagBytes];
  int result = FillRandom(tag, kRandomBytes);
  if (result == 0) {
    Md5(passphrase, key);
    Md5(subject, tag + kRandomBytes);
    result = IdeaCfb(key, tag, kTagBytes, 1);
  }
  if (result == 0) WriteHex(tag, kTagBytes, esub);
  explicit_bzero(key, sizeof key);
  explicit_bzero(tag, sizeof tag);
  return result;
}

HIDTAG32_API int htTestSubject(const char* esub, const char* subject, const char* passphrase) {
  if (!esub || !subject || !passphrase || !*subject || !*passphrase) return -1;
  if (strlen(esub) != kTagChars || !GcryptReady()) return -1;
  unsigned char key[kDigestBytes];
  unsigned char digest[kDigestBytes];
  unsigned char tag[kTagBytes];
  char expected[2 * kDigestBytes + 1];
  char decrypted[2 * kDigestBytes + 1];
  Md5(passphrase, key);
  Md5(subject, digest);
  WriteHex(digest, kDigestBytes, expected);
  ReadHexLeniently(esub, tag, kTagBytes);
  int result = IdeaCfb(key, tag, kTagBytes, 0);
  if (result == 0) {
    /* The first 8 bytes are the random start and say nothing. */
    WriteHex(tag + kRandomBytes, kDigestBytes, decrypted);
    int order = strcmp(expected, decrypted);
    result = order == 0 ? 0 : (order < 0 ? -1 : 1);
  }
  explicit_bzero(key, sizeof key);
  explicit_bzero(tag, sizeof tag);
  explicit_bzero(decrypted, sizeof decrypted);
  return result;
}

HIDTAG32_API int htMD5Hash(const char* text, char* hex) {
  if (!text || !hex || !GcryptReady()) return -1;
  unsigned char digest[kDigestBytes];
  Md5(text, digest);
  WriteHex(digest, kDigestBytes, hex);
  return 0;
}

HIDTAG32_API int hidtag32DLLVersion(char* version) {
  if (!version) return -1;
  memcpy(version, "1.0.0", 6);
  return 0;
}
