#pragma once
// The zlib streams in which every record and folder name text is stored.
#include <string>
#include <string_view>

#include "storage/db_buffer.h"
#include "storage/db_errors.h"

namespace fhr {

// The largest number of bytes a record may inflate to. Lengths in the file
// are 32-bit, so nothing larger can have been stored; the limit keeps a
// damaged or hostile stream from inflating without end.
inline constexpr std::size_t kDbMaxPlainSize = 0x7FFFFFFF;

// One zlib stream of `plain` (default level) into `*stream`. On failure
// returns false and fills `detail` (code kDbCompressionError).
bool DbCompress(std::string_view plain, std::string* stream, DbErrorDetail& detail);

// Inflates `stream` into `buffer` and sets kDbDecompressedFlag. The stream
// must be one complete zlib stream (bytes after its end are ignored); a
// damaged, truncated or empty stream, a stream that needs a dictionary or
// one that inflates beyond kDbMaxPlainSize returns false with zlib's message
// in `detail` (code kDbDecompressionError) and leaves the buffer empty.
bool DbDecompress(std::string_view stream, TDBbuffer& buffer, DbErrorDetail& detail);

}  // namespace fhr
