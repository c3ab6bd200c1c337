// DevModeAccessor: the only code that reads or writes the bytes of a DriverDevMode.
//
// Every field of the record has its operations here. The plain ones are generated from the
// field rows of dev_mode_fields.h (one row per field: name, place, type and store rule); the
// few whose shape is their own (whole-record copies, allocation, the resolution pair, the
// custom size, the model identifier, the ANSI name getters, the watermark colour getter) are
// written out below. The accessor owns nothing: a record it allocated is freed by FreeDevMode
// or by the settings object that owns it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "kalimu/settings/dev_mode_fields.h"
#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::settings {

class DevModeAccessor {
 public:
  // record may be null; AllocDevMode supplies one later.
  explicit DevModeAccessor(void* record = nullptr)
      : dev_mode_(static_cast<DEVMODEW*>(record)),
        driver_dev_mode_(static_cast<DriverDevMode*>(record)) {}
  ~DevModeAccessor() = default;  // releases nothing

  DevModeAccessor(const DevModeAccessor&) = delete;
  DevModeAccessor& operator=(const DevModeAccessor&) = delete;

  // --- Whole record -------------------------------------------------------------------------
  DEVMODEW* GetDevMode() const { return dev_mode_; }
  DriverDevMode* GetDriverDevMode() const { return driver_dev_mode_; }
  // Copies 1048 bytes over the whole record; a null source changes nothing.
  void SetDriverDevMode(const void* record);
  // Copies the 220 bytes of the public part only; a null source changes nothing.
  void SetPublicDevMode(const void* record);
  // Allocates 1048 zero-filled bytes of movable global memory, locked, as the record.
  // 1 on success; 0 when allocation or lock failed (the record pointers are then null).
  int AllocDevMode();
  // Unlocks and frees the record's global memory. 1 and null record pointers when the free
  // succeeded; 0 (pointers kept) when it failed or there is no record.
  int FreeDevMode();

  // --- Fields of their own shape ------------------------------------------------------------
  void GetDeviceResolution(ResolutionPair* out) const;
  void SetDeviceResolution(uint32_t x, uint32_t y);
  // Writes width then length (unit in CustomPaperUnit).
  void GetCustomPaperSize(ExtentPair* out) const;
  // Stores width and length only when both are above 0.
  void SetCustomPaperSize(const ExtentPair& size);
  // Copy the 16 bytes of ModelId; 0 without copying when the pointer is null or size is not 16.
  int GetModelId(void* out, uint32_t size) const;
  int SetModelId(const void* in, uint32_t size);
  // Writes the colour (bytes blue, green, red, 0) to out and returns out.
  uint32_t* GetWatermarkColor(uint32_t* out) const;
  // dmDeviceName: at most 31 characters and a terminator. ANSI text is cut to 31 bytes (double-
  // byte characters kept whole) and then converted from the system code page.
  void SetDeviceName(const wchar_t* name);
  void SetDeviceName(const char* name);
  // dmDeviceName or dmFormName in the system code page, bounded to size bytes (terminated).
  // 1 when the whole name fitted, else 0.
  int GetDeviceNameA(char* buffer, uint32_t size) const;
  int GetFormNameA(char* buffer, uint32_t size) const;

  // --- The generated family -----------------------------------------------------------------
#define KALIMU_ACCESSOR_GET(Name, member)                                          \
  Widened<KALIMU_DEVMODE_FIELD_TYPE(member)> Get##Name() const {                   \
    return driver_dev_mode_->member;                                               \
  }
#define KALIMU_ACCESSOR_SET(Name, member, rule)                                    \
  void Set##Name(Widened<KALIMU_DEVMODE_FIELD_TYPE(member)> value) {               \
    if (const auto stored = AdmitValue(SetRule::rule, value, driver_dev_mode_->member)) \
      driver_dev_mode_->member = static_cast<KALIMU_DEVMODE_FIELD_TYPE(member)>(*stored); \
  }
#define KALIMU_ACCESSOR_SET_BITS(stem, member, sets)                               \
  void Set##stem##Bits(uint32_t mask, int32_t on) {                                \
    const uint32_t word = driver_dev_mode_->member;                                \
    driver_dev_mode_->member = static_cast<KALIMU_DEVMODE_FIELD_TYPE(member)>(     \
        (sets) ? (word | mask) : (word & ~mask));                                  \
  }
#define KALIMU_ACCESSOR_TEST_BITS(stem, member)                                    \
  int Test##stem##Bits(uint32_t mask) const {                                      \
    return (static_cast<uint32_t>(driver_dev_mode_->member) & mask) != 0 ? 1 : 0;  \
  }

#define KALIMU_ACCESSOR_OPS_Value(Name, member, rule, stem) \
  KALIMU_ACCESSOR_GET(Name, member)                         \
  KALIMU_ACCESSOR_SET(Name, member, rule)
#define KALIMU_ACCESSOR_OPS_GetOnly(Name, member, rule, stem) KALIMU_ACCESSOR_GET(Name, member)
#define KALIMU_ACCESSOR_OPS_SetOnly(Name, member, rule, stem) KALIMU_ACCESSOR_SET(Name, member, rule)
#define KALIMU_ACCESSOR_OPS_Word(Name, member, rule, stem) \
  KALIMU_ACCESSOR_OPS_Value(Name, member, rule, stem)      \
  KALIMU_ACCESSOR_SET_BITS(stem, member, on != 0)          \
  KALIMU_ACCESSOR_TEST_BITS(stem, member)
#define KALIMU_ACCESSOR_OPS_WordOn1(Name, member, rule, stem) \
  KALIMU_ACCESSOR_OPS_Value(Name, member, rule, stem)         \
  KALIMU_ACCESSOR_SET_BITS(stem, member, on == 1)             \
  KALIMU_ACCESSOR_TEST_BITS(stem, member)
#define KALIMU_ACCESSOR_OPS_WordTest(Name, member, rule, stem) \
  KALIMU_ACCESSOR_OPS_Value(Name, member, rule, stem)          \
  KALIMU_ACCESSOR_TEST_BITS(stem, member)
#define KALIMU_ACCESSOR_OPS_Bits(Name, member, rule, stem) \
  KALIMU_ACCESSOR_SET_BITS(stem, member, on != 0)          \
  KALIMU_ACCESSOR_TEST_BITS(stem, member)
#define KALIMU_ACCESSOR_OPS_Text(Name, member, max_chars, stem)                         \
  std::remove_extent_t<KALIMU_DEVMODE_FIELD_TYPE(member)>* Get##Name() const {          \
    return FieldAt<std::remove_extent_t<KALIMU_DEVMODE_FIELD_TYPE(member)>>(            \
        offsetof(DriverDevMode, member));                                               \
  }                                                                                     \
  void Set##Name(const std::remove_extent_t<KALIMU_DEVMODE_FIELD_TYPE(member)>* text) { \
    static_assert((max_chars) < std::extent_v<KALIMU_DEVMODE_FIELD_TYPE(member)>);      \
    StoreText(Get##Name(), std::extent_v<KALIMU_DEVMODE_FIELD_TYPE(member)>, (max_chars), text); \
  }
#define KALIMU_ACCESSOR_OPS_Block(Name, member, rule, stem)                   \
  void Get##Name(KALIMU_DEVMODE_FIELD_TYPE(member)* out) const {              \
    CopyOut(out, offsetof(DriverDevMode, member), sizeof(*out));              \
  }                                                                           \
  void Set##Name(const KALIMU_DEVMODE_FIELD_TYPE(member)* in) {               \
    CopyIn(in, offsetof(DriverDevMode, member), sizeof(*in));                 \
  }
#define KALIMU_ACCESSOR_OPS_BlockEq(Name, member, rule, stem)                 \
  KALIMU_ACCESSOR_OPS_Block(Name, member, rule, stem)                         \
  int Is##Name##Equal(const KALIMU_DEVMODE_FIELD_TYPE(member)* block) const { \
    return Equals(block, offsetof(DriverDevMode, member), sizeof(*block));    \
  }
#define KALIMU_ACCESSOR_OPS(kind, Name, member, rule, stem) \
  KALIMU_ACCESSOR_OPS_##kind(Name, member, rule, stem)

  KALIMU_DEVMODE_FIELDS(KALIMU_ACCESSOR_OPS)

#undef KALIMU_ACCESSOR_OPS
#undef KALIMU_ACCESSOR_OPS_BlockEq
#undef KALIMU_ACCESSOR_OPS_Block
#undef KALIMU_ACCESSOR_OPS_Text
#undef KALIMU_ACCESSOR_OPS_Bits
#undef KALIMU_ACCESSOR_OPS_WordTest
#undef KALIMU_ACCESSOR_OPS_WordOn1
#undef KALIMU_ACCESSOR_OPS_Word
#undef KALIMU_ACCESSOR_OPS_SetOnly
#undef KALIMU_ACCESSOR_OPS_GetOnly
#undef KALIMU_ACCESSOR_OPS_Value
#undef KALIMU_ACCESSOR_TEST_BITS
#undef KALIMU_ACCESSOR_SET_BITS
#undef KALIMU_ACCESSOR_SET
#undef KALIMU_ACCESSOR_GET

 private:
  std::byte* Bytes() const { return reinterpret_cast<std::byte*>(driver_dev_mode_); }
  template <class T>
  T* FieldAt(size_t offset) const {
    return reinterpret_cast<T*>(Bytes() + offset);
  }
  void CopyOut(void* out, size_t offset, size_t size) const;
  void CopyIn(const void* in, size_t offset, size_t size);
  int Equals(const void* block, size_t offset, size_t size) const;
  // Text fields: at most max_chars characters of text and a terminator; the rest of the field
  // is zero. A null text stores an empty field.
  static void StoreText(char* field, size_t field_chars, size_t max_chars, const char* text);
  static void StoreText(wchar_t* field, size_t field_chars, size_t max_chars, const wchar_t* text);

  // Both views hold the same address.
  DEVMODEW* dev_mode_;
  DriverDevMode* driver_dev_mode_;
};

}  // namespace kalimu::settings
