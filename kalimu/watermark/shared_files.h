// Files of the watermark editor in the shared folder: created with world access, uniquely
// named, their folders, and the stamp (length, DOS date and time) an entry keeps of a file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kalimu/watermark/dib_format.h"

namespace kalimu::watermark {

// Creates path (when it does not exist yet) with a DACL granting Everyone FILE_ALL_ACCESS, and
// closes it. 1 whether or not the file was new; 0 only when the descriptor cannot be built.
int CreateSharedFile(const char* path);

// A new, empty file named folder + the first three characters of prefix + a hexadecimal number
// + extension (none when null), created with world access; its name goes to out (MAX_PATH).
// The temporary files GetTempFileNameA makes on the way are removed again. 1, or 0 when no
// name can be had (a missing folder, a name that does not fit).
int MakeUniqueFileName(char* out, const char* prefix, const char* extension, const char* folder);

// Drive and folder of a path with its trailing separator; without a path the Windows folder
// with a trailing backslash. 1, or 0 when it does not fit (out is then empty).
int GetFolderOfPath(const char* path, char* out, size_t size);

// Lead-byte test of the system code page, for the plain path helpers.
bool IsSystemLeadByte(unsigned char byte);

// Whether a file (not a folder) of that name exists, whatever the name's length.
bool FileExists(const char* path);

// Reads a whole file of at most `limit` bytes, shared for reading: kDibLoaded, kDibCannotOpen,
// kDibTooLarge, kDibNoMemory, or kDibReadFailed when fewer bytes come than its length promised.
DibStatus ReadWholeFile(const char* path, uint64_t limit, std::vector<uint8_t>* out);

// The first `count` bytes of a file (fewer when it is shorter); false when it cannot be opened.
bool ReadFilePrefix(const char* path, size_t count, std::vector<uint8_t>* out);

// Length and last-write time (DOS date and time) of a file; false when it cannot be opened.
struct FileStamp {
  int32_t length;
  uint16_t dos_date;
  uint16_t dos_time;
};
bool ReadFileStamp(const char* path, FileStamp* stamp);

}  // namespace kalimu::watermark
