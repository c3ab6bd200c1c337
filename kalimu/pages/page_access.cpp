// The pages' way to their records and to the resource library's texts.
#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

void StorePageParam(HWND window, PageParam* param) {
  SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(param));
}

HMODULE ResourceModuleOf(const PageParam& param) {
  if (param.shared != nullptr && param.shared->resource_module != nullptr) return param.shared->resource_module;
  return param.context != nullptr ? param.context->resource_module : nullptr;
}

int LoadPageString(const PageParam& param, UINT id, char* out, int size) {
  if (out == nullptr || size <= 0) return 0;
  out[0] = '\0';
  const int n = LoadStringA(ResourceModuleOf(param), id, out, size);
  if (n <= 0) out[0] = '\0';
  return n > 0 ? n : 0;
}

int LoadPageStringW(const PageParam& param, UINT id, wchar_t* out, int size) {
  if (out == nullptr || size <= 0) return 0;
  out[0] = L'\0';
  const int n = LoadStringW(ResourceModuleOf(param), id, out, size);
  if (n <= 0) out[0] = L'\0';
  return n > 0 ? n : 0;
}

}  // namespace kalimu::pages
