// Generator of ICC version 2 profiles, good and damaged, and their installation into a colour
// directory (by default the test prefix's own). The header, the tag table and every tag are
// written big-endian as the ICC format lays them out; the driver's private tags ("mdea",
// "drvn", "inks") follow the layouts the driver reads.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "testkit/settings/icc_tag_writer.h"

namespace testkit {

class IccProfileBuilder {
 public:
  // An RGB profile of the class with the colorant, curve and white-point tags of a matrix profile.
  explicit IccProfileBuilder(uint32_t device_class);
  IccProfileBuilder& Description(const std::string& text);
  IccProfileBuilder& DriverNames(const std::vector<std::string>& names);
  IccProfileBuilder& MediaIds(const std::vector<uint32_t>& ids, uint16_t skipped_items = 0);
  IccProfileBuilder& InkCodes(const std::vector<uint8_t>& codes);
  // Any tag, as given (replaces one of the same signature).
  IccProfileBuilder& Tag(uint32_t signature, std::vector<uint8_t> data);
  IccProfileBuilder& Without(uint32_t signature);
  std::vector<uint8_t> Build() const;

 private:
  struct TagEntry {
    uint32_t signature;
    std::vector<uint8_t> data;
  };
  uint32_t device_class_;
  std::vector<TagEntry> tags_;
};

// The two standard RGB source profiles a fresh prefix lacks, by their file names.
inline constexpr wchar_t kAdobeRgbFileName[] = L"AdobeRGB1998.icc";
inline constexpr wchar_t kColorMatchRgbFileName[] = L"ColorMatchRGB.icc";
inline constexpr wchar_t kSrgbFileName[] = L"sRGB Color Space Profile.icm";
std::vector<uint8_t> StandardRgbProfile(const std::string& description);

// An output-device profile with the driver's private tags; an empty vector leaves its tag out.
std::vector<uint8_t> PrinterProfile(const std::string& description, const std::vector<std::string>& driver_names,
                                    const std::vector<uint32_t>& media_ids, const std::vector<uint8_t>& ink_codes);

// The colour directory of the running system.
std::wstring ColourDirectory();

// Profiles written into a directory, removed again (with the directory when this object made
// it) when the object ends.
class InstalledProfiles {
 public:
  // Installs into the system's colour directory.
  InstalledProfiles();
  // Installs into a fresh empty folder of the temporary directory.
  static InstalledProfiles InScratchFolder();
  InstalledProfiles(InstalledProfiles&& other) noexcept;
  InstalledProfiles(const InstalledProfiles&) = delete;
  InstalledProfiles& operator=(const InstalledProfiles&) = delete;
  ~InstalledProfiles();

  bool Install(const std::wstring& file_name, const std::vector<uint8_t>& bytes);
  // AdobeRGB1998.icc and ColorMatchRGB.icc.
  bool InstallStandardRgbProfiles();
  // A colour directory as a driver's users have it, for a driver and its model's ink codes:
  //   sRGB Color Space Profile.icm, AdobeRGB1998.icc, ColorMatchRGB.icc  standard RGB ('mntr')
  //   Scanner.icm      'scnr', "Flatbed"
  //   Glossy.icc       ours, media 5 and 7, the model's inks        (media-specific)
  //   Generic.icc      ours (second of two names), no media, no inks (generic)
  //   OtherInk.icc     ours, media 5, other inks                    (another ink set)
  //   LongInks.icc     ours, media 5, seventeen ink codes            (inks never match)
  //   OtherDriver.icc  another driver's, media 5, the model's inks
  //   Foreign.icc      no driver names (media and inks tags unread)
  // and three files that are no profiles: readme.txt, Broken.icc (half a header), Folder.icc
  // (a folder). The sRGB file is written only when the directory lacks it.
  bool InstallDriverProfileSet(const std::string& driver, const std::vector<uint8_t>& ink_codes);
  const std::wstring& directory() const { return directory_; }
  std::wstring PathOf(const std::wstring& file_name) const { return directory_ + L"\\" + file_name; }

 private:
  InstalledProfiles(std::wstring directory, bool owns_directory);
  std::wstring directory_;
  bool owns_directory_ = false;
  std::vector<std::wstring> files_;
};

}  // namespace testkit
