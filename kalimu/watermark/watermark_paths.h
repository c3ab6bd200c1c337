// Names of the watermark editor's files: a path's folder and file name, and the name of a
// bitmap's thumbnail. Plain C++ over narrow text; double-byte characters are walked whole
// (a trail byte may equal '\\' in code page 932), told by the caller's lead-byte test.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kalimu::watermark {

using LeadByteTest = bool (*)(unsigned char byte);
inline bool NoLeadBytes(unsigned char) { return false; }

// Offset of the file name in a path: behind its last backslash, slash or drive colon.
size_t FileNameOffset(std::string_view path, LeadByteTest is_lead = NoLeadBytes);

// The folder part of a path, with its trailing separator ("" when the path has none).
std::string FolderOfPath(std::string_view path, LeadByteTest is_lead = NoLeadBytes);

inline constexpr char kThumbnailExtension[] = "MWB";

// The thumbnail of `source` kept in `folder` (which ends with its separator): the folder, the
// source's file name, and in place of that name's extension "MWB" (a name without one gets
// ".MWB"; a dot in the folder is not an extension). Never the source's own path: a source
// that already is that name gets ".MWB" appended.
std::string ThumbnailNameFor(std::string_view folder, std::string_view source, LeadByteTest is_lead = NoLeadBytes);

}  // namespace kalimu::watermark
