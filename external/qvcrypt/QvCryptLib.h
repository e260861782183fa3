#ifndef QVCRYPTLIB_H
#define QVCRYPTLIB_H
/*
 * QvCryptLib: encrypts the intermediate file for the year-end adjustment product and reads it
 * back. The exporting wizard calls only the two QvCryptEncryptMemToFile functions; the
 * decrypting functions are what the importing product (and `nc16 decrypt`) use.
 *
 * Contract shared by every function:
 * - the result is 0 on success and one of the QVCRYPT_ERR_* codes below otherwise;
 * - file names are zero-terminated CP932 paths; passwords and keys are zero-terminated byte
 *   strings (CP932 text or raw key bytes) and must not be empty;
 * - nothing is thrown across this interface, and the functions may be called from any thread.
 *
 * The file format is described in docs/qve-format.md.
 */

#include <stdint.h>

#if defined(_WIN32) && defined(QVCRYPT_BUILDING)
#define QVCRYPT_API __declspec(dllexport)
#elif defined(_WIN32)
#define QVCRYPT_API __declspec(dllimport)
#else
#define QVCRYPT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes. Each kind of failure has its own value so that a caller can tell the user
 * what went wrong; the wizard itself only distinguishes zero from non-zero. */
enum QvCryptResult {
  QVCRYPT_OK = 0,
  QVCRYPT_ERR_ARGUMENT = 1,   /* a null pointer, a negative length, an empty password or key,
                                 hash limits outside what the library accepts */
  QVCRYPT_ERR_INIT = 2,       /* libsodium could not be initialised */
  QVCRYPT_ERR_CREATE = 3,     /* the file could not be created (folder missing, no permission) */
  QVCRYPT_ERR_WRITE = 4,      /* writing, flushing or replacing the file failed */
  QVCRYPT_ERR_OPEN = 5,       /* the file could not be opened or read, or is not a regular file
                                 (a FIFO would block the reader for ever) */
  QVCRYPT_ERR_NOT_QVE = 6,    /* the file is not an encrypted intermediate file */
  QVCRYPT_ERR_VERSION = 7,    /* a format version this library does not know */
  QVCRYPT_ERR_PARAMS = 8,     /* header values outside what this reader accepts: unknown mode or
                                 hash, chunk size or hash limits out of range */
  QVCRYPT_ERR_WRONG_MODE = 9, /* a password file opened with a key, or the other way round */
  QVCRYPT_ERR_TRUNCATED = 10, /* the file ends before its end-of-stream mark */
  QVCRYPT_ERR_AUTH = 11,      /* wrong password or key, or the file was altered */
  QVCRYPT_ERR_TOO_LARGE = 12, /* the plaintext would not fit a 32-bit length */
  QVCRYPT_ERR_MEMORY = 13,    /* out of memory (also: the password hash could not get its
                                 memory) */
  QVCRYPT_ERR_INTERNAL = 14   /* an unexpected failure inside the library */
};

/* Cost of the password hash (Argon2id): passes over the memory and memory in bytes. */
typedef struct QvCryptKdfLimits {
  uint64_t opslimit;
  uint64_t memlimit;
} QvCryptKdfLimits;

/* The limits that QvCryptEncryptMemToFile uses (libsodium's MODERATE: 3 passes, 256 MiB). */
QVCRYPT_API QvCryptKdfLimits QvCryptDefaultKdfLimits(void);

/* The most a reader spends on a file by default (4 passes, 1 GiB): a file asking for more is
 * refused with QVCRYPT_ERR_PARAMS instead of exhausting the machine. */
QVCRYPT_API QvCryptKdfLimits QvCryptMaxKdfLimits(void);

/* Encrypts dataLength bytes at data (data may be null when dataLength is 0) with a key hashed
 * from password, and writes the file fileName atomically (readable and writable by the owner
 * only). On failure fileName is left as it was: absent, or its old content. */
QVCRYPT_API int32_t QvCryptEncryptMemToFile(const void* data, int32_t dataLength,
                                            const char* fileName, const char* password);

/* As QvCryptEncryptMemToFile, with the password hash's cost given. limits null means the
 * defaults; each value must lie between libsodium's Argon2id minimum and QvCryptMaxKdfLimits().
 * Tests pass small limits here; products use the defaults. */
QVCRYPT_API int32_t QvCryptEncryptMemToFileEx(const void* data, int32_t dataLength,
                                              const char* fileName, const char* password,
                                              const QvCryptKdfLimits* limits);

/* As QvCryptEncryptMemToFile, with the key bytes up to key's terminating zero instead of a
 * password. The key is not stretched (it is meant to be random bytes a launcher made), so the
 * key functions have no hash limits and no Ex variant. */
QVCRYPT_API int32_t QvCryptEncryptMemToFileByKey(const void* data, int32_t dataLength,
                                                 const char* fileName, const char* key);

/* The same encryption for a text that arrives piece by piece, so that no copy of the whole
 * exists in memory: open a stream (the file is created at once, the key derived), write the
 * pieces in order, then commit (the file replaces fileName atomically, readable and writable by
 * the owner only). The file is the one QvCryptEncryptMemToFile... makes of the whole text. A
 * stream freed without a commit, or after any failure, leaves fileName as it was and no
 * temporary file. After a non-zero result every later call on the stream fails; free it. */
typedef struct QvCryptStream QvCryptStream;

/* Opens a stream encrypting with password; limits as for QvCryptEncryptMemToFileEx (null: the
 * defaults). On success *stream receives the stream; on failure it is null. */
QVCRYPT_API int32_t QvCryptStreamOpen(const char* fileName, const char* password,
                                      const QvCryptKdfLimits* limits, QvCryptStream** stream);

/* As QvCryptStreamOpen, with the key bytes up to key's terminating zero. */
QVCRYPT_API int32_t QvCryptStreamOpenByKey(const char* fileName, const char* key,
                                           QvCryptStream** stream);

/* As QvCryptStreamOpenByKey, with keyLength key bytes, zeros included: a launcher's key is
 * random bytes, any of which may be zero. A key of zero bytes only is refused as empty. */
QVCRYPT_API int32_t QvCryptStreamOpenByKeyBytes(const char* fileName, const void* key,
                                                int32_t keyLength, QvCryptStream** stream);

/* Appends dataLength bytes at data (null allowed when dataLength is 0). QVCRYPT_ERR_TOO_LARGE
 * once the whole text would not fit a 32-bit length. */
QVCRYPT_API int32_t QvCryptStreamWrite(QvCryptStream* stream, const void* data, int32_t dataLength);

/* Ends the text and puts the file in place of fileName. */
QVCRYPT_API int32_t QvCryptStreamCommit(QvCryptStream* stream);

/* Releases a stream (null allowed); an uncommitted one leaves no file. Leaves
 * QvCryptLastFileError as it was. */
QVCRYPT_API void QvCryptStreamFree(QvCryptStream* stream);

/* Reads fileName and decrypts it with password. On success *data receives a buffer of
 * *dataLength plaintext bytes (followed by one zero byte that is not counted), to be released
 * with QvCryptFreeMem; on failure *data is null and *dataLength 0. */
QVCRYPT_API int32_t QvCryptDecryptFileToMem(const char* fileName, const char* password, void** data,
                                            int32_t* dataLength);

/* As QvCryptDecryptFileToMem, with the most the reader will spend on the password hash: a file
 * whose header asks for more is refused with QVCRYPT_ERR_PARAMS. maxLimits null means
 * QvCryptMaxKdfLimits(). */
QVCRYPT_API int32_t QvCryptDecryptFileToMemEx(const char* fileName, const char* password,
                                              const QvCryptKdfLimits* maxLimits, void** data,
                                              int32_t* dataLength);

/* As QvCryptDecryptFileToMem, for a file written by QvCryptEncryptMemToFileByKey. */
QVCRYPT_API int32_t QvCryptDecryptFileToMemByKey(const char* fileName, const char* key, void** data,
                                                 int32_t* dataLength);

/* As QvCryptDecryptFileToMemByKey, with keyLength key bytes, zeros included. */
QVCRYPT_API int32_t QvCryptDecryptFileToMemByKeyBytes(const char* fileName, const void* key,
                                                      int32_t keyLength, void** data,
                                                      int32_t* dataLength);

/* Wipes and releases a buffer returned by a decrypting function; null is allowed. */
QVCRYPT_API void QvCryptFreeMem(void* data);

/* The system's account of the file failure behind the last QVCRYPT_ERR_CREATE, QVCRYPT_ERR_WRITE
 * or QVCRYPT_ERR_OPEN of the calling thread: a zero-terminated CP932 text naming the file and the
 * cause (for QVCRYPT_ERR_OPEN also an input that is not a regular file). Empty after any other
 * result. Valid until the thread's next call of this library. */
QVCRYPT_API const char* QvCryptLastFileError(void);

#ifdef __cplusplus
}
#endif

#endif /* QVCRYPTLIB_H */
