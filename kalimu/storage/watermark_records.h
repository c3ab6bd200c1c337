// Byte layouts of the watermark-list file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kalimu::storage {

inline constexpr int32_t kWatVersion = 1808;
inline constexpr int32_t kBuiltInBitmapKind = 2;
inline constexpr int32_t kFirstBuiltInBitmapId = 16001;  // resource of type 16000, id 16001 + i

#pragma pack(push, 1)

struct WatFileHeader {
  int16_t language;  // of the resource library the built-in entries came from
  int32_t version;
  int32_t built_in_count;  // B
  int32_t user_count;      // U
  int32_t user_capacity;   // C
};
static_assert(sizeof(WatFileHeader) == 18);
static_assert(offsetof(WatFileHeader, version) == 2);
static_assert(offsetof(WatFileHeader, built_in_count) == 6);
static_assert(offsetof(WatFileHeader, user_count) == 10);
static_assert(offsetof(WatFileHeader, user_capacity) == 14);

struct WatermarkEntry {
  int16_t position;  // in the list
  int32_t bitmap_id;  // 0 = not built in
  int32_t kind;       // 0 text, 1 user bitmap, 2 built-in bitmap
  char name[32];
  int32_t placement[10];  // preview pixels: four corners and the centre, x and y
  double angle;           // radians
  int16_t position_code;
  uint16_t flags;
  int32_t box[4];  // left, top, right, bottom in 1/10000 of the page
  uint8_t font[92];  // LOGFONTA fields, face name at entry offset 138
  char text[64];
  int16_t size_percent;
  int32_t stamp;
  int32_t frame;
  uint8_t color[4];  // blue, green, red, 0
  int16_t density_percent;
  char bitmap_path[260];
  int32_t bitmap_size;
  uint16_t bitmap_date;
  uint16_t bitmap_time;
  char thumbnail_path[260];
  int16_t aspect_ratio;  // width x 100 / height
  int32_t reserved812;
};
static_assert(sizeof(WatermarkEntry) == 816);
static_assert(offsetof(WatermarkEntry, bitmap_id) == 2);
static_assert(offsetof(WatermarkEntry, kind) == 6);
static_assert(offsetof(WatermarkEntry, name) == 10);
static_assert(offsetof(WatermarkEntry, angle) == 82);
static_assert(offsetof(WatermarkEntry, position_code) == 90);
static_assert(offsetof(WatermarkEntry, flags) == 92);
static_assert(offsetof(WatermarkEntry, box) == 94);
static_assert(offsetof(WatermarkEntry, font) == 110);
static_assert(offsetof(WatermarkEntry, text) == 202);
static_assert(offsetof(WatermarkEntry, size_percent) == 266);
static_assert(offsetof(WatermarkEntry, stamp) == 268);
static_assert(offsetof(WatermarkEntry, color) == 276);
static_assert(offsetof(WatermarkEntry, density_percent) == 280);
static_assert(offsetof(WatermarkEntry, bitmap_path) == 282);
static_assert(offsetof(WatermarkEntry, bitmap_size) == 542);
static_assert(offsetof(WatermarkEntry, bitmap_time) == 548);
static_assert(offsetof(WatermarkEntry, thumbnail_path) == 550);
static_assert(offsetof(WatermarkEntry, aspect_ratio) == 810);
static_assert(offsetof(WatermarkEntry, reserved812) == 812);

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<WatermarkEntry> && std::is_trivially_copyable_v<WatFileHeader>);

}  // namespace kalimu::storage
