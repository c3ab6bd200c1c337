// The planner's steps, run in a fixed order over one zeroed amounts record.
#include "kalimu/imaging/correction_planner.h"

#include <cmath>

#include "kalimu/imaging/curve_routines.h"
#include "kalimu/imaging/tone_curve.h"

namespace kalimu::imaging {
namespace {

// What every step shares: the records and the dark and light estimates.
struct PlanRun {
  const RowLayout& row;
  const CorrectionParameters& parameters;
  const CorrectionPlan& plan;
  const ImageStatistics& statistics;
  CorrectionAmounts& amounts;
  int32_t s;   // strength in fifths
  int32_t b0;  // dark estimate
  int32_t w0;  // light estimate
  PreviewCurves preview;
};

// Range factor: how far the output range stretches the estimated picture range.
bool RangeFactor(const PlanRun& run, int32_t* r) {
  if (run.w0 - run.b0 <= 0) return false;
  *r = (run.parameters.output_white - run.parameters.output_black) * 255 / (run.w0 - run.b0);
  return true;
}

int32_t FloorSqrt(int32_t v) { return v <= 0 ? 0 : int32_t(std::floor(std::sqrt(double(v)))); }

int32_t StepLevels(PlanRun& run) {
  const CorrectionPlan& plan = run.plan;
  if (plan.levels == 0) return kInnerOk;
  int32_t r = 0;
  if (!RangeFactor(run, &r)) return kInnerNoRange;
  const ImageStatistics& st = run.statistics;
  const CorrectionParameters& p = run.parameters;
  const int32_t b = r * st.shadow_level / 255;
  int32_t e = 0;
  if (b < p.shadow_target) {
    const int32_t k = plan.scene_flag != 0 ? (p.contrast_strength + 4) / 2 : p.contrast_strength;
    e = FloorSqrt(p.shadow_target - b) * k / 4;
  }
  CorrectionAmounts& a = run.amounts;
  a.contrast = e * run.s / 5;
  a.black = st.black_level * run.s / 5;
  a.white = (255 - st.white_level) * run.s / 5;
  if (st.exposure_hint < 0) {
    const int32_t g = Limit(st.exposure_hint * run.s / 5, -50, 20);
    int32_t i = 1;
    for (; i <= 255; ++i) {
      if (std::pow(i / 255.0, g / 100.0) * (g + 100) / 100.0 < 2.5) break;
    }
    a.black -= i;  // 256 when no level qualified
  }
  if (plan.scene_kind == kSceneSample) a.black = -5;
  return kInnerOk;
}

int32_t StepBrightness(PlanRun& run) {
  if (run.plan.brightness == 0) {
    run.amounts.brightness = 0;
    return kInnerOk;
  }
  int32_t r = 0;
  if (!RangeFactor(run, &r)) return kInnerNoRange;
  const ImageStatistics& st = run.statistics;
  const CorrectionParameters& p = run.parameters;
  const int32_t d0 = run.b0 * r / 255;
  const int32_t c = r * st.shadow_level / 255;
  const int32_t d = r * st.mean_level / 255 - d0;
  int32_t e = p.mean_target - d;
  if (run.plan.scene_flag != 0) e = (e - d + 128) / 2;
  int32_t f = e > 0 ? FloorSqrt(4 * e) : -FloorSqrt(-e);
  if (c != 0) f = p.shadow_target * f / c;
  int32_t h = f * run.plan.brightness_scale / 5;
  int32_t a = d0 - 128 * r / 255 + 128;
  const double v = st.exposure_value;
  if (double(a) * v < 0) a = 0;
  if (v != 0) h = a + int32_t(std::trunc(double(h) / std::pow(2.0, std::fabs(v)) + 0.5));
  // Memory-colour samples of kind 0 would pull h toward their candidate's value; the sample
  // picture has none, and the candidate tables are not kept by this engine.
  run.amounts.brightness = h;
  return kInnerOk;
}

int32_t StepBalance(PlanRun& run) {
  CorrectionAmounts& a = run.amounts;
  struct Fixed { int32_t balance[3]; int32_t offset[3]; };
  static constexpr Fixed kToneKinds[6] = {
      {{0, 0, 0}, {0, 0, 0}},       // 0: automatic
      {{0, 0, 0}, {0, 0, 0}},
      {{25, 0, -25}, {0, 0, 0}},
      {{0, 0, 0}, {25, 0, -25}},
      {{-6, 0, 6}, {0, 0, 0}},
      {{4, -1, -3}, {0, 0, 0}},
  };
  const int32_t kind = run.plan.tone_kind;
  if (kind >= 1 && kind <= 5) {
    for (int ch = 0; ch < 3; ++ch) {
      a.highlight_balance[ch] = kToneKinds[kind].balance[ch];
      a.channel_offset[ch] = kToneKinds[kind].offset[ch];
    }
    return kInnerOk;
  }
  if (run.plan.balance == 0) return kInnerOk;
  const ImageStatistics& st = run.statistics;
  const int32_t* m = st.highlight_mean_channel;
  if (m[0] == m[1] && m[1] == m[2]) return kInnerOk;
  int32_t r = 0;
  if (!RangeFactor(run, &r)) return kInnerNoRange;
  for (int ch = 0; ch < 3; ++ch) {
    const int32_t x = run.parameters.balance_strength * (r * (st.highlight_mean - m[ch]) / 510) / 5;
    a.highlight_balance[ch] = run.s * x / 5;
  }
  if (run.plan.balance == 1) {
    a.highlight_balance[0] = 4;
    a.highlight_balance[2] = -2;
  } else if (run.plan.balance == 5) {
    a.highlight_balance[1] = 10;
  }
  return kInnerOk;
}

int32_t StepSaturation(PlanRun& run) {
  if (run.plan.saturation == 0) return kInnerOk;
  const ImageStatistics& st = run.statistics;
  const int32_t b0 = run.plan.scene_kind == kSceneSample ? -5 : st.black_level * run.s / 5;
  const int32_t f = 255 - (255 - st.white_level) * run.s / 5 - b0;
  if (f <= 0) return kInnerNoRange;
  const CorrectionParameters& p = run.parameters;
  const int32_t h = (p.output_white - p.output_black) * 255 / f;
  const int32_t m = h * st.saturation_level / 256;
  if (st.saturation_level < 64) return kInnerOk;
  int32_t o = (p.saturation_target - m) / 2;
  if (o < 1) return kInnerOk;
  if (o > 50) o = 50;
  const int32_t t = o * run.s / 5 + (run.plan.noise != 0 ? 10 : 0);
  CorrectionAmounts& a = run.amounts;
  a.saturation = t;
  for (int ch = 0; ch < 3; ++ch) a.saturation_channel[ch] = t;
  if (run.plan.scene_kind == 10) a.saturation_channel[0] = t + 2 * run.s;
  return kInnerOk;
}

int32_t StepGamma(PlanRun& run) {
  CorrectionAmounts& a = run.amounts;
  if (run.plan.gamma == 0) {
    a.gamma = 0;
    return kInnerOk;
  }
  a.gamma = run.plan.scene_kind == 9 ? -30 : Limit(run.statistics.exposure_hint * run.s / 5, -50, 20);
  if (run.row.flag == 1) a.gamma += 12;
  return kInnerOk;
}

int32_t StepToneWeights(PlanRun& run, CorrectionParameters* parameters) {
  if (run.plan.tone_kind == 0) return kInnerOk;
  parameters->flags |= kParamMonochrome;
  const CorrectionPlan& plan = run.plan;
  const ImageStatistics& st = run.statistics;
  int32_t w[3] = {0, 0, 0};
  if (plan.scene_kind == 0) {
    // no weights
  } else if (plan.scene_kind == kSceneSample) {
    const ColourSample& skin = st.skin_sample;
    const int32_t m = (skin.red + skin.green + skin.blue) / 3;
    w[0] = (m - skin.red) * 2;
    w[1] = (m - skin.green) * 2;
    w[2] = (m - skin.blue) * 2;
  } else {
    const ColourSample& g = st.green_sample;
    const ColourSample& b = st.blue_sample;
    const ColourSample& r = st.red_sample;
    const ColourSample* zone = nullptr;
    int divisor = 1;
    int multiplier = 1;
    const bool others_halve = plan.scene_kind != 3;
    if (b.count > g.count && b.count > r.count) {
      zone = &b;
      if (plan.scene_kind == 3) multiplier = 4; else divisor = 2;
    } else if (r.count > g.count && r.count > b.count) {
      zone = &r;
      divisor = 2;
      if (others_halve) divisor = 4;
    } else if (g.count > b.count && g.count > r.count) {
      zone = &g;
      if (others_halve) divisor = 2;
    }
    if (zone != nullptr) {
      const int32_t m = (zone->red + zone->green + zone->blue) / 3;
      const int32_t values[3] = {zone->red, zone->green, zone->blue};
      for (int ch = 0; ch < 3; ++ch) w[ch] = (m - values[ch]) * multiplier / divisor;
    }
  }
  for (int ch = 0; ch < 3; ++ch) {
    if (plan.scene_kind != 1 && plan.scene_flag == 0) w[ch] = w[ch] * 4 / 3;
    run.amounts.tone_weight[ch] = w[ch] * run.s / 10;
  }
  return kInnerOk;
}

void BuildPreviewCurves(PlanRun& run) {
  const CorrectionAmounts& a = run.amounts;
  for (int ch = 0; ch < 3; ++ch) {
    int32_t curve[256];
    ChannelToneCurve(a, ch, StretchForm::kPreview, curve);
    for (int32_t x = 0; x < 256; ++x) {
      const int32_t v = a.channel_offset[ch] != 0 ? Limit(curve[x] + a.channel_offset[ch], 0, 255) : curve[x];
      run.preview.channel[ch][x] = uint8_t(v);
    }
  }
}

// Shift of one zone's curves: how far the spline through the sample's predicted value and the
// target moves the key point p.
void ZoneShift(const PlanRun& run, const ColourSample& sample, const int32_t target[3],
               int32_t p, int32_t strength, int32_t zone[3]) {
  const int32_t values[3] = {sample.red, sample.green, sample.blue};
  for (int ch = 0; ch < 3; ++ch) {
    const int32_t v = run.preview.channel[ch][Limit(values[ch], 0, 255)];
    const int32_t kx[3] = {0, v, 255};
    const int32_t ky[3] = {0, target[ch], 255};
    // A sample predicted at 0 or 255 gives no spline: the curve stays flat and moves nothing.
    const Spline spline(kx, ky, 3, 1);
    const int32_t d = spline.Value(p);
    zone[ch] = (d - p) * strength / 100 * run.s / 5;
  }
}

void StepSkinZone(PlanRun& run) {
  const ColourSample& sample = run.statistics.skin_sample;
  if (sample.count <= 0) return;
  int32_t strength = run.parameters.skin_strength;
  switch (run.plan.skin) {
    case 1: strength = strength * 2 / 5; break;
    case 3: strength *= 2; break;
    case 4: strength *= 3; break;
    case 5: strength *= 4; break;
    default: break;
  }
  if (run.plan.skin != 0) {
    ZoneShift(run, sample, run.parameters.skin_target, 192, strength, run.amounts.skin_zone);
  }
}

// Blue and green: the zone shift, then the fixed offsets of items 4 and 5 and scene kind 12.
void StepColourZone(PlanRun& run, const ColourSample& sample, int32_t item, const int32_t target[3],
                    int32_t p, int32_t strength, const int32_t offsets[3], const int32_t item5_less[3],
                    int32_t zone[3]) {
  if (sample.count <= 1) return;
  if (item == 1) strength /= 2;
  if (item >= 3 && item <= 5) strength = strength * 3 / 2;
  if (item != 0) ZoneShift(run, sample, target, p, strength, zone);
  for (int ch = 0; ch < 3; ++ch) {
    if (item == 4) zone[ch] += offsets[ch];
    if (item == 5) zone[ch] += offsets[ch] - item5_less[ch];
    if (run.plan.scene_kind == 12) zone[ch] += offsets[ch];
  }
}

void StepRedZone(PlanRun& run) {
  if (run.statistics.red_sample.count <= 1) return;
  static constexpr int32_t kRedShift[3] = {16, -8, -8};
  static constexpr int32_t kItem5Less[3] = {20, 15, 20};
  const int32_t* offsets = run.parameters.red_offset;
  int32_t* zone = run.amounts.red_zone;
  for (int ch = 0; ch < 3; ++ch) {
    zone[ch] = run.plan.red != 0 ? kRedShift[ch] : 0;
    if (run.plan.red == 4) zone[ch] += offsets[ch];
    if (run.plan.red == 5) zone[ch] += offsets[ch] - kItem5Less[ch];
    if (run.plan.scene_kind == 12) zone[ch] = offsets[ch];
  }
}

void ClampAmounts(CorrectionAmounts* a) {
  auto clamp50 = [](int32_t& v) { v = Limit(v, -50, 50); };
  clamp50(a->brightness);
  clamp50(a->contrast);
  clamp50(a->gamma);
  clamp50(a->sharpness_amount);
  clamp50(a->sharpness_radius);
  clamp50(a->black);
  clamp50(a->white);
  clamp50(a->saturation);
  for (int ch = 0; ch < 3; ++ch) {
    clamp50(a->black_channel[ch]);
    clamp50(a->white_channel[ch]);
    clamp50(a->highlight_balance[ch]);
    clamp50(a->channel_offset[ch]);
    clamp50(a->saturation_channel[ch]);
    clamp50(a->green_zone[ch]);
    clamp50(a->blue_zone[ch]);
    clamp50(a->skin_zone[ch]);
    clamp50(a->red_zone[ch]);
    a->tone_weight[ch] = Limit(a->tone_weight[ch], -70, 70);
  }
  a->tone_spare = Limit(a->tone_spare, -70, 70);
}

}  // namespace

int32_t PlanCorrection(const RowLayout* row, CorrectionParameters* parameters, CorrectionPlan* plan,
                       const ImageStatistics* statistics, CorrectionAmounts* amounts) {
  if (plan == nullptr) return kInnerNoPlan;
  if (row == nullptr) return kInnerBadRow;
  if (parameters == nullptr) return kInnerNoParameters;
  if (statistics == nullptr) return kInnerNoRange;
  if (amounts == nullptr) return kInnerNoAmounts;

  DetectScene(*statistics, plan);
  FillCorrectionParameters(row, plan, parameters);
  MergeCorrectionOverride(parameters, nullptr);
  *amounts = CorrectionAmounts{};
  // Outside records (shooting information, manual adjustments) are never attached here.
  if ((statistics->validity & 1) == 0) return kInnerOk;

  PlanRun run{*row, *parameters, *plan, *statistics, *amounts, plan->strength, 0, 0, {}};
  run.b0 = plan->scene_kind == kSceneSample ? -5 : statistics->black_level * run.s / 5;
  run.w0 = 255 - (255 - statistics->white_level) * run.s / 5;

  int32_t status = StepLevels(run);
  if (status == kInnerOk) status = StepBrightness(run);
  if (status == kInnerOk) status = StepBalance(run);
  // Sharpness and noise amounts are read by no pass of this engine: they stay 0.
  if (status == kInnerOk) status = StepSaturation(run);
  if (status == kInnerOk) status = StepGamma(run);
  if (status == kInnerOk) status = StepToneWeights(run, parameters);
  if (status != kInnerOk) return status;
  BuildPreviewCurves(run);
  StepSkinZone(run);
  const CorrectionParameters& p = *parameters;
  static constexpr int32_t kBlueItem5Less[3] = {15, 10, 10};
  static constexpr int32_t kGreenItem5Less[3] = {20, 15, 20};
  StepColourZone(run, statistics->blue_sample, plan->blue, p.blue_target, 192, p.blue_strength,
                 p.blue_offset, kBlueItem5Less, amounts->blue_zone);
  StepColourZone(run, statistics->green_sample, plan->green, p.green_target, 64, p.green_strength,
                 p.green_offset, kGreenItem5Less, amounts->green_zone);
  StepRedZone(run);
  // Memory-colour regions need scene detection's memory-colour item, which this engine's
  // scene kind never sets: the region count stays 0.
  amounts->region_count = 0;
  ClampAmounts(amounts);
  amounts->region_mask = statistics->region_mask;
  return kInnerOk;
}

void AdjustNoiseAndSharpness(const CorrectionSettings& settings, const CorrectionPlan& plan,
                             CorrectionAmounts* amounts) {
  if (settings.Option == 0) amounts->noise_class = 0;
  if (settings.Option == 2) amounts->noise_class = 5;
  if (plan.sharpness == 0) amounts->sharpness_amount = 0;
  if (plan.sharpness == 4) amounts->sharpness_amount += 15;
}

}  // namespace kalimu::imaging
