// Text conversion in global memory, device-mode copy, printer open by ANSI
// name and the plain message box.
#include <cstring>

#include "kalimu/platform/text_helpers.h"

#include <winspool.h>

namespace kalimu::platform {

wchar_t* AllocWideFromAnsi(const char* text) {
  if (text == nullptr) return nullptr;
  const int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (chars <= 0) return nullptr;
  auto* block = static_cast<wchar_t*>(GlobalAlloc(GPTR, sizeof(wchar_t) * chars));
  if (block == nullptr) return nullptr;
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, block, chars) <= 0) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

char* AllocAnsiFromWide(const wchar_t* text) {
  if (text == nullptr) return nullptr;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return nullptr;
  auto* block = static_cast<char*>(GlobalAlloc(GPTR, bytes));
  if (block == nullptr) return nullptr;
  if (WideCharToMultiByte(CP_ACP, 0, text, -1, block, bytes, nullptr, nullptr) <= 0) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

void FreeGlobalBlock(void* block) {
  if (block != nullptr) GlobalFree(block);
}

void CopyDevModeRecord(const DEVMODEW* source, DEVMODEW* destination) {
  if (source == nullptr || destination == nullptr) return;
  if (source->dmSize == 0) {
    std::memcpy(destination, source, 8);
    return;
  }
  const size_t total = static_cast<size_t>(source->dmSize) + source->dmDriverExtra;
  std::memmove(destination, source, total);
}

BOOL OpenPrinterByAnsiName(const char* printer_name, HANDLE* out_handle) {
  wchar_t* wide = AllocWideFromAnsi(printer_name);
  if (wide == nullptr) return FALSE;
  const BOOL ok = OpenPrinterW(wide, out_handle, nullptr);
  FreeGlobalBlock(wide);
  return ok;
}

int ShowDlgDllMessage(const char* text) {
  return MessageBoxA(nullptr, text, "Dlg DLL Message", MB_OK);
}

}  // namespace kalimu::platform
