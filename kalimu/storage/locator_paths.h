// Path pieces shared by the module locator's files.
#pragma once

#include <cstddef>

namespace kalimu::storage {

// drive + directory of data_file + value, bounded to 260 characters.
int JoinToDataFileDirectory(const char* data_file, const char* value, char* out, size_t len);
// File name without directory and extension.
int BaseNameOf(const char* path, char* out, size_t len);
// File name and extension without directory.
int FileNameAndExtensionOf(const char* path, char* out, size_t len);

}  // namespace kalimu::storage
