// The records every page and every dialog opened from a page share: PageShared, the state of one
// document sheet that outlives a single page, and the PageParam and SheetContext that the driver
// interface declares (kalimu/driver/sheet_context.h) and fills before the pages exist.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "kalimu/driver/sheet_context.h"
#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::pages {

using driver::PageParam;
using driver::SheetContext;

// Edit-state words of the adjustment edits (PageShared::adjust_edit_states). One word per edit:
// the colour-adjust rows of the advanced dialog, the toning rows and coordinates, and the value
// edits of the slider adjustment dialog.
enum AdjustEditSlot : int {
  kColorAdjustEdit0 = 0,   // edits 2080..2085 -> slots 0..5
  kToningEdit0 = 6,        // edits 8510..8514 -> slots 6..10
  kToningXEdit = 11,       // edit 8557
  kToningYEdit = 12,       // edit 8560
  kSliderAdjustEdit0 = 13, // edits 2780, 2782, 2783 -> slots 13..15
  kAdjustEditSlots = 16,
};
// Bits of an edit-state word.
inline constexpr uint16_t kEditActive = 1;        // the row is shown and enabled
inline constexpr uint16_t kEditNegative = 2;      // the value's sign is negative
inline constexpr uint16_t kEditProgramText = 4;   // the program is writing the text: ignore EN_CHANGE

inline constexpr int kDriverOptionBitmaps = 8;

// State of one document sheet shared by its four pages and the dialogs they open. Created
// zero-filled by the sheet's setup; every global-memory block and GDI object it points to is
// owned by the record and released with the page resources (or by the dialog that took it).
struct PageShared {
  HWND sheet_window;        // receives change notifications; stays null (see the page frame)
  HMODULE resource_module;  // the resource library, loaded as a data file

  // 1048-byte moveable global-memory copies of the device mode, or null.
  settings::DriverDevMode* sheet_snapshot;         // first page's start-up copy; Reset restores it
  settings::DriverDevMode* dialog_snapshot;        // a dialog opened from a page
  settings::DriverDevMode* inner_dialog_snapshot;  // a dialog opened from a dialog, small paper dialogs

  uint16_t ink_set_check_done;   // the Apply-time ink-set check has reported a change
  uint16_t ink_set_changed;      // the printer adjustment dialog stored another ink set
  uint16_t silent_state;         // check box 2038
  int16_t mode_picture_id;       // main page's mode picture, -1 none
  int16_t colour_picture_id;     // 7416 colour, 7415 black
  int16_t order_picture_id;      // paper page's order picture 7500..7503, -1 none
  uint16_t preview_placement;    // low 4 bits of the placement, read by the layout preview
  int16_t mode_variant_picture_id;  // advanced dialog's picture 2116: 7415 or 7416

  uint16_t adjust_edit_states[kAdjustEditSlots];

  // The advanced dialog's user-entry words: set when a user-settings entry was loaded, cleared
  // by every change there and by the main page's quality combo; chooses the preset kind at OK.
  uint16_t user_entry_applied;
  uint32_t user_entry_index;
  WCHAR clash_name[64];          // the imported entry's name in the name clash dialogs

  uint32_t monitor_present;      // the status monitor answered at sheet start
  uint32_t stm_setting;          // printer data "STMSetting" read 1
  uint32_t monitor_enabled;      // the status monitor is in use for the job
  uint16_t saved_stm_setting;    // copies the driver options dialog restores on Cancel
  uint16_t saved_monitor_enabled;

  // Watermark pictures of the layout page: the loaded DIB and its display copy (moveable global
  // memory, both of watermark_bytes bytes).
  void* watermark_bitmap;
  void* watermark_display;
  uint32_t watermark_bytes;
  void* sample_picture;          // scratch pixel buffer of the corrected sample picture
  HPALETTE preview_palette;      // made from the first 256-colour preview picture

  uint16_t folder_loaded;        // utility page: temp_folder holds the stored folder
  char temp_folder[MAX_PATH];    // folder of temporary spool files (registry value 103)

  int32_t binding_margin_max;    // limits of the binding margin dialog, current unit
  int32_t binding_margin_min;
  uint32_t unused_flags;         // nothing sets it; read as 0

  HCURSOR toning_saved_cursor;   // the cursor outside the toning circle
  int32_t dialog_full_width;     // advanced dialog's width with its right-hand part
  int32_t dialog_right_part_width;
  HBITMAP driver_option_bitmaps[kDriverOptionBitmaps];

  uint16_t ignore_name_change;   // user paper size dialog: the program writes the name edit
  uint16_t last_paper_position;  // user paper size dialog: last accepted list position
  uint16_t page_order_choice;    // layout page's page order 0..3
  uint16_t page_order_copy;      // the page order dialog's copy taken at opening
};
static_assert(std::is_trivially_copyable_v<PageShared>);
static_assert(std::is_standard_layout_v<PageShared>);

// The shared record of a page or dialog whose PageParam is stored in DWLP_USER; null before
// WM_INITDIALOG stored it.
inline PageParam* PageParamOf(HWND window) {
  return reinterpret_cast<PageParam*>(GetWindowLongPtrA(window, DWLP_USER));
}

}  // namespace kalimu::pages
