// Generator of driver data files (INI form) from a table of keys.
#include "testkit/kalimu/driver_data_file.h"

#include <algorithm>

#include "testkit/windows/printer_fixture.h"

namespace testkit {

DriverDataTable& DriverDataTable::Set(const std::string& section, const std::string& key,
                                      const std::string& value) {
  for (IniEntry& entry : entries_) {
    if (entry.section == section && entry.key == key) {
      entry.value = value;
      return *this;
    }
  }
  entries_.push_back({section, key, value});
  return *this;
}

DriverDataTable& DriverDataTable::Remove(const std::string& section, const std::string& key) {
  std::erase_if(entries_, [&](const IniEntry& e) { return e.section == section && e.key == key; });
  return *this;
}

std::string DriverDataTable::Render() const {
  std::vector<std::string> sections;
  for (const IniEntry& entry : entries_) {
    if (std::find(sections.begin(), sections.end(), entry.section) == sections.end()) {
      sections.push_back(entry.section);
    }
  }
  std::string text;
  for (const std::string& section : sections) {
    text += "[" + section + "]\r\n";
    for (const IniEntry& entry : entries_) {
      if (entry.section == section) text += entry.key + "=" + entry.value + "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

bool DriverDataTable::WriteTo(const std::string& path) const {
  return WriteFileText(path, Render());
}

DriverDataTable StandardDriverData() {
  DriverDataTable table;
  const IniEntry info[] = {
      {kDriverInfoSection, "OutPutResource", "KVOUT.RES"},
      {kDriverInfoSection, "CfgFileI", "KVMODEL.CFG"},
      {kDriverInfoSection, "UcfFileI", "KVUSER.UCF"},
      {kDriverInfoSection, "LangIDI", "1033.LNG"},
      {kDriverInfoSection, "UIModuleI", "KVUI64.DLL"},
      {kDriverInfoSection, "HelpFile", "KVHELP.CHM"},
      {kDriverInfoSection, "HelpFileS", "KVHELPS.CHM"},
      {kDriverInfoSection, "WatFileI", "KVMARK.WAT"},
      {kDriverInfoSection, "OutputModuleI", "KVOUT64.DLL"},
      {kDriverInfoSection, "OutputModuleI_XCMD3", "KVXCMD64.DLL"},
      {kDriverInfoSection, "MWModule", "KVMW64.DLL"},
      {kDriverInfoSection, "HalftoneEngineModule", "Tonvar.dll"},
      {kDriverInfoSection, "OutPutResouceNum", "3.NUM"},
      {kDriverInfoSection, "WaterMarkDialog", "KVWMDLG.DLL"},
      {kDriverInfoSection, "InkDispControl", "KVINK.DLL"},
      {kDriverInfoSection, "PrePrnI", "KVPRE.EXE"},
      {kDriverInfoSection, "PreviewUII", "KVPVW.DLL"},
      {kDriverInfoSection, "PreviewUI2I", "KVPVWE.DLL"},
      {kDriverInfoSection, "ModelNameI", "NORVA KV-4800"},
      {kDriverInfoSection, "UtilModuleI", "KVUTIL.DLL"},
      {kDriverInfoSection, "PellanI", "Pellan40.EXE"},
      {kDriverInfoSection, "BRSModule", "KVBRS.DLL"},
      {kDriverInfoSection, "UtilModuleIEXE", "KVUTIL.EXE"},
      {kDriverInfoSection, "UIRESModuleI64", "KVRES64.DLL"},
      {kDriverInfoSection, "UIRES2ModuleI64", "KVRESE64.DLL"},
      {kDriverInfoSection, "STM3ModuleI64", "KVSTM64.DLL"},
      {kExportApiSection, "PICPreset", "KVPIC.DLL"},
      {kVersionSection, "DriverVersion", "1.00"},
      // Cartridge names by ink, shown after the ink's name.
      {kInkInfoSection, "BK", "KV-T801 BK"},
      {kInkInfoSection, "CY", "KV-T802 C"},
      {kInkInfoSection, "MA", "KV-T803 M"},
      {kInkInfoSection, "YE", "KV-T804 Y"},
      {kInkInfoSection, "LC", "KV-T805 LC"},
      {kInkInfoSection, "LM", "KV-T806 LM"},
      {kInkInfoSection, "PK", "KV-T807 PK"},
      {kInkInfoSection, "MK", "KV-T808 MK"},
      {kInkInfoSection, "LK", "KV-T809 LK"},
      {kInkInfoSection, "CL", "KV-T810 CL"},
  };
  for (const IniEntry& entry : info) table.Set(entry.section, entry.key, entry.value);
  return table;
}

}  // namespace testkit
