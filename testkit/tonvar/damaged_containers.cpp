// Damaged containers: truncated, corrupt and hostile headers, streams and colour tables.
#include "testkit/tonvar/damaged_containers.h"

#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/sample_tables.h"

namespace testkit {
namespace {

constexpr uint32_t kContainerDamaged = 0xFFFFFF38;
constexpr uint32_t kHeaderDamaged = 0xFFFFFED4;

void SetLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> Good() {
  const std::vector<uint8_t> data = SmoothLutBody(5, 3);
  return EncodeContainer(data);
}

// A plane-ordered container around whatever table bytes are given (not transposed).
std::vector<uint8_t> PlaneOrdered(const std::vector<uint8_t>& table) {
  return WrapStream(EncodeStream(table), kSignaturePlaneOrdered);
}

}  // namespace

std::vector<DamagedContainer> DamagedContainers() {
  std::vector<DamagedContainer> table;
  const std::vector<uint8_t> good = Good();

  {  // stored length too short for the count
    auto bytes = good;
    SetLe32(bytes, 8, 3);
    table.push_back({"stored length below four", bytes, kContainerDamaged});
  }
  {
    auto bytes = good;
    SetLe32(bytes, 8, 0);
    table.push_back({"stored length zero", bytes, kContainerDamaged});
  }
  {
    auto bytes = good;
    SetLe32(bytes, 12, 0);
    table.push_back({"expanded length zero", bytes, kContainerDamaged});
  }
  {
    StreamWriter writer(10);
    writer.Literal('o');
    writer.Literal('k');
    writer.Abort();
    table.push_back({"abort after two literals", WrapStream(writer.Finish()), kContainerDamaged});
  }
  {
    StreamWriter writer(100000);
    writer.Abort();
    table.push_back({"abort first, large expanded length", WrapStream(writer.Finish()),
                     kContainerDamaged});
  }
  {  // 64 literals of 9 bits: a stream of exactly the expanded length plus 8 bytes, unpadded
    StreamWriter writer(64);
    for (int i = 0; i < 64; ++i) writer.Literal(200);
    auto stream = writer.Finish();
    std::vector<uint8_t> bytes = {0x7A, 0xCF, 0x86, 0x5C, 0x7D, 0x90, 0x3C, kSignatureNormal, 0, 0, 0, 0};
    SetLe32(bytes, 8, static_cast<uint32_t>(stream.size()));
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    table.push_back({"expanded length equals stored length minus 12", bytes, kContainerDamaged});
  }
  {
    auto bytes = good;
    bytes.resize(bytes.size() / 2);
    table.push_back({"truncated body", bytes, kContainerDamaged, true});
  }
  {
    auto bytes = good;
    bytes.resize(14);
    table.push_back({"truncated header", bytes, kContainerDamaged, true});
  }
  {
    auto bytes = good;
    SetLe32(bytes, 8, 0xFFFFFFF0u);
    table.push_back({"hostile stored length", bytes, kContainerDamaged, true});
  }

  // Plane-ordered colour tables whose header the reorder cannot trust.
  const std::vector<uint8_t> body = SmoothLutBody(2, 3);
  {
    auto t = FixedFormTable(2, 3, body);
    t[0] = 'X';
    table.push_back({"plane-ordered table without KV", PlaneOrdered(t), kHeaderDamaged});
  }
  {
    auto t = FixedFormTable(2, 3, body);
    t[15] = '4';
    table.push_back({"plane-ordered table with an unknown format", PlaneOrdered(t), kHeaderDamaged});
  }
  {
    auto t = FixedFormTable(2, 3, body);
    t[75] = 0;
    table.push_back({"plane-ordered table with no channels", PlaneOrdered(t), kHeaderDamaged});
  }
  {  // the body fits the length but not from where it starts
    auto t = FixedFormTable(2, 3, body);
    t.resize(t.size() - 1);
    table.push_back({"plane-ordered body running past the end", PlaneOrdered(t), kHeaderDamaged});
  }
  {
    auto t = FixedFormTable(2, 3, body);
    t[72] = t[73] = t[74] = 255;
    t[75] = 255;
    table.push_back({"plane-ordered table with a hostile grid", PlaneOrdered(t), kHeaderDamaged});
  }
  {
    auto t = FixedFormTable(2, 3, body);
    t.resize(40);
    table.push_back({"plane-ordered table shorter than its header", PlaneOrdered(t), kHeaderDamaged});
  }
  {
    auto t = TaggedFormTable(2, 3, body);
    t[24] = 'x';
    table.push_back({"tagged table without clut", PlaneOrdered(t), kHeaderDamaged});
  }
  {
    auto t = TaggedFormTable(2, 3, body);
    SetLe32(t, 28, 0x7FFFFFF0u);
    table.push_back({"tagged table with its clut chunk far beyond the end", PlaneOrdered(t),
                     kHeaderDamaged});
  }
  {
    auto t = TaggedFormTable(2, 3, body);
    SetLe32(t, 28, static_cast<uint32_t>(t.size() - 4));
    table.push_back({"tagged table with its clut chunk cut by the end", PlaneOrdered(t),
                     kHeaderDamaged});
  }
  {
    auto t = TaggedFormTable(2, 3, body);
    SetLe32(t, 28, 20);
    table.push_back({"tagged table whose clut entry points elsewhere", PlaneOrdered(t),
                     kHeaderDamaged});
  }
  return table;
}

}  // namespace testkit
