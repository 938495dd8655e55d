/* liberaser.so: see eraser.h. Only the functions of eraser.h are exported. */
#define _GNU_SOURCE
#include "eraser/plugin/eraser.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#define ERASER_EXPORT __attribute__((visibility("default")))

enum { kMaxContexts = 32, kMaxPasses = 100, kChunk = 65536 };

struct Context {
  int used;
  uint32_t handle;
  uint16_t method;
  uint16_t passes;
  int dataTypeSet;
  char** items;
  size_t itemCount;
};

static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;
static int g_initialized;
static uint32_t g_generation;
static struct Context g_contexts[kMaxContexts];

static void FreeContext(struct Context* c) {
  for (size_t i = 0; i < c->itemCount; ++i) free(c->items[i]);
  free(c->items);
  memset(c, 0, sizeof *c);
}

/* The context of `handle`, or NULL; called with the lock held. */
static struct Context* Find(uint32_t handle) {
  const uint32_t slot = handle & 0xFFu;
  if (slot >= kMaxContexts || !g_contexts[slot].used || g_contexts[slot].handle != handle) return NULL;
  return &g_contexts[slot];
}

static int FillRandom(unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = getrandom(data, size, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    data += n;
    size -= (size_t)n;
  }
  return 0;
}

/* One overwriting pass over `size` bytes, flushed to the disk. */
static int OverwritePass(int fd, off_t size, uint16_t method, uint16_t pass, uint16_t passes) {
  static unsigned char buffer[kChunk];
  const int random = method != ERASER_METHOD_DOD || pass + 1 == passes || pass % 3 == 2;
  if (!random) memset(buffer, pass % 3 == 0 ? 0x00 : 0xFF, sizeof buffer);
  for (off_t at = 0; at < size;) {
    const size_t want = (size - at) < kChunk ? (size_t)(size - at) : kChunk;
    if (random && FillRandom(buffer, want) != 0) return -1;
    const ssize_t n = pwrite(fd, buffer, want, at);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    at += n;
  }
  return fsync(fd);
}

/* The directory part of `path` with its final "/", or "" for a bare name. */
static size_t DirectoryLength(const char* path) {
  const char* slash = strrchr(path, '/');
  return slash ? (size_t)(slash - path) + 1 : 0;
}

/* Renames the erased file to a random name beside it (so the directory
 * keeps no trace of the old name) and unlinks that. */
static int RemoveUnderRandomName(const char* path, const struct stat* erased) {
  const size_t dirLength = DirectoryLength(path);
  char* hidden = malloc(dirLength + 33);
  if (!hidden) return ERASER_ERROR_MEMORY;
  memcpy(hidden, path, dirLength);
  unsigned char noise[16];
  if (FillRandom(noise, sizeof noise) != 0) {
    free(hidden);
    return ERASER_ERROR;
  }
  for (size_t i = 0; i < sizeof noise; ++i) snprintf(hidden + dirLength + 2 * i, 3, "%02x", noise[i]);
  struct stat now;
  int result = ERASER_ERROR;
  /* The name must still be the file that was overwritten. */
  if (lstat(path, &now) == 0 && now.st_dev == erased->st_dev && now.st_ino == erased->st_ino) {
    int renamed = renameat2(AT_FDCWD, path, AT_FDCWD, hidden, RENAME_NOREPLACE) == 0;
    if (!renamed && errno == EINVAL) renamed = rename(path, hidden) == 0;
    if (renamed && unlink(hidden) == 0) result = ERASER_OK;
  }
  free(hidden);
  return result;
}

static int EraseOne(const char* path, uint16_t method, uint16_t passes) {
  const int fd = open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ELOOP || errno == EACCES || errno == EPERM ? ERASER_ERROR_DENIED : ERASER_ERROR;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return ERASER_ERROR_DENIED;
  }
  int result = ERASER_OK;
  for (uint16_t pass = 0; pass < passes && result == ERASER_OK; ++pass) {
    if (OverwritePass(fd, info.st_size, method, pass, passes) != 0) result = ERASER_ERROR;
  }
  if (result == ERASER_OK && (ftruncate(fd, 0) != 0 || fsync(fd) != 0)) result = ERASER_ERROR;
  close(fd);
  if (result == ERASER_OK) result = RemoveUnderRandomName(path, &info);
  return result;
}

ERASER_EXPORT const char* eraserVersion(void) { return "fhr eraser 1.0"; }

ERASER_EXPORT int32_t eraserInit(void) {
  pthread_mutex_lock(&g_lock);
  g_initialized = 1;
  pthread_mutex_unlock(&g_lock);
  return ERASER_OK;
}

ERASER_EXPORT int32_t eraserEnd(void) {
  pthread_mutex_lock(&g_lock);
  for (int i = 0; i < kMaxContexts; ++i) {
    if (g_contexts[i].used) FreeContext(&g_contexts[i]);
  }
  g_initialized = 0;
  pthread_mutex_unlock(&g_lock);
  return ERASER_OK;
}

ERASER_EXPORT int32_t eraserCreateContextEx(uint32_t* handle, uint16_t method, uint16_t passes, uint8_t flags) {
  (void)flags;
  if (!handle) return ERASER_ERROR_PARAM1;
  if (passes == 0 || passes > kMaxPasses) return ERASER_ERROR_PARAM3;
  pthread_mutex_lock(&g_lock);
  int32_t result = ERASER_ERROR_CONTEXT;
  if (!g_initialized) {
    result = ERASER_ERROR_INIT;
  } else {
    for (uint32_t i = 0; i < kMaxContexts; ++i) {
      if (g_contexts[i].used) continue;
      ++g_generation;
      g_contexts[i].used = 1;
      g_contexts[i].handle = ((g_generation & 0xFFFFFFu) << 8) | i;
      g_contexts[i].method = method;
      g_contexts[i].passes = passes;
      *handle = g_contexts[i].handle;
      result = ERASER_OK;
      break;
    }
  }
  pthread_mutex_unlock(&g_lock);
  return result;
}

ERASER_EXPORT int32_t eraserSetDataType(uint32_t handle, uint16_t type) {
  pthread_mutex_lock(&g_lock);
  struct Context* c = Find(handle);
  int32_t result = ERASER_OK;
  if (!g_initialized) {
    result = ERASER_ERROR_INIT;
  } else if (!c) {
    result = ERASER_ERROR_PARAM1;
  } else if (type != ERASER_DATA_FILES) {
    result = ERASER_ERROR_PARAM2;
  } else {
    c->dataTypeSet = 1;
  }
  pthread_mutex_unlock(&g_lock);
  return result;
}

ERASER_EXPORT int32_t eraserAddItem(uint32_t handle, const char* name, uint16_t length) {
  if (!name || length == 0 || memchr(name, '\0', length)) return ERASER_ERROR_PARAM2;
  pthread_mutex_lock(&g_lock);
  struct Context* c = Find(handle);
  int32_t result = ERASER_OK;
  if (!g_initialized) {
    result = ERASER_ERROR_INIT;
  } else if (!c) {
    result = ERASER_ERROR_PARAM1;
  } else if (!c->dataTypeSet) {
    result = ERASER_ERROR_DENIED;
  } else {
    char* copy = malloc((size_t)length + 1);
    char** items = realloc(c->items, (c->itemCount + 1) * sizeof *items);
    if (!copy || !items) {
      free(copy);
      if (items) c->items = items;
      result = ERASER_ERROR_MEMORY;
    } else {
      memcpy(copy, name, length);
      copy[length] = '\0';
      c->items = items;
      c->items[c->itemCount++] = copy;
    }
  }
  pthread_mutex_unlock(&g_lock);
  return result;
}

ERASER_EXPORT int32_t eraserStartSync(uint32_t handle) {
  /* The job is copied out so that erasing (slow) runs without the lock. */
  pthread_mutex_lock(&g_lock);
  struct Context* c = Find(handle);
  int32_t result = ERASER_OK;
  char** items = NULL;
  size_t count = 0;
  uint16_t method = 0, passes = 0;
  if (!g_initialized) {
    result = ERASER_ERROR_INIT;
  } else if (!c) {
    result = ERASER_ERROR_PARAM1;
  } else {
    items = c->items;
    count = c->itemCount;
    method = c->method;
    passes = c->passes;
    c->items = NULL;
    c->itemCount = 0;
  }
  pthread_mutex_unlock(&g_lock);
  for (size_t i = 0; i < count; ++i) {
    const int one = EraseOne(items[i], method, passes);
    if (one < 0 && result == ERASER_OK) result = one;
    free(items[i]);
  }
  free(items);
  return result;
}

ERASER_EXPORT int32_t eraserDestroyContext(uint32_t handle) {
  pthread_mutex_lock(&g_lock);
  struct Context* c = Find(handle);
  int32_t result = ERASER_ERROR_PARAM1;
  if (c) {
    FreeContext(c);
    result = ERASER_OK;
  }
  pthread_mutex_unlock(&g_lock);
  return result;
}
