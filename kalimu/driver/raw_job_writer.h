// Printer commands sent as a small "RAW" job named "Setting Sheet" through the spooler,
// buffered in a fixed 2048-byte buffer.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/platform/unique_handle.h"

namespace kalimu::driver {

inline constexpr size_t kRawJobBufferBytes = 2048;

// WritePrinter's shape: the one spooler call through which the job's bytes leave.
using RawJobWriteProc = BOOL(WINAPI*)(HANDLE printer, void* data, DWORD size, DWORD* written);

class RawJobWriter {
 public:
  // write sends the bytes; WritePrinter unless a test watches them.
  explicit RawJobWriter(RawJobWriteProc write = WritePrinter) : write_(write) {}
  RawJobWriter(const RawJobWriter&) = delete;
  RawJobWriter& operator=(const RawJobWriter&) = delete;

  // Opens the printer and starts the document (and, on Windows NT, its page): 1 or 0.
  int Open(const char* printer_name);
  // Buffers the bytes, sending the buffer and then whole 2048-byte pieces when they do not
  // fit: 1 or 0.
  int Write(const void* data, size_t size);
  // Sends what is buffered, ends the page and document and closes the printer in every case:
  // 1 when all of it succeeded.
  int Close();

  size_t buffered() const { return count_; }

 private:
  // The whole piece or a failure: a short write loses commands.
  bool Send(const uint8_t* data, size_t size);

  platform::UniquePrinter printer_;
  uint32_t count_ = 0;
  uint8_t buffer_[kRawJobBufferBytes] = {};
  RawJobWriteProc write_;
};

// Opens, writes and closes in one call; Close runs even when open or write failed. 1 when all
// three succeeded.
int SendRawJob(RawJobWriter* writer, const char* printer_name, const void* data, size_t size);

}  // namespace kalimu::driver
