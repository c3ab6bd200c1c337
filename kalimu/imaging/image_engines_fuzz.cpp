// Fuzz target: both image engines with fuzzed descriptors, settings, parameters and small
// pictures; the pattern pass also gets fuzzed pattern pictures.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kalimu/imaging/mono_preview.h"
#include "kalimu/imaging/photo_correct.h"
#include "kalimu/imaging/photo_correct_context.h"

namespace {

using namespace kalimu::imaging;

// Reads the fuzzer's bytes in order; zeros once they run out.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int32_t Int32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(Byte()) << (8 * i);
    return int32_t(v);
  }
  // Mostly a value from the list, sometimes any 32-bit value.
  int32_t Pick(const int32_t* values, size_t count) {
    const uint8_t b = Byte();
    return b < 224 ? values[b % count] : Int32();
  }
  const uint8_t* Rest(size_t* size) {
    *size = size_ - (at_ < size_ ? at_ : size_);
    return data_ + (at_ < size_ ? at_ : size_);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// A descriptor of at most 40 x 40 pixels whose rows fit the picture the target allocates.
ImageDescriptor FuzzDescriptor(Input& in) {
  static const int32_t kFormats[] = {1, 2, 4, 8, 0x80002, 0x80008, 3, 0};
  static const int32_t kBits[] = {24, 32, 16};
  ImageDescriptor d{};
  d.Width = int32_t(in.Byte() % 41) - (in.Byte() == 0xFF ? 50 : 0);
  d.Height = int32_t(in.Byte() % 41);
  d.Format = uint32_t(in.Pick(kFormats, 8));
  d.BitCount = in.Pick(kBits, 3);
  d.Stride = int32_t(in.Byte() % 170) - 5;
  return d;
}

void FillPicture(std::vector<uint8_t>* picture, const uint8_t* bytes, size_t size) {
  for (size_t i = 0; i < picture->size(); ++i) (*picture)[i] = size != 0 ? bytes[i % size] : uint8_t(i * 31);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  const ImageDescriptor source = FuzzDescriptor(in);
  ImageDescriptor destination = source;
  if (in.Byte() & 1) destination = FuzzDescriptor(in);

  static const int32_t kClasses[] = {3, 0, 1, 2};
  static const int32_t kModes[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  static const int32_t kLevels[] = {-1, 0, 1, 2, 3, 4};
  static const int32_t kStrengths[] = {0, 5, 10};
  static const int32_t kOptions[] = {0, 1, 2};
  CorrectionSettings settings{};
  settings.Size = 56;
  settings.Class = in.Pick(kClasses, 4);
  settings.Mode = in.Pick(kModes, 12);
  settings.Level = in.Pick(kLevels, 6);
  settings.Strength = in.Pick(kStrengths, 3);
  settings.Option = in.Pick(kOptions, 3);
  settings.Flags = in.Byte() & 7;

  static const int32_t kTones[] = {140, 160, 180, 200, 220, 240, 150};
  MonoPreviewParams params{};
  params.toningA = int32_t(in.Byte() % 161) - 80;
  params.toningB = int32_t(in.Byte() % 161) - 80;
  params.tone = in.Pick(kTones, 7);
  params.brightness = int32_t(in.Byte() % 61) - 30;
  params.contrast = int32_t(in.Byte() % 61) - 30;
  params.shadowTone = int32_t(in.Byte() % 61) - 30;
  params.highlightTone = int32_t(in.Byte() % 61) - 30;
  params.fade = int32_t(in.Byte() % 61) - 55;
  params.highlightLimit = int32_t(in.Byte() % 3);

  // Picture buffers as large as the larger of the two descriptions claims (and never empty).
  auto bytes_of = [](const ImageDescriptor& d) {
    const int64_t rows = d.Height > 0 ? d.Height : 0;
    const int64_t stride = d.Stride > 0 ? d.Stride : 0;
    return size_t(rows * stride + 1);
  };
  size_t rest_size = 0;
  const uint8_t* rest = in.Rest(&rest_size);
  std::vector<uint8_t> source_bits(bytes_of(source));
  FillPicture(&source_bits, rest, rest_size);
  const size_t out_size = bytes_of(destination) > bytes_of(source) ? bytes_of(destination) : bytes_of(source);
  std::vector<uint8_t> out(out_size, 0xCD);
  uint8_t palette[1024];

  // A pattern picture made of the rest of the input: sometimes valid, mostly not.
  std::vector<uint8_t> pattern(1078 + 128 * 128, 0);
  FillPicture(&pattern, rest, rest_size);
  if (rest_size > 0 && (rest[0] & 1) != 0) {
    const uint8_t header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0, 40, 0, 0, 0,
                              128, 0, 0, 0, 128, 0, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0};
    std::memcpy(pattern.data(), header, sizeof(header));
  }

  PhotoCorrectContext* photo = nullptr;
  if (PhotoCorrectCreate(&source, source_bits.data(), &photo) == kImageOk) {
    AttachPatternPictures(photo, {pattern.data(), pattern.size()}, {pattern.data(), pattern.size()});
    PhotoCorrectProcess(photo, &settings, &destination, out.data(), (in.Byte() & 1) ? palette : nullptr);
    PhotoCorrectProcess(photo, &settings, &destination, out.data(), palette);
    PhotoCorrectDestroy(photo);
  }

  MonoPreviewContext* mono = nullptr;
  if (MonoPreviewCreate(&source, source_bits.data(), &mono) == kImageOk) {
    MonoPreviewProcess(mono, &params, &destination, out.data());
    MonoPreviewDestroy(mono);
  }
  return 0;
}
