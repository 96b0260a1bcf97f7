#include "ZipOpen.h"

#include "FileHandle.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

// minizip reads the central directory a few bytes at a time; one buffered window keeps that at
// one read call per window instead of one per field.
constexpr size_t kWindowBytes = 64 * 1024;

struct ZipStream {
  FileHandle file;
  uint64_t position = 0;
  uint64_t windowStart = 0;
  size_t windowBytes = 0;
  std::vector<unsigned char> window;
};

// The "file name" minizip passes through is the wide path of OpenZipForListing. The file is
// opened the way every file of the scan is: a FIFO, a device or a folder is refused before a
// read could block.
voidpf ZCALLBACK OpenStream(voidpf, const void* filename, int mode) {
  if (!filename || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  auto stream = std::make_unique<ZipStream>();
  stream->file = FileHandle::OpenForRead(*static_cast<const std::wstring*>(filename));
  if (!stream->file.IsOpen()) return nullptr;
  stream->window.resize(kWindowBytes);
  return stream.release();
}

uLong ZCALLBACK ReadStream(voidpf, voidpf opaque, void* buffer, uLong size) {
  auto* stream = static_cast<ZipStream*>(opaque);
  auto* out = static_cast<unsigned char*>(buffer);
  uLong done = 0;
  while (done < size) {
    const uint64_t at = stream->position;
    if (at >= stream->windowStart && at < stream->windowStart + stream->windowBytes) {
      const size_t offset = static_cast<size_t>(at - stream->windowStart);
      const size_t count = std::min<size_t>(stream->windowBytes - offset, size - done);
      std::memcpy(out + done, stream->window.data() + offset, count);
      done += static_cast<uLong>(count);
      stream->position += count;
      continue;
    }
    if (size - done >= kWindowBytes) {  // a large read goes straight into the caller's buffer
      const size_t got = stream->file.ReadAt(at, out + done, size - done);
      done += static_cast<uLong>(got);
      stream->position += got;
      break;
    }
    stream->windowStart = at;
    stream->windowBytes = stream->file.ReadAt(at, stream->window.data(), kWindowBytes);
    if (stream->windowBytes == 0) break;  // the end, also of a file that shrank meanwhile
  }
  return done;
}

uLong ZCALLBACK WriteStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK TellStream(voidpf, voidpf opaque) { return static_cast<ZipStream*>(opaque)->position; }

long ZCALLBACK SeekStream(voidpf, voidpf opaque, ZPOS64_T offset, int origin) {
  auto* stream = static_cast<ZipStream*>(opaque);
  uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = stream->position; break;
    case ZLIB_FILEFUNC_SEEK_END: {
      const int64_t size = stream->file.Size();
      if (size < 0) return -1;
      base = static_cast<uint64_t>(size);
      break;
    }
    default: return -1;
  }
  stream->position = base + offset;
  return 0;
}

int ZCALLBACK CloseStream(voidpf, voidpf opaque) {
  delete static_cast<ZipStream*>(opaque);
  return 0;
}

int ZCALLBACK StreamError(voidpf, voidpf) { return 0; }

}  // namespace

unzFile OpenZipForListing(const std::wstring& path) {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = OpenStream;
  functions.zread_file = ReadStream;
  functions.zwrite_file = WriteStream;
  functions.ztell64_file = TellStream;
  functions.zseek64_file = SeekStream;
  functions.zclose_file = CloseStream;
  functions.zerror_file = StreamError;
  return unzOpen2_64(&path, &functions);
}

}  // namespace tessaly
