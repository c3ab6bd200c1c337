// The grey table's tone curve, tint and ink limit: the stages of BuildGreyTable.
#pragma once

#include <cstdint>

#include "tonvar/interface/grey_lut.h"
#include "tonvar/interface/status.h"

namespace tonvar::grey {

using ToneCurve = double[256];

void InitToneCurve(ToneCurve& c);
// Each answers 1 when its value is in effect (the curve was processed), else 0.
int ApplyMidCurve(int32_t a, ToneCurve& c);
int ApplyContrastCurve(int32_t a, ToneCurve& c);
int ApplyLowEndCurve(int32_t a, ToneCurve& c);
int ApplyHighEndCurve(int32_t a, ToneCurve& c);
int ApplyLiftCurve(int32_t a, ToneCurve& c);
int ScaleToneCurve(int32_t a, ToneCurve& c);
// 1 when a2 differs from the gamma base; a base below 1 (no table) leaves the curve alone.
int ApplyGammaCurve(int32_t a2, int32_t base, ToneCurve& c);
double FlattenToneValue(double x, int32_t a4);

void ResampleGreyTable(const ToneCurve& c, GreyLut* lut);

// The tint as three components 120 degrees apart, each within -75..75.
void TintToAxes(int32_t a0, int32_t a1, double t[3]);
// 0, 512 (a component outside its range) or 768 (no usable scale, a negative factor, a
// segment of zero width).
EngineStatus ApplyTint(const double t[3], GreyLut* lut);
// One component through one ink's tint record; false for a segment of zero width.
bool MapTintComponent(const GreyTintTables& tint, int32_t range, int32_t ink_id, double t,
                      double* m);
void ScaleInkPairs(GreyLut* lut, const double factors[3]);
// Brings every level's total under `limit`, reducing inks 1 to 5.
void LimitTotalInk(GreyLut* lut, int64_t limit);

}  // namespace tonvar::grey
