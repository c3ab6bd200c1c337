// The binary reply body: a 16-bit length, then records of {type, length n, n data bytes}.
// Every read stays inside its record, and every record inside the body.
#include <algorithm>
#include <cstring>

#include "kalimu/status/status_reply.h"

namespace kalimu::status {
namespace {

enum RecordType : uint8_t {
  kRecordStatus = 1,
  kRecordError = 2,
  kRecordWarnings = 4,
  kRecordPaperPath = 6,
  kRecordCartridge = 10,
  kRecordChannels = 11,
  kRecordRc = 14,
  kRecordInks = 15,
  kRecordIg = 16,
  kRecordSb = 18,
  kRecordFlag20 = 20,
  kRecordIwf = 21,
  kRecordRecord24 = 24,
  kRecordHt = 27,
  kRecordTemperature = 28,
  kRecordRt = 29,
  kRecordSerial = 31,
  kRecordHpi = 32,
  kRecordMkiwt = 36,
};

constexpr uint8_t kCartridgeKindFull = 3;
constexpr size_t kCartridgeBytes = 10;
constexpr size_t kInkEntryBytes = 3;  // 16-bit code, level byte
constexpr size_t kIgEntryBytes = 3;

uint16_t BigEndian16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

void CopyList(ByteList& list, const uint8_t* data, size_t n) {
  list.Reset(n);
  std::memcpy(list.data + 1, data, list.count());
}

// One record's data: n bytes at data.
struct Record {
  uint8_t type;
  const uint8_t* data;
  size_t n;
};

void ReadCartridge(const Record& r, StatusReading& reading) {
  if (r.n < 1 || r.data[0] != kCartridgeKindFull || r.n < kCartridgeBytes) return;
  CartridgeData& c = reading.cartridge;
  c.kind = r.data[0];
  c.a = BigEndian16(r.data + 1);
  c.b = r.data[3];
  c.c = r.data[4];
  c.d = BigEndian16(r.data + 5);
  c.e = r.data[7];
  c.f = r.data[8];
  c.g = r.data[9];
  c.present = true;
}

void ReadChannels(const Record& r, const StatusShape& shape, StatusReading& reading) {
  if (r.n < 1) return;  // no CW byte: nothing to read
  const size_t k = static_cast<uint32_t>(shape.ink_count) * shape.bytes_per_ink % 256;
  const size_t values = r.n - 1;
  if (values < k) return;
  ChannelData& ch = reading.channels;
  ch.cw = r.data[0];
  CopyList(ch.values, r.data + 1, k);
  if (values > k) ch.mi.Set(r.data[1 + k]);
  ch.present = true;
}

void ReadInks(const Record& r, StatusReading& reading) {
  if (r.n < 1) return;  // no entry size
  const size_t s = r.data[0];
  // An entry smaller than a code and its level byte holds nothing readable.
  const size_t entries = s < kInkEntryBytes ? 0 : (r.n - 1) / s;
  reading.ink_codes.Reset(entries);
  reading.ink_levels.Reset(entries);
  reading.ink_states.Reset(entries);
  for (size_t i = 0; i < reading.ink_codes.count(); ++i) {
    const uint8_t* entry = r.data + 1 + i * s;
    reading.ink_codes.data[1 + i] = BigEndian16(entry);
    reading.SetInkFromByte(i, entry[2]);
  }
}

void ReadIg(const Record& r, StatusReading& reading) {
  // Entries start after the unused first byte; only whole entries inside the record count.
  const size_t entries = r.n < 1 ? 0 : (r.n - 1) / kIgEntryBytes;
  reading.ig_entries.Reset(entries);
  for (size_t i = 0; i < reading.ig_entries.count(); ++i) {
    const uint8_t* e = r.data + 1 + kIgEntryBytes * i;
    reading.ig_entries.data[1 + i] = e[0] + 256 * e[1] + 65536 * e[2];
  }
}

void ReadRecord(const Record& r, const StatusShape& shape, StatusReading& reading) {
  auto single = [&](ByteValue& target) {
    if (r.n >= 1) target.Set(r.data[0]);
  };
  switch (r.type) {
    case kRecordStatus: single(reading.status); break;
    case kRecordError: single(reading.error); break;
    case kRecordWarnings: CopyList(reading.warnings, r.data, r.n); break;
    case kRecordPaperPath:
      if (r.n >= 2) {
        reading.paper_path[0] = r.data[0];
        reading.paper_path[1] = r.data[1];
        reading.paper_path_present = true;
      }
      break;
    case kRecordCartridge: ReadCartridge(r, reading); break;
    case kRecordChannels: ReadChannels(r, shape, reading); break;
    case kRecordRc: CopyList(reading.rc, r.data, r.n); break;
    case kRecordInks: ReadInks(r, reading); break;
    case kRecordIg: ReadIg(r, reading); break;
    case kRecordSb:
      std::memset(reading.sb_text, 0, sizeof reading.sb_text);
      std::memcpy(reading.sb_text, "SB:", 3);
      std::memcpy(reading.sb_text + 3, r.data, r.n);
      reading.sb_present = true;
      break;
    case kRecordFlag20: single(reading.flag20); break;
    case kRecordIwf: CopyList(reading.iwf, r.data, r.n); break;
    case kRecordRecord24: single(reading.record24); break;
    case kRecordHt: CopyList(reading.ht, r.data, r.n); break;
    case kRecordTemperature: single(reading.temperature); break;
    case kRecordRt: single(reading.rt); break;
    case kRecordSerial:
      std::memset(reading.serial_text, 0, sizeof reading.serial_text);
      std::memcpy(reading.serial_text, r.data, r.n);
      reading.serial_size = static_cast<uint16_t>(r.n + 1);
      reading.serial_present = true;
      break;
    case kRecordHpi:
      std::memset(reading.hpi_block, 0, sizeof reading.hpi_block);
      reading.hpi_block[0] = r.type;
      reading.hpi_block[1] = static_cast<uint8_t>(r.n);
      std::memcpy(reading.hpi_block + 2, r.data, r.n);
      reading.hpi_present = true;
      break;
    case kRecordMkiwt: single(reading.mkiwt); break;
    default: break;  // other types are skipped by their length
  }
}

}  // namespace

int ParseBinaryBody(const uint8_t* body, size_t length, const StatusShape& shape,
                     StatusReading& reading) {
  if (body == nullptr || length < 2) return -1;
  const size_t declared = static_cast<size_t>(body[0] | body[1] << 8);
  if (declared == 0) return -1;
  // Records start below the declared length, and each one must lie whole inside the body: the
  // first that does not ends the walk.
  size_t offset = 2;
  while (offset < declared && offset + 2 <= length) {
    const size_t n = body[offset + 1];
    if (offset + 2 + n > length) break;
    ReadRecord(Record{body[offset], body + offset + 2, n}, shape, reading);
    offset += 2 + n;
  }
  if (!reading.IsAcceptable()) return -1;
  reading.CleanUp();
  return 0;
}

}  // namespace kalimu::status
