// The spooler's driver events: the driver installed (the status monitor's keys and installer)
// and removed (the installer's removal, the monitor's keys and the driver's own keys).
#pragma once

#include <windows.h>

namespace kalimu::storage {
class DriverRegistry;
}

namespace kalimu::driver {

// The status monitor's keys and values in both registry views. Each answers 1 on success, 0 on
// failure or for a null registry.
int CreateRegKeyBothViews(const storage::DriverRegistry* registry, int kind, DWORD options, REGSAM access);
int SetRegValueBothViews(const storage::DriverRegistry* registry, const char* name, int id, DWORD type,
                         const void* data, DWORD size);
int QueryRegValue(const storage::DriverRegistry* registry, const char* name, int id, void* data, DWORD* size);
int DeleteRegValueBothViews(const storage::DriverRegistry* registry, const char* name, int id);
int DeleteRegKeyBothViews(const storage::DriverRegistry* registry, int kind);
int DeleteRegTreeBothViews(const storage::DriverRegistry* registry, int kind);

// The driver's install (installer library or program) and removal for a driver whose data
// file is data_file. The export accepts events 1 and 2 at level 3 only.
void InstallDriver(const char* driver_name, const char* data_file);
void RemoveDriver(const char* driver_name, const char* data_file);

}  // namespace kalimu::driver
