#ifndef VNPROTECTLIB_H
#define VNPROTECTLIB_H
/*
 * VnProtect: the stored form of individual numbers (My Number) and of the My Number management
 * password in the payroll tables. The encoding is a keyed, reversible obfuscation into printable
 * ASCII; it keeps the values from being read at a glance, it is not encryption. The encoding is
 * described in docs/vnprotect-encoding.md.
 *
 * Both functions take zero-terminated strings, never throw, never read a string past
 * VNPROTECT_STORED_MAX + 1 bytes, and may be called from any thread.
 */

#include <stdint.h>

#if defined(_WIN32) && defined(VNPROTECT_BUILDING)
#define VNPROTECT_API __declspec(dllexport)
#elif defined(_WIN32)
#define VNPROTECT_API __declspec(dllimport)
#else
#define VNPROTECT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum VnProtectStatus {
  VNPROTECT_OK = 0,
  VNPROTECT_ERR_ARGUMENT = 1, /* a null pointer, or an encoder buffer size below 1 */
  VNPROTECT_ERR_KEY = 2,      /* the key is empty or longer than VNPROTECT_KEY_MAX bytes */
  VNPROTECT_ERR_FORMAT = 3,   /* not a stored value of this encoding */
  VNPROTECT_ERR_TOO_LONG = 4, /* a stored value above VNPROTECT_STORED_MAX characters, or a
                                 text above VNPROTECT_PLAIN_MAX bytes to encode */
  VNPROTECT_ERR_CHECK = 5,    /* the check characters do not match: another key, or an altered
                                 value */
  VNPROTECT_ERR_BUFFER = 6    /* the encoder's output buffer is too small */
};

enum {
  VNPROTECT_PLAIN_MAX = 200,  /* bytes of decoded text */
  VNPROTECT_STORED_MAX = 271, /* characters of a stored value: "V1", 2 check, 267 body */
  VNPROTECT_KEY_MAX = 64      /* bytes of a key */
};

/*
 * Decodes `stored` with `key` into `out`, which the caller provides with at least 201 bytes,
 * all zero. Writes only out[0] to out[199]: the decoded text and, when it is shorter than 200
 * bytes, its terminating zero; on any failure it writes nothing to `out`. Writes the result
 * code to *status (when status is not null) and returns it.
 */
VNPROTECT_API int32_t P_Check1(const char* stored, const char* key, char* out, int32_t* status);

/*
 * Encodes the text `plain` (at most VNPROTECT_PLAIN_MAX bytes) with `key` into `out`, a buffer
 * of `outSize` bytes, as a zero-terminated stored value; VNPROTECT_STORED_MAX + 1 bytes always
 * suffice. Returns a VnProtectStatus; on failure `out` holds the empty text when outSize >= 1.
 */
VNPROTECT_API int32_t P_Encode1(const char* plain, const char* key, char* out, int32_t outSize);

#ifdef __cplusplus
}
#endif

#endif /* VNPROTECTLIB_H */
