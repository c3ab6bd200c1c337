// The rendering library's client of Kalimu.dll.
#include "testkit/kalimu/render_client.h"

namespace testkit {
namespace {

constexpr WORD kOrdinalCreateStruct = 100;
constexpr WORD kOrdinalDestroyStruct = 101;
constexpr WORD kOrdinalCreateMelvoInfo = 102;
constexpr WORD kOrdinalDestroyMelvoInfo = 103;
constexpr WORD kOrdinalGetJobDataEx2 = 105;

template <class Fn>
Fn Resolve(HMODULE module, WORD ordinal) {
  return module != nullptr ? reinterpret_cast<Fn>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))) : nullptr;
}

}  // namespace

RenderClient::RenderClient(const char* path) : module_(LoadLibraryA(path)) {
  CreateStruct = Resolve<CreateStructFn>(module_, kOrdinalCreateStruct);
  DestroyStruct = Resolve<DestroyStructFn>(module_, kOrdinalDestroyStruct);
  CreateMelvoInfo = Resolve<CreateMelvoInfoFn>(module_, kOrdinalCreateMelvoInfo);
  DestroyMelvoInfo = Resolve<DestroyMelvoInfoFn>(module_, kOrdinalDestroyMelvoInfo);
  GetJobDataEx2 = Resolve<GetJobDataFn>(module_, kOrdinalGetJobDataEx2);
}

RenderClient::~RenderClient() {
  if (module_ != nullptr) FreeLibrary(module_);
}

bool GlobalBlockFreed(HGLOBAL handle) { return GlobalFlags(handle) == GMEM_INVALID_HANDLE; }

}  // namespace testkit
