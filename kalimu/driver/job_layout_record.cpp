// Family 0: the job layout record, its flag words and its sub-records.
#include <cstring>
#include <utility>

#include "kalimu/driver/job_layout_geometry.h"
#include "kalimu/driver/struct_builder.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/storage/driver_registry.h"
#include "kalimu/storage/registry_views.h"

namespace kalimu::driver {
namespace {

using MC = model::ModelCapabilities;

constexpr uint32_t kModeTwoPasses = 0x4000;  // print-mode word 20
constexpr uint16_t kNoValue = 0xFFFF;
constexpr size_t kIniFlagChars = 32;

// The monochrome mark of the job option word.
bool MonochromeMark(settings::JobSettings& s, uint16_t mode, const MelvoJobRecord& job,
                    const settings::JobSettings* saved) {
  const int32_t correction = s.GetCorrectionMode();
  if (s.TestJobOptionBits(0x1000) && s.GetColorMode() == 2 && (correction == 4 || correction == 7)) return true;
  if (s.GetColor() == 1 && s.TestPrintModeFlags40(static_cast<int16_t>(mode), 4)) return true;
  if (job.flags & kJobFlagDefaultMode) {
    if (job.flags & kJobFlagHandle) return job.color == 1;
    return saved != nullptr && saved->GetColor() == 1;
  }
  return false;
}

uint32_t PrintFlagWord(JobLayoutGeometry& g, uint16_t mode, const MelvoJobRecord& job, uint32_t builder_flags) {
  settings::JobSettings& s = g.settings();
  const auto m = static_cast<int16_t>(mode);
  uint16_t paper = static_cast<uint16_t>(s.GetPaperSizeIndex());
  if (s.IsUserPaperSelected()) {
    uint32_t count = 0;
    s.GetPaperSizeCount(&count);
    paper = static_cast<uint16_t>(count > 0 ? count - 1 : 0);
  }
  uint32_t p = 0;
  s.GetPaperSizeValue20(paper, &p);
  const uint32_t options = s.GetModeOptions();
  const uint32_t variant_value =
      ModeValueByVariant<uint32_t>(s, &MC::GetPrintModeValue228, &MC::GetPrintModeValue100, &MC::GetPrintModeValue164);
  const int16_t source = g.source_index();

  uint32_t f = 0;
  if ((options & 1) || (p & 8) || (s.TestPaperSourceFlags8(source, 0x20) && !(variant_value & 1))) f |= 0x01;
  if (options & 2) f |= 0x02;
  if (s.TestPrintModeFlags20(m, 0x800)) {
    f |= 0x02;
  } else if (s.TestPrintModeFlags20(m, 0x1000)) {
    f &= ~0x02u;
  }
  if (options & 4) f |= 0x04;
  if ((p & 0x800) || s.TestPaperSourceFlags8(source, 0x200)) f &= ~0x04u;
  if (s.TestPrintModeFlags20(m, 0x10000)) {
    f &= ~0x02u;
    if (!(f & 0x04)) f |= 0x02;
  }
  if (g.HasFlag20(0x10000000) && s.TestPrintModeFlags20(m, 0x10000000) && (job.flags & kJobFlagDefaultMode)) f |= 0x08;
  if (g.HasFlag24(0x400) && (options & 0xE00)) {
    f |= 0x10;
    if ((options & 0x400) && !(options & 0x800)) f |= 0x20;
    if (!(options & 0x400) && (options & 0x800)) f |= 0x40;
  }
  if (g.HasFlag24(0x8000) && s.GetModeVariant() == 2) f |= 0x80;
  if (builder_flags & kBuilderReselectMode) f |= 0x100;
  return f;
}

uint32_t JobOptionWord(JobLayoutGeometry& g, uint16_t mode, const MelvoJobRecord& job,
                       const settings::JobSettings* saved) {
  settings::JobSettings& s = g.settings();
  const int16_t source = g.source_index();
  uint32_t j = 0;
  const bool paper1 = s.TestPaperOptionBits(1) != 0;
  if (g.LargeFormat() ? (paper1 && s.TestPaperOptionBits(0x100)) : paper1) j |= 0x01;
  if (s.TestPaperSourceFlags12(source, 1)) {
    j &= ~0x01u;
    j |= 0x4000200;
  }
  if (s.TestPaperOptionBits(8)) j |= 0x400;
  if (s.TestLayoutOptionBits(4)) j |= 0x10010;
  if ((j & 0x401) && s.TestPaperOptionBits(0x100)) j |= s.TestPaperOptionBits(0x20) ? 0x800 : 0x200;
  if (s.TestCutOptionBits(1)) {
    uint32_t media = 0;
    s.GetMediaTypeValue8(s.GetCurrentMediaIndex(), &media);
    if (!(media & 4)) j |= 0x20;
    if (s.TestCutOptionBits(4) && (job.flags & kJobFlag10)) j |= 0x80000;
  }
  if (s.TestPaperOptionBits(2)) j |= 0x40;
  if (s.TestJobOptionBits(4)) j |= 0x02;
  if (s.TestJobOptionBits(1)) j |= 0x04;
  if (s.TestDeviceOptionBits(1)) j |= 0x08;
  if (s.TestMarginOptionBits(2)) j |= 0x10;
  if (g.HasFlag20(0x1000) || s.HasLayoutOptionBit16()) j |= 0x200;
  if (s.GetPagesPerSheet() < 0) j |= 0x200;
  if (s.GetModeOptions() & 8) j |= 0x80;
  if (s.IsDuplexOn()) {
    if (s.IsDuplexWithOption4()) {
      j |= 0x400200;
    } else {
      j |= (job.flags & kJobFlagDuplexOther) ? 0x5200 : 0x1200;
      if (job.flags & kJobFlagDuplexKind) j = (j & ~0x4000u) | 0x2000;
    }
    if (job.flags & kJobFlagDuplexOption) j = (j & ~0x4200u) | 0xA000;
  }
  j |= 0x80000000u;
  if (MonochromeMark(s, mode, job, saved)) j |= 0x40000;
  if (g.HasFlag20(0x3000000) ? s.GetSilentFlag() == 1 : s.TestPrintModeFlags20(static_cast<int16_t>(mode), 0x4000000)) {
    j |= 0x200000;
  }
  if ((s.GetModeOptions() & 0x100) || s.TestPrintModeFlags24(static_cast<int16_t>(mode), 1)) j |= 0x1000000;
  uint32_t platen = 0;
  if (g.HasFlag24(8 | 0x10) && s.ReadPlatenInfo(&platen) == ERROR_SUCCESS && (platen & 1)) j |= 0x2000000;
  char command[kIniFlagChars] = {};
  s.ReadDriverIniString("ModelDependentCommand", "PrePrintJS0", command, sizeof(command), "", nullptr);
  if (command[0] != '\0') j |= 0x800000;
  return j;
}

// The kind, offset and length of the layout offset block; false when the layout has none.
bool LayoutOffset(JobLayoutGeometry& g, int32_t height, int32_t edge_y, LayoutOffsetBlock* out) {
  const uint16_t f = g.layout_flags();
  if (g.LargeFormat()) {
    if (IsOneOf(f, {0x480, 0x580, 0x680, 0x780, 0x781, 0x4780})) out->kind = 1;
    else if (IsOneOf(f, {0x980, 0xA80, 0xB80, 0xB81, 0x4B80})) out->kind = 2;
    else return false;
    return true;
  }
  const model::CapTable2Record own = g.ScaledMarginRecord(kStoredFeedSelector);
  switch (f) {
    case 0x480:
    case 0x680: *out = {out->version, 3, 0, height}; return true;
    case 0x580:
    case 0x780: *out = {out->version, 1, 0, height}; return true;
    case 0xA80: *out = {out->version, 3, own.left, height - own.left}; return true;
    case 0xB80: *out = {out->version, 2, own.top, height - (own.bottom - edge_y)}; return true;
    default: return false;
  }
}

bool HasPrintableArea(JobLayoutGeometry& g) {
  return g.settings().TestPaperSourceFlags8(g.source_index(), g.LargeFormat() ? 0x40000 : 0x400000) != 0;
}

void PrintableArea(JobLayoutGeometry& g, const PrintableExtents& e, PrintableAreaBlock* out) {
  const model::CapTable2Record p =
      g.HasFlag24(4) ? g.RollMarginRecord() : g.ScaledMarginRecord(kPaperValue32Selector);
  const model::CapTable2Record q = g.ScaledMarginRecord(kStoredFeedSelector);
  out->width_a = e.width_a;
  out->height_a = e.height_a;
  out->width_b = e.width_b;
  out->height_b = e.height_b;
  if (g.LargeFormat() && IsOneOf(g.layout_flags(), {0x4040, 0x4380, 0x4780, 0x4B80, 0x5380})) return;
  const int32_t c = p.left + p.right - q.left - q.right;
  out->width_a += c;
  out->width_b += c;
  out->left_shift = p.left - q.left;
  if (!g.LargeFormat()) {
    out->height_b += p.top + p.bottom - q.top - q.bottom;
    out->top_shift = p.top - q.top;
  }
}

}  // namespace

JobLayoutStruct* StructBuilder::NewJobLayout() {
  return static_cast<JobLayoutStruct*>(AllocBlock(sizeof(JobLayoutStruct)));
}

void StructBuilder::FillJobLayout(JobLayoutStruct* r, MelvoJobRecord* job) {
  settings::JobSettings& s = *JobSettingsOf(*job);
  JobLayoutGeometry g(s);
  const uint16_t mode = s.GetCurrentModeIndex();

  r->version = version0;
  if (job->flags & kJobFlagHandle) r->colour_kind = 7;
  else if (s.TestModeOptionBits(0x400)) r->colour_kind = 2;
  else if (s.GetColor() == 1) r->colour_kind = 0;
  else if ((job->flags & kJobFlagDefaultMode) && saved_settings != nullptr && saved_settings->GetColor() == 1) r->colour_kind = 0;
  else r->colour_kind = 2;
  r->mode_value_a =
      ModeValueByVariant<int32_t>(s, &MC::GetPrintModeValue176, &MC::GetPrintModeValue48, &MC::GetPrintModeValue112);
  r->resolution_x = static_cast<int32_t>(g.xres());
  r->resolution_y = static_cast<int32_t>(g.yres());
  int32_t value36 = 0;
  s.GetPrintModeValue36(mode, &value36);
  r->mode_value36_low = static_cast<int16_t>(value36 & 0xFFFF);
  r->mode_value36_high = static_cast<int16_t>((static_cast<uint32_t>(value36) >> 16) & 0xFFFF);

  settings::ExtentPair paper{};
  s.GetPaperDotExtent(&paper);
  const int32_t edge_y = g.EdgeY();
  r->width = paper.width - g.EdgeX();
  r->height = paper.height - edge_y;
  PrintableExtents e = g.Printable();
  if (g.LargeFormat()) g.TrimRoll(e);
  else g.SnapCustomWidth(e);
  g.ClampToSource(e);
  if ((job->flags & kJobFlagHandle) && s.TestJobOptionBits(0x200)) {
    std::swap(r->width, r->height);
    std::swap(e.width_a, e.height_a);
    std::swap(e.width_b, e.height_b);
  }
  r->printable_width_a = e.width_a;
  r->printable_height_a = e.height_a;
  r->printable_width_b = e.width_b;
  r->printable_height_b = e.height_b;
  r->margin_balance = static_cast<int32_t>(s.GetMarginBalance());
  settings::EdgeValues additions{};
  s.GetMarginAdditions(&additions);
  r->top_margin = g.TopMargin() - additions.top;
  r->media_type = s.GetMediaType();
  r->head_passes = s.TestPrintModeFlags20(static_cast<int16_t>(mode), kModeTwoPasses) ? 2 : 1;
  r->copies = s.GetCopies();
  r->print_flags = PrintFlagWord(g, mode, *job, flags);
  r->job_options = JobOptionWord(g, mode, *job, saved_settings);
  r->default_source = s.GetDefaultSource();
  r->output_paper = g.OutputPaperId();
  r->word92 = kNoValue;
  r->mode_value_b =
      ModeValueByVariant<int32_t>(s, &MC::GetPrintModeValue180, &MC::GetPrintModeValue52, &MC::GetPrintModeValue116);

  if (layout_offset_version == 1) {
    if (auto* block = static_cast<LayoutOffsetBlock*>(AllocBlock(sizeof(LayoutOffsetBlock)))) {
      block->version = layout_offset_version;
      if (LayoutOffset(g, r->height, edge_y, block)) r->layout_offset = block;
      else FreeBlock(block);
    }
  }
  r->roll_left_margin = g.RollLeftMargin();
  if (job->status_text != nullptr && job->status_text[0] != '\0') {
    if (auto* text = static_cast<char*>(AllocBlock(kRecordPathBytes))) {
      platform::CopyStringA(text, kRecordPathBytes, job->status_text);
      r->status_text = text;
    }
  }
  FillMediaTuning(r, s);
  FillInkText(r, s, *job);
  if (printable_area_version == 1) {
    if (auto* block = static_cast<PrintableAreaBlock*>(AllocBlock(sizeof(PrintableAreaBlock)))) {
      block->version = printable_area_version;
      if (HasPrintableArea(g)) {
        PrintableArea(g, e, block);
        r->printable_area = block;
      } else {
        FreeBlock(block);
      }
    }
  }
  r->paper_page_option = static_cast<int32_t>(s.GetPaperPageOption());
  FillHeadInfo(r, s);
  if (auto* path = static_cast<char*>(AllocBlock(kRecordPathBytes))) {
    s.GetOutputModulePath(path, kRecordPathBytes);
    r->output_module = path;
  }
  FillBrs(r, s);
  if ((r->job_options & 0x10) && !(r->job_options & 0x10000) && e.width_a == e.width_b && e.height_a == e.height_b) {
    r->job_options &= ~0x10u;
  }
}

void StructBuilder::FillMediaTuning(JobLayoutStruct* r, settings::JobSettings& s) {
  if (media_tuning_version != 1 && media_tuning_version != 2) return;
  auto* block = static_cast<MediaTuningBlock*>(AllocBlock(sizeof(MediaTuningBlock)));
  if (block == nullptr) return;
  uint32_t tuning_flags = 0;
  s.GetModelHeaderValue72(&tuning_flags);
  if (!(s.GetMediaTuningFlags() & 1)) tuning_flags &= ~0x08u;
  if (tuning_flags == 0) {
    FreeBlock(block);
    return;
  }
  block->version = media_tuning_version;
  block->flags = tuning_flags;
  block->value1 = ((static_cast<int32_t>(s.GetMediaTuning1()) + 100) * 1024) / 100;
  block->value2 = static_cast<int16_t>(s.GetMediaTuning2());
  block->value3 = static_cast<int16_t>(s.GetMediaTuning3());
  block->value4 = static_cast<int16_t>(s.GetMediaTuning4());
  block->value5 = static_cast<int16_t>(s.GetMediaTuning5());
  block->value6 = static_cast<int32_t>(s.GetMediaTuning6());
  block->value7 = static_cast<int16_t>(s.GetMediaTuning7());
  if (s.TestModelHeaderFlags24(0x20 | 0x40)) {
    uint32_t platen = 0;
    s.ReadPlatenInfo(&platen);
    block->value8 = static_cast<int16_t>((platen >> 1) & 1);
  } else {
    block->value8 = static_cast<int16_t>(s.GetMediaTuning8());
  }
  block->value9 = s.TestModelHeaderFlags24(0x4000) ? static_cast<int16_t>(s.ReadRtInfo() & 0xFFFF)
                                                   : static_cast<int16_t>(s.GetMediaTuning9());
  block->value10 = static_cast<int16_t>(s.GetMediaTuning10());
  r->media_tuning = block;
}

void StructBuilder::FillInkText(JobLayoutStruct* r, settings::JobSettings& s, const MelvoJobRecord& job) {
  if (ink_text_version != 1) return;
  auto* block = static_cast<InkTextBlock*>(AllocBlock(sizeof(InkTextBlock)));
  if (block == nullptr) return;
  if (!s.TestModelHeaderFlags20(0x4000)) {
    FreeBlock(block);
    return;
  }
  block->version = ink_text_version;
  block->ink_codes = static_cast<uint8_t*>(AllocBlock(kRecordPathBytes));
  if (block->ink_codes != nullptr) block->ink_code_count = s.GetSelectedInkCodes(block->ink_codes, model::kInkCodeCount);
  const std::pair<const char*, uint32_t> texts[2] = {{job.text1, job.text1_length}, {job.text2, job.text2_length}};
  char** fields[2] = {&block->text1, &block->text2};
  uint32_t* lengths[2] = {&block->text1_length, &block->text2_length};
  for (int i = 0; i < 2; ++i) {
    if (texts[i].first == nullptr || texts[i].second == 0) continue;
    *fields[i] = static_cast<char*>(AllocBlock(kRecordPathBytes));
    if (*fields[i] == nullptr) continue;
    platform::CopyStringA(*fields[i], kRecordPathBytes, texts[i].first);
    *lengths[i] = texts[i].second;
  }
  r->ink_text = block;
}

void StructBuilder::FillHeadInfo(JobLayoutStruct* r, settings::JobSettings& s) {
  if (head_info_version != 1) return;
  uint32_t count = 0;
  s.GetModelHeaderByte78(&count);
  // The block holds a count byte and seven data bytes: a larger count is refused.
  if (!s.TestModelHeaderFlags40(2) || count == 0 || count >= kInfoBlockBytes) return;
  auto* block = static_cast<HtInfoBlock*>(AllocBlock(sizeof(HtInfoBlock)));
  if (block == nullptr) return;
  block->version = head_info_version;
  block->data = static_cast<uint8_t*>(AllocBlock(kInfoBlockBytes));
  if (block->data != nullptr) {
    uint8_t stored[kInfoBlockBytes] = {};
    DWORD size = sizeof(stored);
    if (s.ReadRegistryValue(nullptr, nullptr, storage::kValueKvHtInfo, stored, &size, storage::kViewDefault) ==
            ERROR_SUCCESS &&
        stored[0] == count) {
      std::memcpy(block->data, stored, count + 1);
    }
  }
  r->head_info = block;
}

void StructBuilder::FillBrs(JobLayoutStruct* r, settings::JobSettings& s) {
  if (brs_version != 1 || !(flags & kBuilderReselectMode)) return;
  auto* block = static_cast<BrsBlock*>(AllocBlock(sizeof(BrsBlock)));
  if (block == nullptr) return;
  block->version = brs_version;
  block->module_path = static_cast<char*>(AllocBlock(kRecordPathBytes));
  if (block->module_path != nullptr) s.GetBrsModulePath(block->module_path, kRecordPathBytes);
  block->brs_block = brs_block;
  brs_block = nullptr;
  flags |= kBuilderBrsMade;
  r->brs = block;
}

void StructBuilder::FreeJobLayout(JobLayoutStruct* r) {
  FreeBlock(r->layout_offset);
  FreeBlock(r->status_text);
  FreeBlock(r->media_tuning);
  if (InkTextBlock* ink = r->ink_text) {
    FreeBlock(ink->ink_codes);
    FreeBlock(ink->text1);
    FreeBlock(ink->text2);
    FreeBlock(ink);
  }
  FreeBlock(r->printable_area);
  if (HtInfoBlock* head = r->head_info) {
    FreeBlock(head->data);
    FreeBlock(head);
  }
  FreeBlock(r->output_module);
  if (BrsBlock* brs = r->brs) {
    FreeBlock(brs->module_path);
    FreeBlock(brs->brs_block);
    FreeBlock(brs);
  }
}

}  // namespace kalimu::driver
