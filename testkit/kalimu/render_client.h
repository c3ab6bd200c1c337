// The rendering library's side of Kalimu.dll's private exports: loads the library by path,
// resolves CreateStruct, DestroyStruct, CreateMelvoInfo, DestroyMelvoInfo and
// DRVUIGetJobDataEx2 by ordinal, and reads the records by byte offset from its own copy of their
// layouts (written from the record descriptions, not from the library's declarations).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace testkit {

// Reads a little-endian field of a record by byte offset.
template <class T>
T Field(const void* record, size_t offset) {
  T value{};
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof(T));
  return value;
}
template <class T>
void SetField(void* record, size_t offset, T value) {
  std::memcpy(static_cast<uint8_t*>(record) + offset, &value, sizeof(T));
}
inline const uint8_t* PointerField(const void* record, size_t offset) { return Field<const uint8_t*>(record, offset); }
inline std::string TextField(const void* record, size_t offset) {
  const auto* text = Field<const char*>(record, offset);
  return text != nullptr ? std::string(text) : std::string("<null>");
}

// The record layouts as the rendering library reads them.
namespace render {
// CreateMelvoInfo's argument (48 bytes) and the job-option record it points to.
struct Params {
  const void* dev_mode;
  const void* job_options;
  const char* text1;
  const char* text2;
  uint64_t caller_value;
  const char* printer_name;
};
static_assert(sizeof(Params) == 48);
struct JobOptions {
  uint64_t value;
  uint32_t flags;
};

// The handle (40 bytes).
constexpr size_t kHandleBuilder = 0, kHandleJob = 8, kHandlePrinter = 16;
// The job record (104 bytes).
constexpr size_t kJobSettings = 8, kJobFlags = 16, kJobStatusText = 24, kJobStatusLength = 32, kJobText1 = 40,
                 kJobText1Length = 48, kJobText2 = 56, kJobText2Length = 64, kJobCallerValue = 72,
                 kJobOptionValue = 80, kJobColor = 88;
// The builder (72 bytes).
constexpr size_t kBuilderError = 0, kBuilderVersion0 = 4, kBuilderVersion2 = 6, kBuilderSavedSettings = 32,
                 kBuilderWorkDevMode = 40, kBuilderFlags = 48, kBuilderSpare = 56, kBuilderBrsBlock = 64;

// Job layout record (type 1, 200 bytes).
constexpr size_t kLayoutVersion = 0, kColourKind = 4, kModeValueA = 8, kResX = 12, kResY = 16, kMode36Low = 20,
                 kMode36High = 24, kWidth = 28, kHeight = 32, kWidthA = 36, kHeightA = 40, kWidthB = 44,
                 kHeightB = 48, kBalance = 52, kTopMargin = 56, kMediaType = 60, kPasses = 64, kCopies = 68,
                 kPrintFlags = 72, kJobOptionWord = 76, kZero80 = 80, kDefaultSource = 84, kOutputPaper = 88,
                 kWord92 = 92, kZero96 = 96, kModeValueB = 104, kLayoutOffset = 112, kRollLeft = 120,
                 kStatusText = 128, kMediaTuning = 136, kInkText = 144, kPrintableArea = 152,
                 kPaperPageOption = 160, kHeadInfo = 168, kZero176 = 176, kOutputModule = 184, kBrs = 192;
// Colour and halftone record (type 0, 96 bytes).
constexpr size_t kChVersion = 0, kModeCode = 4, kMethod = 12, kTone1 = 16, kTone2 = 20, kColourTone1 = 24,
                 kBaseValue = 40, kCwList = 48, kCcmPath = 56, kIwf = 64, kHighPrecision = 72, kCalibration = 80,
                 kTone = 88;
// Module paths record (type 2, 48 bytes).
constexpr size_t kEnginePath = 0, kMwPath = 8, kResourceList = 16, kResourceCount = 24, kPathsCaller = 32,
                 kPathsOption = 40;
// Job data record of DRVUIGetJobDataEx2 (310 bytes).
constexpr size_t kDataVersion = 0, kDataMargins = 4, kDataLength = 280, kDataEdges = 284, kDataHandling = 300,
                 kDataFlag = 304, kDataPaper = 308, kDataBytes = 310;
}  // namespace render

class RenderClient {
 public:
  using CreateStructFn = void*(WINAPI*)(DWORD, void*, void*, void*);
  using DestroyStructFn = DWORD(WINAPI*)(DWORD, void*, void*);
  using CreateMelvoInfoFn = void*(WINAPI*)(void*);
  using DestroyMelvoInfoFn = DWORD(WINAPI*)(void*);
  using GetJobDataFn = DWORD(WINAPI*)(DEVMODEW*, void*, const char*);

  explicit RenderClient(const char* path = "Kalimu.dll");
  ~RenderClient();
  RenderClient(const RenderClient&) = delete;
  RenderClient& operator=(const RenderClient&) = delete;

  bool ok() const { return CreateStruct != nullptr && DestroyStruct != nullptr && CreateMelvoInfo != nullptr &&
                           DestroyMelvoInfo != nullptr && GetJobDataEx2 != nullptr; }

  CreateStructFn CreateStruct = nullptr;
  DestroyStructFn DestroyStruct = nullptr;
  CreateMelvoInfoFn CreateMelvoInfo = nullptr;
  DestroyMelvoInfoFn DestroyMelvoInfo = nullptr;
  GetJobDataFn GetJobDataEx2 = nullptr;

  // The parts of a handle the rendering library reaches.
  static uint8_t* Builder(void* handle) { return Field<uint8_t*>(handle, render::kHandleBuilder); }
  static uint8_t* Job(void* handle) { return Field<uint8_t*>(handle, render::kHandleJob); }
  static uint32_t BuilderError(void* handle) { return Field<uint32_t>(Builder(handle), render::kBuilderError); }
  static uint32_t BuilderFlags(void* handle) { return Field<uint32_t>(Builder(handle), render::kBuilderFlags); }
  static void SetBuilderFlags(void* handle, uint32_t flags) { SetField(Builder(handle), render::kBuilderFlags, flags); }
  static uint32_t JobFlags(void* handle) { return Field<uint32_t>(Job(handle), render::kJobFlags); }
  static void SetJobFlags(void* handle, uint32_t flags) { SetField(Job(handle), render::kJobFlags, flags); }

 private:
  HMODULE module_ = nullptr;
};

// True when the global-memory block that held this address has been freed.
bool GlobalBlockFreed(HGLOBAL handle);

}  // namespace testkit
