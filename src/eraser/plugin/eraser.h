/* liberaser.so: overwrites files that held secrets and removes them.
 *
 * A job (context) collects file names and runs synchronously: each file is
 * overwritten in place for the requested number of passes (each pass
 * flushed to the disk with fsync), cut to length zero, renamed to a random
 * name in its directory and unlinked, so neither its bytes nor its name stay
 * behind. Only regular files are erased, and never through a symbolic link.
 * Every call returns a result code: negative on failure (ERASER_ERROR_*),
 * zero or more on success. */
#ifndef FHR_ERASER_PLUGIN_ERASER_H
#define FHR_ERASER_PLUGIN_ERASER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ERASER_OK 0
#define ERASER_ERROR (-1)
#define ERASER_ERROR_PARAM1 (-2)
#define ERASER_ERROR_PARAM2 (-3)
#define ERASER_ERROR_PARAM3 (-4)
#define ERASER_ERROR_PARAM4 (-5)
#define ERASER_ERROR_PARAM5 (-6)
#define ERASER_ERROR_PARAM6 (-7)
#define ERASER_ERROR_MEMORY (-8)
#define ERASER_ERROR_THREAD (-9)
#define ERASER_ERROR_EXCEPTION (-10)
#define ERASER_ERROR_CONTEXT (-11)
#define ERASER_ERROR_INIT (-12)
#define ERASER_ERROR_RUNNING (-13)
#define ERASER_ERROR_NOTRUNNING (-14)
#define ERASER_ERROR_DENIED (-15)
#define ERASER_ERROR_NOTIMPLEMENTED (-32)

/* Methods: 2 overwrites with zeros, ones and random bytes in turn, ending
 * with a random pass; any other method writes random bytes on every pass. */
#define ERASER_METHOD_DOD 2
/* The only data type: the items are files. */
#define ERASER_DATA_FILES 1

/* The library's version text. */
const char* eraserVersion(void);
/* Makes the library usable; eraserEnd destroys every context left. */
int32_t eraserInit(void);
int32_t eraserEnd(void);
/* A new job in *handle: `passes` (1 to 100) overwriting passes of `method`.
 * `flags` is accepted and has no effect. */
int32_t eraserCreateContextEx(uint32_t* handle, uint16_t method, uint16_t passes, uint8_t flags);
/* Must be ERASER_DATA_FILES. */
int32_t eraserSetDataType(uint32_t handle, uint16_t type);
/* Adds a file: `length` bytes at `name` (no terminating zero). */
int32_t eraserAddItem(uint32_t handle, const char* name, uint16_t length);
/* Erases every added file and returns when done: ERASER_OK when every file
 * is gone, else the failure of the first file that could not be erased
 * (the others are still tried). */
int32_t eraserStartSync(uint32_t handle);
int32_t eraserDestroyContext(uint32_t handle);

#ifdef __cplusplus
}
#endif

#endif
