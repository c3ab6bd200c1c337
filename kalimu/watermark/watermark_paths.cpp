// Folder, file name and thumbnail names of watermark files.
#include "kalimu/watermark/watermark_paths.h"

#include <cctype>

namespace kalimu::watermark {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Offset behind the last character c of text that is a character of its own (not a trail byte).
size_t AfterLast(std::string_view text, LeadByteTest is_lead, bool (*match)(char)) {
  size_t after = 0;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (is_lead(byte) && i + 1 < text.size()) {
      i += 2;
      continue;
    }
    if (match(text[i])) after = i + 1;
    ++i;
  }
  return after;
}

}  // namespace

size_t FileNameOffset(std::string_view path, LeadByteTest is_lead) {
  return AfterLast(path, is_lead, [](char c) { return c == '\\' || c == '/' || c == ':'; });
}

std::string FolderOfPath(std::string_view path, LeadByteTest is_lead) {
  return std::string(path.substr(0, FileNameOffset(path, is_lead)));
}

std::string ThumbnailNameFor(std::string_view folder, std::string_view source, LeadByteTest is_lead) {
  const std::string_view file = source.substr(FileNameOffset(source, is_lead));
  const size_t after_dot = AfterLast(file, is_lead, [](char c) { return c == '.'; });
  std::string name(folder);
  if (after_dot == 0) {
    name.append(file).append(".").append(kThumbnailExtension);
  } else {
    name.append(file.substr(0, after_dot)).append(kThumbnailExtension);
  }
  if (SameIgnoringCase(name, source)) name.append(".").append(kThumbnailExtension);
  return name;
}

}  // namespace kalimu::watermark
