// Fuzz target: the colour mode table parser and row choice. An odd first byte patches a good
// version-510 table (triples of offset and value) so that an empty corpus reaches the rows and
// name lines; an even one parses the rest of the input as it is. With bit 3 the text is read
// as the exports hand it over: ended by a NUL (appended when the input has no end of its own),
// in a block of exactly its size, without a length.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/exact_block.h"
#include "testkit/tonvar/fuzz_patches.h"
#include "tonvar/colour/mode_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tonvar;
  if (size < 1) return 0;
  static const std::vector<uint8_t> kGood = [] {
    testkit::ModeTableShape desc;
    desc.version = 510;
    desc.smb_columns = true;
    desc.ink_set_column = true;
    desc.micro_column = true;
    desc.rows = {testkit::ModeRowShape{}, testkit::ModeRowShape{}};
    desc.rows[1].ink_set = "INK";
    desc.table_a_offsets = {1, 2};
    return testkit::TextBytes(testkit::BuildModeTable(desc));
  }();
  std::vector<uint8_t> text(data + 1, data + size);
  if (data[0] & 1) {
    text = kGood;
    for (size_t at = 1; at + 3 <= size; at += 3) {
      text[(data[at] | (data[at + 1] << 8)) % text.size()] = data[at + 2];
    }
    if (data[0] & 2) text.resize(text.size() / 2);
  }
  colour::ModeTableJob job = testkit::DefaultModeTableJob();
  if (data[0] & 4) job.channel_order = 0;
  const bool unbounded = (data[0] & 8) != 0;
  if (unbounded) text = testkit::EndText(std::move(text));
  const testkit::ExactBlock block(text);
  colour::ModeTableChoice choice;
  colour::ReadModeTable(block.Bytes(!unbounded), job, &choice);
  return 0;
}
