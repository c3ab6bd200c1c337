// The records that live as long as one property sheet: the sheet context the driver interface
// creates before the pages exist, and the one PageParam handed to every page and dialog.
// The entry points fill them; the pages only read them and change the fields their own code names.
#pragma once

#include <windows.h>
#include <compstui.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {
struct PageShared;  // the pages' shared state, declared with the pages
}  // namespace kalimu::pages

namespace kalimu::driver {

// Printer data value "KVProperty" (REG_BINARY). A stored value shorter than the record, or of
// another version, counts as absent.
#pragma pack(push, 1)
struct PrinterPropertyRecord {
  uint16_t version;       // kPrinterPropertyVersion
  uint16_t reserved0;
  uint32_t source_count;  // the model's paper sources when the record is created here
  uint8_t reserved[80];
};
#pragma pack(pop)
static_assert(sizeof(PrinterPropertyRecord) == 88);
static_assert(offsetof(PrinterPropertyRecord, source_count) == 4);

inline constexpr uint16_t kPrinterPropertyVersion = 0x0500;
inline constexpr char kPrinterPropertyValue[] = "KVProperty";

// Sheet kinds of CreateSheetContext.
enum SheetKind : int { kDeviceSheet = 1, kDocumentSheet = 2 };

// Page order of the document sheet's page handles.
enum SheetPage : int { kMainPage = 0, kPaperPage = 1, kLayoutPage = 2, kUtilityPage = 3, kSheetPages = 4 };

// One per sheet, allocated zero-filled from the private heap it owns; destroying the heap frees
// everything allocated from it.
struct SheetContext {
  HANDLE heap;
  PFNCOMPROPSHEET sheet_callback;  // pfnComPropSheet of the PROPSHEETUI_INFO, kept at INIT
  HANDLE sheet_handle;             // hComPropSheet
  uint32_t may_change;             // 1 when the caller's mode lacks DM_NOPERMISSION
  uint32_t pages_ready;            // 1 after a successful setup
  PrinterPropertyRecord printer_properties;
  settings::DriverDevMode dev_mode;  // the record the sheet edits and hands back
  HANDLE printer;
  LPARAM page_handles[kSheetPages];  // what the sheet callback answered for each added page
  HMODULE resource_module;           // the user-interface resource library, loaded as a data file
  settings::JobSettings* settings;   // built on dev_mode; owned, destroyed with the context
  uint32_t notification_style;       // 1: a custom track bar reports its own window in WM_HSCROLL
};

// The creation parameter of every page of one sheet and the initialisation value of every
// dialog opened from a page. The device sheet's has no PageShared.
struct PageParam {
  settings::JobSettings* settings;
  pages::PageShared* shared;
  SheetContext* context;
};

// A context for one sheet (kind kDeviceSheet or kDocumentSheet) or one call without a sheet: on
// a private heap of its own, holding the printer's current record with dev_mode (the caller's,
// or null) merged in for a document sheet, and the printer's "KVProperty" record (a fresh one
// when none is stored). Null when the printer, its driver or its settings cannot be read.
SheetContext* CreateSheetContext(HANDLE printer, const DEVMODEW* dev_mode, int kind);
// Destroys the context's settings object when it has one, then its heap with everything on it.
void DestroySheetContext(SheetContext* context);

}  // namespace kalimu::driver
