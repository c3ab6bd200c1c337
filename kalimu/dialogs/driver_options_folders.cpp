// The drive list and the folder tree of the driver options dialog. The tree works on the
// process's current directory while the user browses; every path it builds from folder names
// is bounded by MAX_PATH, and a longer one is neither listed nor entered.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "kalimu/dialogs/driver_options_dialog.h"

namespace kalimu::dialogs {
namespace {

constexpr UINT kDirectoryListing = DDL_EXCLUSIVE | DDL_DIRECTORY | DDL_HIDDEN;  // 0x8012

LRESULT Tree(HWND dialog, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  return SendDlgItemMessageA(dialog, kFolderTree, message, wparam, lparam);
}
LRESULT Work(HWND dialog, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
  return SendDlgItemMessageA(dialog, kFolderWorkList, message, wparam, lparam);
}

// Text of list item `index` into out; false when it does not fit.
bool ItemText(HWND dialog, int list, int index, char* out, size_t size) {
  const LRESULT length = SendDlgItemMessageA(dialog, list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0 || static_cast<size_t>(length) >= size) return false;
  SendDlgItemMessageA(dialog, list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(out));
  return true;
}

void AddTreeItem(HWND dialog, const char* text, uint16_t kind, uint16_t indent) {
  const LRESULT item = Tree(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (item >= 0) Tree(dialog, LB_SETITEMDATA, static_cast<WPARAM>(item), MAKELONG(indent, kind));
}

bool Append(char* out, size_t size, const char* text) {
  const size_t used = std::strlen(out);
  const size_t more = std::strlen(text);
  if (used + more >= size) return false;
  std::memcpy(out + used, text, more + 1);
  return true;
}

// Joins items `from`..`to` walking up from `to`: `to` itself and each item of kind 11 or 12.
int ComposeFrom(HWND dialog, int to, char* out, size_t size) {
  char composed[MAX_PATH] = {};
  for (int i = to; i >= 0; --i) {
    const auto kind = HIWORD(static_cast<DWORD>(Tree(dialog, LB_GETITEMDATA, static_cast<WPARAM>(i))));
    if (i != to && kind != kOpenFolder && kind != kCurrentFolder) continue;
    char part[MAX_PATH] = {};
    if (!ItemText(dialog, kFolderTree, i, part, sizeof(part) - 1)) return 0;
    const size_t n = std::strlen(part);
    if (n == 0 || part[n - 1] != '\\') std::strcat(part, "\\");
    char joined[MAX_PATH] = {};
    if (!Append(joined, sizeof(joined), part) || !Append(joined, sizeof(joined), composed)) return 0;
    std::memcpy(composed, joined, sizeof(composed));
  }
  const size_t n = std::strlen(composed);
  if (n == 0 || n > size) return 0;  // n - 1 characters and the terminator
  composed[n - 1] = '\0';
  std::memcpy(out, composed, n);
  return 1;
}

void EnterFolder(HWND dialog, const char* target) {
  if (!SetCurrentDirectoryA(target)) return;
  char current[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof(current), current);
  if (n > 0 && n < sizeof(current) && FillFolderTree(dialog, current)) ShowFolderPath(dialog);
}

}  // namespace

void FillDriveCombo(HWND dialog, char letter) {
  SendDlgItemMessageA(dialog, kDriveCombo, CB_RESETCONTENT, 0, 0);
  Work(dialog, LB_RESETCONTENT);
  char pattern[] = "*";
  Work(dialog, LB_DIR, DDL_DRIVES | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>(pattern));
  const int entries = static_cast<int>(Work(dialog, LB_GETCOUNT));
  const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  for (int i = 0; i < entries; ++i) {
    char entry[32] = {};
    if (!ItemText(dialog, kFolderWorkList, i, entry, sizeof(entry)) || std::strlen(entry) < 3) continue;
    CharLowerA(entry);
    const char drive = entry[2];  // "[-c-]"
    if (drive < 'a' || drive > 'z') continue;
    const char root[] = {drive, ':', '\\', '\0'};
    if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
    const char text[] = {drive, ':', ' ', ' ', '\0'};
    const LRESULT item = SendDlgItemMessageA(dialog, kDriveCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (item < 0) continue;
    SendDlgItemMessageA(dialog, kDriveCombo, CB_SETITEMDATA, static_cast<WPARAM>(item),
                        static_cast<LPARAM>((drive - 'a') | (kFixedDriveKind << 16)));
    if (drive == wanted) SendDlgItemMessageA(dialog, kDriveCombo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  }
}

int FillFolderTree(HWND dialog, const char* path) {
  char work[MAX_PATH] = {};
  const size_t length = std::strlen(path);
  if (length == 0 || length >= sizeof(work)) return 0;
  std::memcpy(work, path, length + 1);
  if (work[length - 1] == '\\') work[length - 1] = '\0';
  char pattern[MAX_PATH] = {};
  const bool listable = std::snprintf(pattern, sizeof(pattern), "%s\\*.*", work) < static_cast<int>(sizeof(pattern));

  HWND tree = GetDlgItem(dialog, kFolderTree);
  SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
  Tree(dialog, LB_RESETCONTENT);
  Work(dialog, LB_RESETCONTENT);
  CharLowerA(work);
  SetWindowTextA(tree, work);

  // One item per component; the first keeps its backslash.
  uint16_t index = 0;
  const char* start = work;
  const char* slash = std::strchr(start, '\\');
  {
    char first[MAX_PATH] = {};
    const size_t n = slash != nullptr ? static_cast<size_t>(slash - start) : std::strlen(start);
    std::memcpy(first, start, n);
    first[n] = '\\';
    AddTreeItem(dialog, first, slash != nullptr ? kOpenFolder : kCurrentFolder, index++);
  }
  while (slash != nullptr) {
    start = slash + 1;
    slash = std::strchr(start, '\\');
    char part[MAX_PATH] = {};
    const size_t n = slash != nullptr ? static_cast<size_t>(slash - start) : std::strlen(start);
    std::memcpy(part, start, n);
    AddTreeItem(dialog, part, slash != nullptr ? kOpenFolder : kCurrentFolder, index++);
  }
  const int current = index - 1;

  if (listable) {
    Work(dialog, LB_DIR, kDirectoryListing, reinterpret_cast<LPARAM>(pattern));
    const int entries = static_cast<int>(Work(dialog, LB_GETCOUNT));
    for (int i = 0; i < entries; ++i) {
      char entry[MAX_PATH] = {};
      if (!ItemText(dialog, kFolderWorkList, i, entry, sizeof(entry))) continue;
      const size_t n = std::strlen(entry);
      if (n < 3 || entry[0] != '[' || entry[n - 1] != ']' || entry[1] == '.') continue;
      entry[n - 1] = '\0';
      const char* name = entry + 1;
      char probe[MAX_PATH] = {};
      if (std::snprintf(probe, sizeof(probe), "%s\\%s", work, name) >= static_cast<int>(sizeof(probe))) continue;
      if ((GetFileAttributesA(probe) & FILE_ATTRIBUTE_READONLY) != 0) continue;
      char lower[MAX_PATH] = {};
      std::memcpy(lower, name, std::strlen(name) + 1);
      CharLowerA(lower);
      AddTreeItem(dialog, lower, kSubfolder, static_cast<uint16_t>(current + 1));
    }
  }

  SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
  const LONG style = GetWindowLongA(tree, GWL_STYLE);
  SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
  if ((style & WS_VSCROLL) != 0 && GetScrollInfo(tree, SB_VERT, &info) &&
      info.nMax - info.nMin + 1 > static_cast<int>(info.nPage)) {
    Tree(dialog, LB_SETTOPINDEX, static_cast<WPARAM>(current < 2 ? 0 : current - 1));
  }
  Tree(dialog, LB_SETCURSEL, static_cast<WPARAM>(current));
  return 1;
}

int ComposeFolderPath(HWND dialog, char* out, size_t size) {
  const int selected = static_cast<int>(Tree(dialog, LB_GETCURSEL));
  if (selected < 0) return 0;
  return ComposeFrom(dialog, selected, out, size);
}

void ShowFolderPath(HWND dialog) {
  char path[MAX_PATH + 1] = {};
  if (!ComposeFolderPath(dialog, path, MAX_PATH)) return;
  if (std::strlen(path) == 2 && path[1] == ':') std::strcat(path, "\\");
  SetDlgItemTextA(dialog, kFolderText, path);
}

void EnterFolderItem(HWND dialog) {
  const int selected = static_cast<int>(Tree(dialog, LB_GETCURSEL));
  if (selected < 0) return;
  const auto kind = HIWORD(static_cast<DWORD>(Tree(dialog, LB_GETITEMDATA, static_cast<WPARAM>(selected))));
  if (kind == kCurrentFolder) return;
  char target[MAX_PATH] = {};
  if (kind == kOpenFolder && selected != 0) {
    // The path up to the clicked ancestor, from the items themselves.
    if (!ComposeFrom(dialog, selected, target, sizeof(target))) return;
  } else if (!ItemText(dialog, kFolderTree, selected, target, sizeof(target))) {
    return;
  }
  EnterFolder(dialog, target);
}

void EnterSelectedDrive(HWND dialog) {
  char previous[MAX_PATH] = {};
  const DWORD kept = GetCurrentDirectoryA(sizeof(previous), previous);
  const LRESULT item = SendDlgItemMessageA(dialog, kDriveCombo, CB_GETCURSEL, 0, 0);
  char drive[32] = {};
  if (item < 0 || SendDlgItemMessageA(dialog, kDriveCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0) >=
                      static_cast<LRESULT>(sizeof(drive))) {
    return;
  }
  SendDlgItemMessageA(dialog, kDriveCombo, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(drive));
  for (size_t n = std::strlen(drive); n > 0 && drive[n - 1] == ' '; --n) drive[n - 1] = '\0';
  char current[MAX_PATH] = {};
  DWORD n = 0;
  if (SetCurrentDirectoryA(drive) && (n = GetCurrentDirectoryA(sizeof(current), current)) > 0 &&
      n < sizeof(current) && FillFolderTree(dialog, current)) {
    Tree(dialog, LB_SETTOPINDEX, 0);
    ShowFolderPath(dialog);
    return;
  }
  if (kept > 0 && kept < sizeof(previous)) SetCurrentDirectoryA(previous);
}

}  // namespace kalimu::dialogs
