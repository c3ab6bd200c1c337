// The rendering library's handle through Kalimu.dll: its life cycle, the job record, the texts,
// the module paths, the two plain answers of CreateStruct and the builder's error word.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/driver/render_records_test_support.h"
#include "testkit/status/status_replies.h"
#include "testkit/windows/guard_page.h"

namespace kalimu::driver::records_test {
namespace {

constexpr DWORD kLayout = 1, kColour = 0, kPaths = 2, kPacked = 10, kModule = 20;

testkit::ModelDescription HandleModel() {
  testkit::ModelDescription model = RecordModel(testkit::RollPaperModel());
  model.header.value64 = 0x0102;
  model.header.value66 = 0x0304;
  model.header.flags72 = 1;        // a media tuning block
  model.header.ink_word |= 0x100;  // ink-correction lines
  return model;
}

using RenderHandleTest = SharedPrinterTest<HandleModel>;

TEST_F(RenderHandleTest, RefusedArgumentsGiveTheirFailureResults) {
  EXPECT_EQ(client().CreateMelvoInfo(nullptr), nullptr);
  render::Params params{&base_, nullptr, nullptr, nullptr, 0, "No Such Printer"};
  EXPECT_EQ(client().CreateMelvoInfo(&params), nullptr);
  params.printer_name = nullptr;
  EXPECT_EQ(client().CreateMelvoInfo(&params), nullptr);
  params = {nullptr, nullptr, nullptr, nullptr, 0, printer_->name()};
  EXPECT_EQ(client().CreateMelvoInfo(&params), nullptr);
  // An application's public-only record: reading past its 220 bytes would fault.
  const DEVMODEW foreign = testkit::ForeignDevMode(2);
  const testkit::GuardedBytes guarded(sizeof(foreign), &foreign, true);
  params.dev_mode = guarded.data();
  EXPECT_EQ(client().CreateMelvoInfo(&params), nullptr);
  EXPECT_EQ(client().DestroyMelvoInfo(nullptr), 1u);
  for (DWORD type : {kLayout, kColour, kPaths, kModule}) {
    EXPECT_EQ(client().CreateStruct(type, nullptr, nullptr, nullptr), nullptr) << type;
    EXPECT_EQ(client().DestroyStruct(type, nullptr, nullptr), 0u) << type;
  }

  Handle handle(client(), printer_->Open(base_));
  ASSERT_TRUE(handle);
  for (DWORD type : {3u, 9u, 11u, 21u, 0xFFFFFFFFu}) {
    EXPECT_EQ(client().CreateStruct(type, handle.get(), nullptr, nullptr), nullptr) << type;
    EXPECT_EQ(client().DestroyStruct(type, nullptr, handle.get()), 0u) << type;
  }
  EXPECT_EQ(client().DestroyStruct(kModule, nullptr, handle.get()), 0u);
}

TEST_F(RenderHandleTest, HandleAndEveryBlockAreFreed) {
  void* raw = printer_->Open(base_, {0, 0, 0, "first text", "second text"});
  ASSERT_NE(raw, nullptr);
  const uint8_t* job = testkit::RenderClient::Job(raw);
  ASSERT_NE(job, nullptr);
  EXPECT_NE(testkit::RenderClient::Builder(raw), nullptr);
  EXPECT_NE(testkit::Field<HANDLE>(raw, render::kHandlePrinter), nullptr);
  EXPECT_EQ(testkit::Field<uint32_t>(raw, 24) | testkit::Field<uint32_t>(raw, 28) | testkit::Field<uint32_t>(raw, 32),
            0u);
  EXPECT_NE(testkit::Field<void*>(job, render::kJobSettings), nullptr);
  EXPECT_EQ(testkit::Field<uint32_t>(job, 0) | testkit::Field<uint32_t>(job, 20) | testkit::Field<uint32_t>(job, 92) |
                testkit::Field<uint32_t>(job, 96) | testkit::Field<uint32_t>(job, 100),
            0u);

  std::vector<HGLOBAL> blocks = {GlobalHandle(raw), GlobalHandle(job),
                                 GlobalHandle(testkit::PointerField(job, render::kJobText1)),
                                 GlobalHandle(testkit::PointerField(job, render::kJobText2))};
  {
    // Every record of every family, and the blocks they point to, go back with DestroyStruct.
    std::vector<HGLOBAL> base_blocks;
    for (DWORD type : {kLayout, kColour, kPaths, kModule}) {
      void* record = client().CreateStruct(type, raw, nullptr, nullptr);
      ASSERT_NE(record, nullptr) << type;
      base_blocks.push_back(GlobalHandle(record));
      if (type == kLayout) {
        for (size_t at : {render::kMediaTuning, render::kOutputModule}) {
          ASSERT_NE(testkit::PointerField(record, at), nullptr) << at;
          base_blocks.push_back(GlobalHandle(testkit::PointerField(record, at)));
        }
      }
      if (type == kPaths) {
        for (size_t at : {render::kEnginePath, render::kMwPath, render::kResourceList}) {
          ASSERT_NE(testkit::PointerField(record, at), nullptr) << at;
          base_blocks.push_back(GlobalHandle(testkit::PointerField(record, at)));
        }
      }
      EXPECT_EQ(client().DestroyStruct(type, record, raw), type == kModule ? 0u : 1u) << type;
    }
    for (HGLOBAL block : base_blocks) EXPECT_TRUE(testkit::GlobalBlockFreed(block));
  }
  for (HGLOBAL block : blocks) ASSERT_NE(block, nullptr);
  EXPECT_EQ(client().DestroyMelvoInfo(raw), 1u);
  for (HGLOBAL block : blocks) EXPECT_TRUE(testkit::GlobalBlockFreed(block));
}

TEST_F(RenderHandleTest, JobFlagWordFromOptionsAndDuplex) {
  constexpr uint32_t kDuplexOption4 = 4;
  struct Case {
    uint32_t options;
    int16_t duplex;
    bool option4;
    uint32_t flags;
  };
  const Case cases[] = {
      {0, DMDUP_SIMPLEX, false, 0x01},
      {0x01 | 0x04, DMDUP_VERTICAL, false, 0x0B},  // 1 | 2 | 8
      {0x04, DMDUP_HORIZONTAL, false, 0x0D},       // without 0x01 the other kind
      {0x01, DMDUP_VERTICAL, false, 0x03},
      {0x01 | 0x04, DMDUP_VERTICAL, true, 0x09},   // duplex option 4: no kind, still the option
      {0x04, DMDUP_SIMPLEX, false, 0x01},
      {0x20 | 0x80 | 0x100, DMDUP_SIMPLEX, false, 0x191},
      {0x10 | 0x02 | 0x08 | 0x40, DMDUP_SIMPLEX, false, 0x01},  // not copied
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    DriverDevMode record = base_;
    record.Public.dmDuplex = c.duplex;
    record.DuplexOptions = c.option4 ? (record.DuplexOptions | kDuplexOption4) : (record.DuplexOptions & ~kDuplexOption4);
    record.Public.dmColor = DMCOLOR_MONOCHROME;
    Handle handle(client(), printer_->Open(record, {c.options, 0x1122334455667788ull, 0x8877665544332211ull}));
    ASSERT_TRUE(handle);
    const uint8_t* job = testkit::RenderClient::Job(handle.get());
    EXPECT_EQ(testkit::Field<uint32_t>(job, render::kJobFlags), c.flags);
    EXPECT_EQ(testkit::Field<uint64_t>(job, render::kJobCallerValue), 0x8877665544332211ull);
    EXPECT_EQ(testkit::Field<uint64_t>(job, render::kJobOptionValue), 0x1122334455667788ull);
    EXPECT_EQ(testkit::Field<uint32_t>(job, render::kJobColor), 1u);
  }
}

// The caller's job-option record is 12 bytes (value, flags); a record that ends where the
// caller's memory ends is read whole and left as it was. The texts and the name end there too.
TEST_F(RenderHandleTest, CallerRecordsAreReadAtTheirOwnSize) {
  uint8_t options[12] = {};
  testkit::SetField<uint64_t>(options, 0, 0x1122334455667788ull);
  testkit::SetField<uint32_t>(options, 8, 0x80 | 0x100);
  const testkit::GuardedBytes job_options(sizeof(options), options, true);
  const testkit::GuardedBytes record(sizeof(base_), &base_, true);
  const std::string name = printer_->name();
  const testkit::GuardedBytes guarded_name(name.size() + 1, name.c_str(), true);
  const testkit::GuardedBytes text1(6, "first", true);
  const testkit::GuardedBytes text2(1, "", true);
  const render::Params params{record.data(), job_options.data(), text1.as<char>(), text2.as<char>(), 5,
                              guarded_name.as<char>()};
  const testkit::GuardedBytes guarded_params(sizeof(params), &params, true);
  Handle handle(client(), client().CreateMelvoInfo(guarded_params.data()));
  ASSERT_TRUE(handle);
  const uint8_t* job = testkit::RenderClient::Job(handle.get());
  EXPECT_EQ(testkit::Field<uint32_t>(job, render::kJobFlags), 0x181u);
  EXPECT_EQ(testkit::Field<uint64_t>(job, render::kJobOptionValue), 0x1122334455667788ull);
  EXPECT_EQ(testkit::Field<uint64_t>(job, render::kJobCallerValue), 5u);
  EXPECT_EQ(testkit::TextField(job, render::kJobText1), "first");
  EXPECT_EQ(testkit::TextField(job, render::kJobText2), "<null>");
  EXPECT_EQ(std::memcmp(job_options.data(), options, sizeof(options)), 0);
  EXPECT_EQ(std::memcmp(record.data(), &base_, sizeof(base_)), 0);
}

TEST_F(RenderHandleTest, TextsAreCutToTheirLimits) {
  const std::string hundred(100, 'a');
  const std::string two_hundred(200, 'b');
  struct Case {
    const char* text1;
    const char* text2;
    std::string copy1;
    std::string copy2;
  };
  const Case cases[] = {
      {hundred.c_str(), two_hundred.c_str(), std::string(62, 'a'), std::string(126, 'b')},
      {"short", "", "short", "<null>"},
      {nullptr, "x", "<null>", "x"},
      {"", nullptr, "<null>", "<null>"},
  };
  for (const Case& c : cases) {
    Handle handle(client(), printer_->Open(base_, {0, 0, 0, c.text1, c.text2}));
    ASSERT_TRUE(handle);
    const uint8_t* job = testkit::RenderClient::Job(handle.get());
    EXPECT_EQ(testkit::TextField(job, render::kJobText1), c.copy1);
    EXPECT_EQ(testkit::TextField(job, render::kJobText2), c.copy2);
    EXPECT_EQ(testkit::Field<uint32_t>(job, render::kJobText1Length), c.copy1 == "<null>" ? 0u : c.copy1.size());
    EXPECT_EQ(testkit::Field<uint32_t>(job, render::kJobText2Length), c.copy2 == "<null>" ? 0u : c.copy2.size());
  }
}

// Run under ja_JP (code page 932) as well: there 0x82 and 0x88 are lead-byte values, and 0x88
// is also a trail byte.
TEST_F(RenderHandleTest, DoubleByteCutWalksFromTheStart) {
  const bool dbcs = GetACP() == 932;
  // The Japanese run must really cut by code page 932, or it would prove nothing.
  const char* locale = std::getenv("LC_ALL");
  if (locale != nullptr && std::string(locale).rfind("ja_JP", 0) == 0) {
    ASSERT_TRUE(dbcs) << GetACP();
  }
  struct Case {
    const char* name;
    std::string text;
    size_t limit;  // 62 for text 1, 126 for text 2
    bool cut;      // byte limit - 1 becomes the terminator (code page 932 only)
  };
  const Case cases[] = {
      {"lead byte at 61", std::string(61, 'a') + "\x82\xA0" + "zz", 62, true},
      {"lead-valued trail byte at 61", std::string(60, 'a') + "\x82\x88" + "zz", 62, false},
      {"lead byte at 125", std::string(125, 'b') + "\x88\x9F", 126, true},
      {"lead-valued trail byte at 125", std::string(124, 'b') + "\x88\x88" + "b", 126, false},
      {"plain text", std::string(70, 'c'), 62, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool first = c.limit == 62;
    Handle handle(client(), printer_->Open(base_, {0, 0, 0, first ? c.text.c_str() : nullptr,
                                                     first ? nullptr : c.text.c_str()}));
    ASSERT_TRUE(handle);
    const uint8_t* job = testkit::RenderClient::Job(handle.get());
    const auto* copy = testkit::Field<const char*>(job, first ? render::kJobText1 : render::kJobText2);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(testkit::Field<uint32_t>(job, first ? render::kJobText1Length : render::kJobText2Length), c.limit);
    std::string expected = c.text.substr(0, c.limit);
    if (dbcs && c.cut) expected.resize(c.limit - 1);
    EXPECT_EQ(std::string(copy), expected);
  }
}

TEST_F(RenderHandleTest, StatusTextOfTheStoredReply) {
  const testkit::Bytes reply = testkit::BinaryReply().Status(1).Record(18, {'x', 'y'}).Build();
  ASSERT_TRUE(printer_->WritePrinterValue("RX_STATUS", REG_BINARY, reply.data(), static_cast<DWORD>(reply.size())));
  {
    Handle handle(client(), printer_->Open(base_));
    ASSERT_TRUE(handle);
    const uint8_t* job = testkit::RenderClient::Job(handle.get());
    EXPECT_EQ(testkit::TextField(job, render::kJobStatusText), "SB:xy");
    EXPECT_EQ(testkit::Field<uint32_t>(job, render::kJobStatusLength), 5u);
    Record layout(client(), handle.get(), kLayout);
    ASSERT_TRUE(layout.made());
    EXPECT_EQ(layout.text(render::kStatusText), "SB:xy");
  }
  printer_->DeletePrinterValue("RX_STATUS");
  Handle handle(client(), printer_->Open(base_));
  ASSERT_TRUE(handle);
  const uint8_t* job = testkit::RenderClient::Job(handle.get());
  EXPECT_EQ(testkit::PointerField(job, render::kJobStatusText), nullptr);
  EXPECT_EQ(testkit::Field<uint32_t>(job, render::kJobStatusLength), 0u);
  Record layout(client(), handle.get(), kLayout);
  EXPECT_EQ(layout.ptr(render::kStatusText), nullptr);
}

TEST_F(RenderHandleTest, AFailedRequestDoesNotSpoilTheNextOnes) {
  Handle handle(client(), printer_->Open(base_));
  ASSERT_TRUE(handle);
  {
    Record before(client(), handle.get(), kLayout);
    ASSERT_TRUE(before.made());
    EXPECT_NE(before.ptr(render::kOutputModule), nullptr);
  }
  EXPECT_EQ(client().DestroyStruct(kLayout, nullptr, handle.get()), 0u);
  EXPECT_EQ(testkit::RenderClient::BuilderError(handle.get()), 1u);
  for (DWORD type : {kLayout, kColour, kPaths}) {
    Record after(client(), handle.get(), type);
    ASSERT_TRUE(after.made()) << type;
    EXPECT_EQ(testkit::RenderClient::BuilderError(handle.get()), 0u) << type;
    const size_t part = type == kLayout ? render::kOutputModule : type == kColour ? render::kCwList : render::kEnginePath;
    EXPECT_NE(after.ptr(part), nullptr) << type;
  }
}

TEST_F(RenderHandleTest, TemporarySettingsAreMadeAndRestored) {
  Handle handle(client(), printer_->Open(base_));
  ASSERT_TRUE(handle);
  const uint8_t* job = testkit::RenderClient::Job(handle.get());
  void* settings = testkit::Field<void*>(job, render::kJobSettings);
  const uint32_t flags = testkit::RenderClient::JobFlags(handle.get());
  const size_t fields[] = {render::kModeValueA, render::kWidth,       render::kHeight,     render::kWidthA,
                           render::kHeightA,    render::kPrintFlags,  render::kJobOptionWord, render::kModeValueB,
                           render::kOutputPaper, render::kMediaType, render::kResX,       render::kResY};
  std::vector<int32_t> first;
  {
    Record record(client(), handle.get(), kLayout);
    ASSERT_TRUE(record.made());
    for (size_t at : fields) first.push_back(record.i32(at));
  }
  // A caller that did not make the handle asks for the default print mode: the record is built
  // from a copy of the settings, which goes again after the fill.
  testkit::RenderClient::SetJobFlags(handle.get(), (flags & ~1u) | 0x80);
  for (DWORD type : {kLayout, kColour}) {
    Record record(client(), handle.get(), type);
    EXPECT_TRUE(record.made()) << type;
    const uint8_t* builder = testkit::RenderClient::Builder(handle.get());
    EXPECT_EQ(testkit::Field<void*>(builder, render::kBuilderSavedSettings), nullptr);
    EXPECT_EQ(testkit::Field<void*>(builder, render::kBuilderWorkDevMode), nullptr);
    EXPECT_EQ(testkit::Field<void*>(job, render::kJobSettings), settings);
  }
  {
    Record record(client(), handle.get(), kLayout);
    ASSERT_TRUE(record.made());
    EXPECT_EQ(record.i32(render::kColourKind), 2);  // job flag bit 0 clear, a colour job
  }
  testkit::RenderClient::SetJobFlags(handle.get(), flags);
  Record again(client(), handle.get(), kLayout);
  ASSERT_TRUE(again.made());
  std::vector<int32_t> second;
  for (size_t at : fields) second.push_back(again.i32(at));
  EXPECT_EQ(second, first);
}

TEST_F(RenderHandleTest, PackedModelValueAndOutputModule) {
  Handle handle(client(), printer_->Open(base_));
  ASSERT_TRUE(handle);
  EXPECT_EQ(reinterpret_cast<intptr_t>(client().CreateStruct(kPacked, handle.get(), nullptr, nullptr)),
            intptr_t{0x03040102});
  const std::string directory = printer_->printer().model_printer().DriverDirectory();
  struct Case {
    bool xcmd;
    std::string file;
  };
  for (const Case& c : {Case{false, "KVOUT64.DLL"}, Case{true, "KVXCMD64.DLL"}}) {
    DriverDevMode record = base_;
    record.SettingsRecord.ModeOptions3 = c.xcmd ? 0x20 : 0;
    Handle own(client(), printer_->Open(record));
    ASSERT_TRUE(own);
    auto* path = static_cast<char*>(client().CreateStruct(kModule, own.get(), nullptr, nullptr));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path), directory + c.file);
    const HGLOBAL block = GlobalHandle(path);
    EXPECT_EQ(client().DestroyStruct(kModule, path, own.get()), 0u);
    EXPECT_TRUE(testkit::GlobalBlockFreed(block));
  }
}

TEST(RenderHandleModel, NegativePackedValueIsSignExtended) {
  testkit::ModelDescription model = RecordModel(testkit::SheetModel());
  model.header.value64 = 5;
  model.header.value66 = -2;
  RecordsPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  const DriverDevMode record = printer.Current();
  Handle handle(printer.client(), printer.Open(record));
  ASSERT_TRUE(handle);
  EXPECT_EQ(reinterpret_cast<intptr_t>(printer.client().CreateStruct(kPacked, handle.get(), nullptr, nullptr)),
            intptr_t{static_cast<int32_t>(0xFFFE0005u)});
}

TEST_F(RenderHandleTest, ModulePathsAndTheOutputResourceList) {
  testkit::ModelPrinter& model_printer = printer_->printer().model_printer();
  const std::string directory = model_printer.DriverDirectory();
  struct Case {
    const char* count;
    const char* resource;
    int32_t listed;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"3", "RES000A.RES", 3, {"RES000A.RES", "RES001A.RES", "RES002A.RES"}},
      {"1", "RES000A.RES", 1, {"RES000A.RES"}},
      {"2", "SUB\\RES009.X.BIN", 2, {"SUB\\RES009.X.BIN", "SUB\\RES00:.X.BIN"}},
      {"0", "RES000A.RES", 0, {}},
      {"-2", "RES000A.RES", 0, {}},        // refused: no list
      {"99999999", "RES000A.RES", 0, {}},  // refused: the list's size does not fit
      {"2", "KVOUT.RES", 2, {"KVOUT.RES", ""}},  // no sixth character to number
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.count) + " " + c.resource);
    ASSERT_TRUE(model_printer.SetInfoKey("OutPutResouceNum", c.count));
    ASSERT_TRUE(model_printer.SetInfoKey("OutPutResource", c.resource));
    Handle handle(client(), printer_->Open(base_, {0, 0xAB, 0xCD}));
    ASSERT_TRUE(handle);
    Record paths(client(), handle.get(), kPaths);
    ASSERT_TRUE(paths.made());
    EXPECT_EQ(paths.text(render::kEnginePath), directory + "Tonvar.dll");
    EXPECT_EQ(paths.text(render::kMwPath), directory + "KVMW64.DLL");
    EXPECT_EQ(paths.i32(render::kResourceCount), c.listed);
    EXPECT_EQ(paths.at<uint64_t>(render::kPathsCaller), 0xCDu);
    EXPECT_EQ(paths.at<uint64_t>(render::kPathsOption), 0xABu);
    const uint8_t* list = paths.ptr(render::kResourceList);
    if (c.listed == 0) {
      EXPECT_EQ(list, nullptr);
      continue;
    }
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(list)), static_cast<SIZE_T>(c.listed) * 268);
    for (int32_t i = 0; i < c.listed; ++i) {
      const auto* name = testkit::Field<const char*>(list, i * sizeof(void*));
      EXPECT_EQ(name, reinterpret_cast<const char*>(list) + c.listed * sizeof(void*) + i * 260) << i;
      EXPECT_EQ(std::string(name), c.names[i].empty() ? "" : directory + c.names[i]) << i;
    }
  }
  ASSERT_TRUE(model_printer.SetInfoKey("OutPutResouceNum", "3.NUM"));
  ASSERT_TRUE(model_printer.SetInfoKey("OutPutResource", "KVOUT.RES"));
}

TEST(RenderHandleModel, RecordVersionsAndResolutionOutsideTheirRange) {
  struct Case {
    uint8_t layout, colour;
    bool layout_made, colour_made;
  };
  // Every version the builder accepts (layout 1 to 9, colour 1 to 3) and those around them.
  std::vector<Case> cases;
  for (uint8_t v = 0; v <= 10; ++v) {
    const auto colour = static_cast<uint8_t>(v % 5);  // 0 to 4
    cases.push_back({v, colour, v >= 1 && v <= 9, colour >= 1 && colour <= 3});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.layout});
    RecordVersions versions;
    versions.layout = c.layout;
    versions.colour = c.colour;
    RecordsPrinter printer(RecordModel(testkit::SheetModel(), versions));
    ASSERT_TRUE(printer.ok()) << printer.error();
    DriverDevMode record = printer.Current();
    Handle handle(printer.client(), printer.Open(record));
    ASSERT_TRUE(handle);
    {
      Record layout(printer.client(), handle.get(), kLayout);
      EXPECT_EQ(layout.made(), c.layout_made);
      EXPECT_EQ(testkit::RenderClient::BuilderError(handle.get()), c.layout_made ? 0u : 1u);
      if (c.layout_made) {
        EXPECT_EQ(layout.at<uint16_t>(render::kLayoutVersion), c.layout);
      }
    }
    {
      Record colour(printer.client(), handle.get(), kColour);
      EXPECT_EQ(colour.made(), c.colour_made);
      EXPECT_EQ(testkit::RenderClient::BuilderError(handle.get()), c.colour_made ? 0u : 1u);
      if (c.colour_made) {
        EXPECT_EQ(colour.at<uint16_t>(render::kChVersion), c.colour);
      }
    }
    if (!c.layout_made || c.layout != 1) continue;
    // A record without a device resolution divides by nothing: refused.
    for (const settings::ResolutionPair resolution : {settings::ResolutionPair{0, 720}, settings::ResolutionPair{720, 0}}) {
      record.DeviceResolution = resolution;
      Handle zero(printer.client(), printer.Open(record));
      ASSERT_TRUE(zero);
      Record layout(printer.client(), zero.get(), kLayout);
      EXPECT_FALSE(layout.made());
      EXPECT_EQ(testkit::RenderClient::BuilderError(zero.get()), 1u);
      Record colour(printer.client(), zero.get(), kColour);
      EXPECT_TRUE(colour.made());
    }
  }
}

}  // namespace
}  // namespace kalimu::driver::records_test
