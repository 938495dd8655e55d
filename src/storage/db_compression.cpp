#include "storage/db_compression.h"

#include <zlib.h>

#include <algorithm>

#include "core/text_helpers.h"

namespace fhr {
namespace {

void SetZlibError(DbErrorDetail& detail, int code, const char* message) {
  detail.zlibCode = code;
  detail.zlibMessage = message != nullptr ? message : zError(code);
}

}  // namespace

bool DbCompress(std::string_view plain, std::string* stream, DbErrorDetail& detail) {
  uLongf size = compressBound(static_cast<uLong>(plain.size()));
  stream->assign(size, '\0');
  const int rc = compress2(reinterpret_cast<Bytef*>(stream->data()), &size,
                           reinterpret_cast<const Bytef*>(plain.data()), static_cast<uLong>(plain.size()),
                           Z_DEFAULT_COMPRESSION);
  if (rc != Z_OK) {
    stream->clear();
    SetZlibError(detail, rc, nullptr);
    return false;
  }
  stream->resize(size);
  return true;
}

bool DbDecompress(std::string_view stream, TDBbuffer& buffer, DbErrorDetail& detail) {
  buffer.Assign({});
  z_stream zs{};
  int rc = inflateInit(&zs);
  if (rc != Z_OK) {
    SetZlibError(detail, rc, zs.msg);
    return false;
  }
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  zs.avail_in = static_cast<uInt>(stream.size());
  std::string plain;
  // Output grows by doubling from twice the stream's size, so a record that
  // inflates far beyond its stored size costs few passes.
  std::size_t area = std::max<std::size_t>(2 * stream.size(), 64);
  for (;;) {
    const std::size_t used = plain.size();
    if (used >= kDbMaxPlainSize) {
      rc = Z_MEM_ERROR;
      zs.msg = const_cast<char*>("record too large");
      break;
    }
    area = std::min(area, kDbMaxPlainSize - used);
    plain.resize(used + area);
    zs.next_out = reinterpret_cast<Bytef*>(plain.data() + used);
    zs.avail_out = static_cast<uInt>(area);
    rc = inflate(&zs, Z_NO_FLUSH);
    plain.resize(used + area - zs.avail_out);
    if (rc == Z_NEED_DICT) rc = Z_DATA_ERROR;
    if (rc != Z_OK) break;
    // Input exhausted while the area still had room: the stream is cut short.
    if (zs.avail_out != 0) {
      rc = Z_BUF_ERROR;
      break;
    }
    area = std::max(area, plain.size());
  }
  if (rc == Z_STREAM_END) {
    inflateEnd(&zs);
    buffer.Assign(std::move(plain));
    buffer.SetFlags(buffer.Flags() | kDbDecompressedFlag);
    return true;
  }
  SetZlibError(detail, rc, zs.msg);
  inflateEnd(&zs);
  WipeText(plain);
  return false;
}

}  // namespace fhr
