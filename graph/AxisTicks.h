#pragma once
// Tick arithmetic shared by CGraph::CalcAxisTicks and CGraph::DrawAxes: pure functions of
// doubles, no surface.

// Hard cap on the number of ticks any walk visits, whatever its input.
constexpr int kMaxTicks = 1000;
// An end tick counts as reaching the range end when it lies within 10/19 of a step of it.
constexpr double kTickEndTolerance = 10.0 / 19.0;
// Axis bounds are clamped to +-kAxisLimit, so widening and stepping stay finite.
constexpr double kAxisLimit = 1e300;
// Ranges narrower than this would give a chart up to 2^29 pixels wide an infinite
// pixels-per-unit factor.
constexpr double kMinAxisRange = 1e-290;
// nMinIntervals is kept in 1..kMaxMinIntervals so a walk stays well under kMaxTicks.
constexpr int kMaxMinIntervals = 100;

// 1, 2 or 5 times a power of ten such that dRange spans from nMinIntervals up to
// 2.5 * nMinIntervals steps (both ratio tests strict). dRange must be positive.
double AxisStep(double dRange, int nMinIntervals);

// Whether [dMin, dMax] is finite, increasing, at least kMinAxisRange wide, and its step
// changes every value the tick walks reach when added to it (they go up to two steps
// beyond the bounds).
bool IsSteppableRange(double dMin, double dMax, int nMinIntervals);

// Leaves a steppable range alone. Otherwise: a non-finite bound makes the range 0..1;
// bounds are clamped to +-kAxisLimit; a reversed range is swapped; a range that still
// cannot be stepped is widened like an empty one (WidenEmptyRange), which always makes it
// steppable.
void MakeSteppableRange(double& dMin, double& dMax, int nMinIntervals);

// dMax grows by |dMax| + 1 and dMin shrinks by |dMin| + 1: 5..5 becomes -1..11.
void WidenEmptyRange(double& dMin, double& dMax);

// Tick label text: "%g" of v, or "0" when |v| < dStep / 4 (a tick that should be zero but
// carries rounding). Returns the text's length.
constexpr int kTickLabelSize = 32;
int FormatTickLabel(char (&szLabel)[kTickLabelSize], double v, double dStep);
