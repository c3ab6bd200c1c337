// Dither-matrix blocks in both forms, their layouts, and damaged blocks.
#include "tonvar/multi_level/multi_level_engine.h"

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

using ::testkit::MatrixBlockShape;

class MatrixBlockTest : public EngineTest {
 protected:
  // An engine after step 1 for the ink set.
  void Prepare(uint32_t ink_set) {
    RasterJob job = SampleJob();
    job.ink_set = ink_set;
    ::testkit::CubeTableShape table;
    table.grid = 2;
    table.channels = ink_set == 9 ? 8 : ink_set == 3 ? 6 : 4;
    ASSERT_EQ(Create(job, table), kStatusOk);
    ASSERT_EQ(Step({}).status, kStatusOk);
  }
  EngineStatus Read(const std::vector<uint8_t>& block) {
    return ReadMatrixBlock(engine_, ResourceBytes{block.data(), block.size()});
  }
  std::vector<int16_t> Samples() {
    const MatrixLayout& m = State().matrix;
    return {m.samples, m.samples + m.width * m.height + 2};
  }
};

TEST_F(MatrixBlockTest, PlainRowsAreInterleavedInRowPairs) {
  Prepare(1);
  MatrixBlockShape shape;
  shape.width = 2;
  shape.height = 2;
  shape.samples = {1, 2, 3, 4};
  shape.phases = {{5, 6}, {7, 8}, {-9, 10}, {11, -12}};
  shape.kind_byte = 9;
  ASSERT_EQ(Read(::testkit::BuildMatrixBlock(shape)), kStatusOk);
  EXPECT_EQ(Samples(), (std::vector<int16_t>{1, 3, 2, 4, 1, 3}));
  const MatrixLayout& m = State().matrix;
  EXPECT_EQ(m.width, 2);
  EXPECT_EQ(m.layout_flag, 9);
  EXPECT_EQ(m.storage, 0);
  EXPECT_EQ(m.ink_phase[2].x, -9);
  EXPECT_EQ(m.ink_phase[3].y, -12);
  EXPECT_EQ(m.ink_phase[4].x, 0);
}

TEST_F(MatrixBlockTest, MatrixOrderedSamplesAreCopiedAsStored) {
  Prepare(1);
  MatrixBlockShape shape;
  shape.format = 1;
  shape.copy_mode = 1;
  shape.width = 2;
  shape.height = 2;
  shape.samples = {1, 3, 2, 4, 9, 8};
  shape.phases = ::testkit::SamplePhases(4);
  ASSERT_EQ(Read(::testkit::BuildMatrixBlock(shape)), kStatusOk);
  EXPECT_EQ(Samples(), (std::vector<int16_t>{1, 3, 2, 4, 9, 8}));
  EXPECT_EQ(State().matrix.ink_phase[3].x, 48);
}

TEST_F(MatrixBlockTest, EightInksReadTheirPhasesFromFormatTwo) {
  Prepare(9);
  MatrixBlockShape shape;
  shape.phases = ::testkit::SamplePhases(8);
  ASSERT_EQ(Read(::testkit::BuildMatrixBlock(shape)), kStatusOk);
  EXPECT_EQ(State().matrix.ink_phase[7].x, 112);
  EXPECT_EQ(State().matrix.ink_phase[7].y, 56);
}

TEST_F(MatrixBlockTest, OtherBlocksAreReadInThePlainForm) {
  Prepare(1);
  const std::vector<uint8_t> plain = ::testkit::BuildPlainMatrix(halftone_lines::kMatrixCount512);
  ASSERT_EQ(Read(plain), kStatusOk);
  const MatrixLayout& m = State().matrix;
  EXPECT_EQ(m.width, 512);
  EXPECT_EQ(m.height, 256);
  EXPECT_EQ(m.ink_phase[1].x, 384);
  EXPECT_EQ(m.ink_phase[1].y, 36);
  EXPECT_EQ(m.samples[0x20001], 0x20001 % 4093);
}

TEST_F(MatrixBlockTest, DamagedBlocksAreRefused) {
  struct Case {
    const char* what;
    uint32_t ink_set;
    void (*change)(MatrixBlockShape&);
    void (*damage)(std::vector<uint8_t>&);
    EngineStatus expected;
  };
  auto none = [](MatrixBlockShape&) {};
  auto keep = [](std::vector<uint8_t>&) {};
  const Case cases[] = {
      {"format 1 for eight inks reads as a plain block", 9, [](MatrixBlockShape& s) { s.format = 1; }, keep, kStatusMatrixMagic},
      {"format 2 with a copy mode reads as a plain block", 1, [](MatrixBlockShape& s) { s.copy_mode = 1; }, keep, kStatusMatrixMagic},
      {"phases of 7 inks missing for 6", 3, none, [](std::vector<uint8_t>& b) { b.resize(60); }, kStatusBadResource},
      {"odd height", 1, [](MatrixBlockShape& s) { s.height = 3; }, keep, kStatusBadResource},
      {"zero width", 1, [](MatrixBlockShape& s) { s.width = 0; }, keep, kStatusBadResource},
      {"negative height", 1, [](MatrixBlockShape& s) { s.height = -4; }, keep, kStatusBadResource},
      {"size not a power of two", 1, [](MatrixBlockShape& s) { s.width = 3; }, keep, kStatusBadResource},
      {"sample bytes not adding up to 2", 1, [](MatrixBlockShape& s) { s.sample_bytes_b = 1; }, keep, kStatusBadResource},
      {"negative sample", 1, [](MatrixBlockShape& s) { s.samples.assign(16, 5); s.samples[9] = -1; }, keep, kStatusBadResource},
      {"samples past the block", 1, none, [](std::vector<uint8_t>& b) { b.resize(b.size() - 2); }, kStatusBadResource},
      {"negative sample offset", 1, [](MatrixBlockShape& s) { s.sample_offset = -2; }, [](std::vector<uint8_t>& b) { b[10] = 0xFE; b[11] = 0xFF; }, kStatusBadResource},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(c.ink_set);
    MatrixBlockShape shape;
    shape.phases = ::testkit::SamplePhases(c.ink_set == 9 ? 8 : c.ink_set == 3 ? 6 : 4);
    c.change(shape);
    std::vector<uint8_t> block = ::testkit::BuildMatrixBlock(shape);
    c.damage(block);
    EXPECT_EQ(Read(block), c.expected);
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(MatrixBlockTest, DamagedPlainBlocksAreRefused) {
  Prepare(9);
  struct Case {
    std::vector<uint8_t> block;
    EngineStatus expected;
  };
  std::vector<uint8_t> magic = ::testkit::BuildPlainMatrix(halftone_lines::kMatrixCount256);
  magic[3] = '4';
  std::vector<uint8_t> short_block = ::testkit::BuildPlainMatrix(halftone_lines::kMatrixCount256);
  short_block.resize(short_block.size() - 1);
  const Case cases[] = {
      {magic, kStatusMatrixMagic},
      {::testkit::BuildPlainMatrix(0x20003), kStatusMatrixCount},
      {::testkit::BuildPlainMatrix(0x10000), kStatusBadResource},
      {::testkit::BuildPlainMatrix(halftone_lines::kMatrixCount256), kStatusBadResource},  // eight inks
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.block), c.expected);
  engine_->state->ink_count = 4;
  EXPECT_EQ(Read(short_block), kStatusBadResource);
}

}  // namespace
}  // namespace tonvar::multi_level
