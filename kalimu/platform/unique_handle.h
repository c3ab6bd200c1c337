// Single owner of one Win32 handle: released by its destructor, by Reset or by a move-assignment,
// never by a release written out on each path. Traits name the handle type, its empty value and
// its release call.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <utility>

namespace kalimu::platform {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::Empty(); }
  explicit operator bool() const { return valid(); }

  // Releases the held handle (if any) and takes handle.
  void Reset(Handle handle = Traits::Empty()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != Traits::Empty()) Traits::Close(old);
  }
  // Gives the handle up without releasing it.
  Handle Release() { return std::exchange(handle_, Traits::Empty()); }
  // Releases the held handle and answers the slot an API call writes a new one into.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Empty();
};

// Registry keys (RegOpenKeyEx, RegCreateKeyEx): RegCloseKey.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static HKEY Empty() { return nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
// Kernel objects whose failure value is null (events, mutexes, threads): CloseHandle.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
// Files (CreateFile answers INVALID_HANDLE_VALUE on failure): CloseHandle.
struct FileHandleTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
// Loaded libraries: FreeLibrary.
struct ModuleTraits {
  using Handle = HMODULE;
  static HMODULE Empty() { return nullptr; }
  static void Close(HMODULE module) { FreeLibrary(module); }
};
// Global-memory blocks: GlobalFree.
struct GlobalMemoryTraits {
  using Handle = HGLOBAL;
  static HGLOBAL Empty() { return nullptr; }
  static void Close(HGLOBAL memory) { GlobalFree(memory); }
};
// One lock of a moveable global-memory block: GlobalUnlock. Declared after the block's own
// owner, so that the lock ends before the block is freed.
struct GlobalLockTraits {
  using Handle = HGLOBAL;
  static HGLOBAL Empty() { return nullptr; }
  static void Close(HGLOBAL memory) { GlobalUnlock(memory); }
};
// Security identifiers of AllocateAndInitializeSid: FreeSid.
struct SidTraits {
  using Handle = PSID;
  static PSID Empty() { return nullptr; }
  static void Close(PSID sid) { FreeSid(sid); }
};

// Printer handles of OpenPrinter: ClosePrinter.
struct PrinterTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static void Close(HANDLE printer) { ClosePrinter(printer); }
};

using UniqueKey = UniqueHandle<RegistryKeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueGlobal = UniqueHandle<GlobalMemoryTraits>;
using UniqueGlobalLock = UniqueHandle<GlobalLockTraits>;
using UniqueSid = UniqueHandle<SidTraits>;
using UniquePrinter = UniqueHandle<PrinterTraits>;

}  // namespace kalimu::platform
