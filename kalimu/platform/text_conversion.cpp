// Conversion between the system code page and UTF-16.
#include "kalimu/platform/text_conversion.h"

#include <cstring>
#include <cwchar>
#include <limits>

namespace kalimu::platform {
namespace {

// Copies units (their terminator included) into a new zero-filled fixed global block.
template <typename Char>
Char* CopyToGlobalBlock(const std::basic_string<Char>& units) {
  auto* block = static_cast<Char*>(GlobalAlloc(GPTR, sizeof(Char) * (units.size() + 1)));
  if (block != nullptr) std::memcpy(block, units.c_str(), sizeof(Char) * (units.size() + 1));
  return block;
}

}  // namespace

std::optional<std::wstring> WideFromAnsi(std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(units), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), units) != units) {
    return std::nullopt;
  }
  return wide;
}

std::optional<std::string> AnsiFromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr,
                                        nullptr);
  if (bytes <= 0) return std::nullopt;
  std::string ansi(static_cast<size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), bytes, nullptr,
                          nullptr) != bytes) {
    return std::nullopt;
  }
  return ansi;
}

wchar_t* AllocWideFromAnsi(const char* text) {
  if (text == nullptr) return nullptr;
  const auto wide = WideFromAnsi(text);
  return wide ? CopyToGlobalBlock(*wide) : nullptr;
}

char* AllocAnsiFromWide(const wchar_t* text) {
  if (text == nullptr) return nullptr;
  const auto ansi = AnsiFromWide(text);
  return ansi ? CopyToGlobalBlock(*ansi) : nullptr;
}

void FreeGlobalBlock(void* block) {
  if (block != nullptr) GlobalFree(block);
}

}  // namespace kalimu::platform
