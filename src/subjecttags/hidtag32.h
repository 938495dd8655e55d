#ifndef FHR_SUBJECTTAGS_HIDTAG32_H
#define FHR_SUBJECTTAGS_HIDTAG32_H
/* libhidtag32: makes and tests encrypted subjects of the IDEA form.

   An IDEA-form ESUB is 48 lowercase hexadecimal characters: the IDEA CFB-64
   encryption (zero initial block, key = MD5 of the passphrase) of 8 random
   bytes followed by the MD5 digest of the plain-text subject. Every text
   argument ends with a zero byte; every result is 0 for success, -1 for bad
   input (a null pointer included). No call keeps state, so calls may run on
   several threads at once. The library exports nothing but these four
   names; programs load it at run time and look them up by name. */

#ifdef __cplusplus
extern "C" {
#endif

#define HIDTAG32_API __attribute__((visibility("default")))

/* Writes a new ESUB of `subject` under `passphrase` (48 characters and a zero
   byte) into `esub`, which holds at least 49 bytes. The random part comes
   from the operating system, so two ESUBs of one pair never link. Returns -1
   and leaves `esub` untouched when the subject or the passphrase is empty or
   no randomness is available. */
HIDTAG32_API int htEncryptSubject(const char* subject, const char* passphrase, char* esub);

/* Returns 0 when `esub` is an ESUB of `subject` under `passphrase`; -1 when
   the subject or the passphrase is empty or `esub` is not exactly 48
   characters; otherwise 1 or -1, the order of the expected and the decrypted
   digest texts. Hexadecimal is read leniently: pairs in either case, a pair
   ending at its first non-hexadecimal character, so malformed text simply
   fails to match. */
HIDTAG32_API int htTestSubject(const char* esub, const char* subject, const char* passphrase);

/* Writes the MD5 digest of `text` (which may be empty) as 32 lowercase
   hexadecimal characters and a zero byte into `hex` (at least 33 bytes). */
HIDTAG32_API int htMD5Hash(const char* text, char* hex);

/* Writes "1.0.0" and a zero byte into `version` (at least 6 bytes). */
HIDTAG32_API int hidtag32DLLVersion(char* version);

/* The exports' types, for programs that look them up with dlsym. */
typedef int (*htEncryptSubjectFn)(const char*, const char*, char*);
typedef int (*htTestSubjectFn)(const char*, const char*, const char*);
typedef int (*htMD5HashFn)(const char*, char*);
typedef int (*hidtag32DLLVersionFn)(char*);

#ifdef __cplusplus
}
#endif

#endif
