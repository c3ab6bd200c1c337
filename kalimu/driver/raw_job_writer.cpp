// The raw command job.
#include "kalimu/driver/raw_job_writer.h"

#include <winspool.h>

#include <cstring>

#include "kalimu/platform/win32_helpers.h"

namespace kalimu::driver {
namespace {

// Which document calls the platform takes: NT starts a document and a page; the older
// platform of major version 4 a document only; its later versions neither.
enum class SpoolerKind { kNone, kDocAndPage, kDocOnly, kNeither };

SpoolerKind GetSpoolerKind() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExW(&version)) return SpoolerKind::kNone;
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_NT:
      return SpoolerKind::kDocAndPage;
    case VER_PLATFORM_WIN32_WINDOWS:
      return version.dwMajorVersion == 4 ? SpoolerKind::kDocOnly : SpoolerKind::kNeither;
    default:
      return SpoolerKind::kNone;
  }
}

static_assert(sizeof(OSVERSIONINFOW) == 276);

}  // namespace

int RawJobWriter::Open(const char* printer_name) {
  if (!platform::OpenPrinterByAnsiName(printer_name, printer_.Receive())) {
    printer_.Release();  // a failed open leaves no handle
    return 0;
  }
  const SpoolerKind kind = GetSpoolerKind();
  if (kind == SpoolerKind::kNone) return 0;
  if (kind == SpoolerKind::kNeither) return 1;
  wchar_t name[] = L"Setting Sheet";
  wchar_t datatype[] = L"RAW";
  DOC_INFO_1W document = {name, nullptr, datatype};
  if (StartDocPrinterW(printer_.get(), 1, reinterpret_cast<BYTE*>(&document)) == 0) return 0;
  return kind == SpoolerKind::kDocOnly || StartPagePrinter(printer_.get()) ? 1 : 0;
}

bool RawJobWriter::Send(const uint8_t* data, size_t size) {
  if (size == 0) return true;  // nothing buffered: nothing to send
  DWORD written = 0;
  return write_(printer_.get(), const_cast<uint8_t*>(data), static_cast<DWORD>(size), &written) && written == size;
}

int RawJobWriter::Write(const void* data, size_t size) {
  if (!printer_) return 0;
  if (size == 0) return 1;
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (count_ + size > kRawJobBufferBytes) {
    if (!Send(buffer_, count_)) return 0;
    count_ = 0;
    while (size > kRawJobBufferBytes) {
      if (!Send(bytes, kRawJobBufferBytes)) return 0;
      bytes += kRawJobBufferBytes;
      size -= kRawJobBufferBytes;
    }
  }
  std::memcpy(buffer_ + count_, bytes, size);
  count_ += static_cast<uint32_t>(size);
  return 1;
}

int RawJobWriter::Close() {
  bool result = printer_ && Send(buffer_, count_);
  count_ = 0;
  if (printer_) {
    switch (GetSpoolerKind()) {
      case SpoolerKind::kDocAndPage: {
        const bool page = EndPagePrinter(printer_.get());
        const bool document = EndDocPrinter(printer_.get());
        result = result && page && document;
        break;
      }
      case SpoolerKind::kDocOnly:
        result = EndDocPrinter(printer_.get()) && result;
        break;
      case SpoolerKind::kNeither:
        break;
      case SpoolerKind::kNone:
        result = false;
        break;
    }
  }
  printer_.Reset();
  return result ? 1 : 0;
}

int SendRawJob(RawJobWriter* writer, const char* printer_name, const void* data, size_t size) {
  if (writer == nullptr) return 0;
  const bool opened = writer->Open(printer_name) != 0;
  const bool written = opened && writer->Write(data, size) != 0;
  const bool closed = writer->Close() != 0;
  return opened && written && closed ? 1 : 0;
}

}  // namespace kalimu::driver
