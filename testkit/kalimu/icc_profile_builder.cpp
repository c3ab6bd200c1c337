#include "testkit/kalimu/icc_profile_builder.h"

#include <windows.h>
#include <icm.h>

#include <algorithm>
#include <utility>

namespace testkit {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kTagTableEntrySize = 12;

void PutU32(std::vector<uint8_t>& out, size_t offset, uint32_t value) {
  out[offset] = uint8_t(value >> 24);
  out[offset + 1] = uint8_t(value >> 16);
  out[offset + 2] = uint8_t(value >> 8);
  out[offset + 3] = uint8_t(value);
}

// s15Fixed16 XYZ values.
std::vector<uint8_t> XyzTag(uint32_t x, uint32_t y, uint32_t z) {
  return IccTagWriter(IccCode("XYZ ")).U32(x).U32(y).U32(z).data();
}
// A curve of one gamma value (u8Fixed8).
std::vector<uint8_t> GammaTag(uint16_t gamma) { return IccTagWriter(IccCode("curv")).U32(1).U16(gamma).data(); }

}  // namespace

IccProfileBuilder::IccProfileBuilder(uint32_t device_class) : device_class_(device_class) {
  Tag(IccCode("cprt"), IccTagWriter(IccCode("text")).Text(std::string("No copyright\0", 13)).data());
  Tag(IccCode("wtpt"), XyzTag(0x0000F6D6, 0x00010000, 0x0000D32D));
  Tag(IccCode("rXYZ"), XyzTag(0x00006FA2, 0x000038F5, 0x00000390));
  Tag(IccCode("gXYZ"), XyzTag(0x00006299, 0x0000B785, 0x000018DA));
  Tag(IccCode("bXYZ"), XyzTag(0x000024A0, 0x00000F84, 0x0000B6CF));
  Tag(IccCode("rTRC"), GammaTag(0x0233));
  Tag(IccCode("gTRC"), GammaTag(0x0233));
  Tag(IccCode("bTRC"), GammaTag(0x0233));
  Description("Test profile");
}

IccProfileBuilder& IccProfileBuilder::Description(const std::string& text) {
  return Tag(IccCode("desc"), DescriptionTag(text));
}
IccProfileBuilder& IccProfileBuilder::DriverNames(const std::vector<std::string>& names) {
  return Tag(IccCode("drvn"), DriverNamesTag(names));
}
IccProfileBuilder& IccProfileBuilder::MediaIds(const std::vector<uint32_t>& ids, uint16_t skipped_items) {
  return Tag(IccCode("mdea"), MediaIdsTag(ids, skipped_items));
}
IccProfileBuilder& IccProfileBuilder::InkCodes(const std::vector<uint8_t>& codes) {
  return Tag(IccCode("inks"), InkCodesTag(codes));
}

IccProfileBuilder& IccProfileBuilder::Tag(uint32_t signature, std::vector<uint8_t> data) {
  Without(signature);
  tags_.push_back({signature, std::move(data)});
  return *this;
}

IccProfileBuilder& IccProfileBuilder::Without(uint32_t signature) {
  std::erase_if(tags_, [signature](const TagEntry& tag) { return tag.signature == signature; });
  return *this;
}

std::vector<uint8_t> IccProfileBuilder::Build() const {
  const size_t table_size = 4 + kTagTableEntrySize * tags_.size();
  std::vector<uint8_t> out(kHeaderSize + table_size, 0);
  PutU32(out, 8, 0x02100000);  // version 2.1
  PutU32(out, 12, device_class_);
  PutU32(out, 16, IccCode("RGB "));
  PutU32(out, 20, IccCode("XYZ "));
  PutU32(out, 36, IccCode("acsp"));
  PutU32(out, 40, IccCode("MSFT"));
  PutU32(out, 68, 0x0000F6D6);  // D50 illuminant
  PutU32(out, 72, 0x00010000);
  PutU32(out, 76, 0x0000D32D);
  PutU32(out, kHeaderSize, uint32_t(tags_.size()));
  size_t entry = kHeaderSize + 4;
  for (const TagEntry& tag : tags_) {
    const size_t offset = out.size();
    out.insert(out.end(), tag.data.begin(), tag.data.end());
    out.resize((out.size() + 3) & ~size_t{3}, 0);
    PutU32(out, entry, tag.signature);
    PutU32(out, entry + 4, uint32_t(offset));
    PutU32(out, entry + 8, uint32_t(tag.data.size()));
    entry += kTagTableEntrySize;
  }
  PutU32(out, 0, uint32_t(out.size()));
  return out;
}

std::vector<uint8_t> StandardRgbProfile(const std::string& description) {
  return IccProfileBuilder(kIccClassMonitor).Description(description).Build();
}

std::vector<uint8_t> PrinterProfile(const std::string& description, const std::vector<std::string>& driver_names,
                                    const std::vector<uint32_t>& media_ids, const std::vector<uint8_t>& ink_codes) {
  IccProfileBuilder builder(kIccClassPrinter);
  builder.Description(description);
  if (!driver_names.empty()) builder.DriverNames(driver_names);
  if (!media_ids.empty()) builder.MediaIds(media_ids);
  if (!ink_codes.empty()) builder.InkCodes(ink_codes);
  return builder.Build();
}

std::wstring ColourDirectory() {
  wchar_t directory[MAX_PATH] = {};
  DWORD size = sizeof(directory);
  if (!GetColorDirectoryW(nullptr, directory, &size)) return {};
  return directory;
}

InstalledProfiles::InstalledProfiles() : InstalledProfiles(ColourDirectory(), false) {}

InstalledProfiles::InstalledProfiles(std::wstring directory, bool owns_directory)
    : directory_(std::move(directory)), owns_directory_(owns_directory) {}

InstalledProfiles::InstalledProfiles(InstalledProfiles&& other) noexcept
    : directory_(std::move(other.directory_)),
      owns_directory_(std::exchange(other.owns_directory_, false)),
      files_(std::move(other.files_)) {
  other.files_.clear();
}

InstalledProfiles InstalledProfiles::InScratchFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  for (unsigned attempt = 0;; ++attempt) {
    const std::wstring folder = std::wstring(temp) + L"kalimu-icc-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(GetTickCount() + attempt);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return InstalledProfiles(folder, true);
    if (attempt > 100) return InstalledProfiles(std::wstring(temp), false);
  }
}

InstalledProfiles::~InstalledProfiles() {
  for (const std::wstring& file : files_) {
    if (!DeleteFileW(PathOf(file).c_str())) RemoveDirectoryW(PathOf(file).c_str());
  }
  if (owns_directory_) RemoveDirectoryW(directory_.c_str());
}

bool InstalledProfiles::Install(const std::wstring& file_name, const std::vector<uint8_t>& bytes) {
  const HANDLE file = CreateFileW(PathOf(file_name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  if (std::find(files_.begin(), files_.end(), file_name) == files_.end()) files_.push_back(file_name);
  return ok;
}

bool InstalledProfiles::InstallStandardRgbProfiles() {
  return Install(kAdobeRgbFileName, StandardRgbProfile("Adobe RGB (1998)")) &&
         Install(kColorMatchRgbFileName, StandardRgbProfile("ColorMatch RGB"));
}

}  // namespace testkit

namespace testkit {

bool InstalledProfiles::InstallDriverProfileSet(const std::string& driver, const std::vector<uint8_t>& ink_codes) {
  bool ok = true;
  if (GetFileAttributesW(PathOf(kSrgbFileName).c_str()) == INVALID_FILE_ATTRIBUTES)
    ok &= Install(kSrgbFileName, StandardRgbProfile("sRGB IEC61966-2.1"));
  ok &= InstallStandardRgbProfiles();
  ok &= Install(L"Scanner.icm", IccProfileBuilder(kIccClassScanner).Description("Flatbed").Build());
  ok &= Install(L"Glossy.icc", PrinterProfile("Glossy photo", {driver}, {5, 7}, ink_codes));
  ok &= Install(L"Generic.icc", PrinterProfile("Any paper", {"Other", driver}, {}, {}));
  std::vector<uint8_t> other_inks = ink_codes;
  other_inks.push_back(0x99);
  ok &= Install(L"OtherInk.icc", PrinterProfile("Other inks", {driver}, {5}, other_inks));
  ok &= Install(L"LongInks.icc", PrinterProfile("Long inks", {driver}, {5}, std::vector<uint8_t>(17, 0x11)));
  ok &= Install(L"OtherDriver.icc", PrinterProfile("Not ours", {"Someone Else"}, {5}, ink_codes));
  ok &= Install(L"Foreign.icc", PrinterProfile("Foreign", {}, {5}, ink_codes));
  ok &= Install(L"readme.txt", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'o', 'f', 'i', 'l', 'e'});
  ok &= Install(L"Broken.icc", std::vector<uint8_t>(60, 0));
  ok &= CreateDirectoryW(PathOf(L"Folder.icc").c_str(), nullptr) != 0;
  files_.push_back(L"Folder.icc");
  return ok;
}

}  // namespace testkit
