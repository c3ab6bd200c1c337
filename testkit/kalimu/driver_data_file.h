// Generator of driver data files (INI form) from a table of keys.
#pragma once

#include <string>
#include <vector>

namespace testkit {

inline constexpr char kDriverInfoSection[] = "User Mode Printer Driver Information";
inline constexpr char kExportApiSection[] = "ExportAPI";
inline constexpr char kVersionSection[] = "VersionInformation";
inline constexpr char kInkInfoSection[] = "InkInfo";

struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
};

// A table of keys: sections keep the order of their first entry, keys their order within it.
class DriverDataTable {
 public:
  DriverDataTable() = default;
  DriverDataTable(std::initializer_list<IniEntry> entries) : entries_(entries) {}

  // Sets (or replaces) one key.
  DriverDataTable& Set(const std::string& section, const std::string& key,
                       const std::string& value);
  DriverDataTable& SetInfo(const std::string& key, const std::string& value) {
    return Set(kDriverInfoSection, key, value);
  }
  // Removes one key (a missing key reads "Error").
  DriverDataTable& Remove(const std::string& section, const std::string& key);

  // The INI text, CRLF line ends.
  std::string Render() const;
  // Writes the file (ANSI bytes as given); false when it cannot be written.
  bool WriteTo(const std::string& path) const;

  const std::vector<IniEntry>& entries() const { return entries_; }

 private:
  std::vector<IniEntry> entries_;
};

// A complete data file of a model with its module and file keys, the export section, the
// version section and the cartridge names of the inks, every file name relative to the data
// file's directory.
DriverDataTable StandardDriverData();

}  // namespace testkit
