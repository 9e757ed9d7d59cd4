#pragma once
// Reading a value off a chart: the sample nearest in time to the pointer and the words the
// status bar shows for it. Plain C++.

#include <string>

#include "ChartNavigation.h"

// Index of the sample whose time is nearest to minutes (the earlier one on a tie), or -1
// without samples. With sorted (times never decrease) it bisects, so a look-up costs
// about 20 steps even for a week of readings; otherwise it compares every sample.
int NearestSampleByTime(const double* timeMinutes, int count, double minutes, bool sorted);

// "Time 12.350 min (0:12:21), Impedance 25000 Ohm" for the impedance chart and
// "Time 12.350 min (0:12:21), Phase 27.75" for the phase chart: the time in minutes and as
// hours:minutes:seconds since the start of the run, the value with six significant digits.
std::string FormatSampleReadout(ChartId chart, double timeMinutes, double value);
