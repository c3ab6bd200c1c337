// How the pages and the dialogs opened from them reach their sheet's records and the resource
// library's texts.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/page_records.h"

namespace kalimu::pages {

// Stores the PageParam in the window's DWLP_USER slot.
void StorePageParam(HWND window, PageParam* param);

// The resource library of the sheet (strings, bitmaps, dialog templates); null without one.
HMODULE ResourceModuleOf(const PageParam& param);

// String `id` of the resource library into `out` (`size` characters, always terminated; empty
// when the string is absent). Answers the characters loaded.
int LoadPageString(const PageParam& param, UINT id, char* out, int size);
int LoadPageStringW(const PageParam& param, UINT id, wchar_t* out, int size);

}  // namespace kalimu::pages
