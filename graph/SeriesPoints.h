#pragma once
// Reading a series' points for Plot, a block at a time: point i is x element i * nXStride
// and y element i * nYStride, each read by its accessor and passed through its transform,
// x first. The index products are formed in 64 bits and handed to the accessor as an int,
// so a large count times a large stride cannot overflow (type codes 11 and 12 read no
// memory, so such series are legal). Series of plain doubles without transforms (every
// chart of the measurement view) are copied straight from memory: the same bytes GetDouble
// reads and Identity passes on, without two indirect calls per coordinate.

#include "graph/CGraph.h"

// Points are read, mapped and drawn in blocks of this many: small enough to stay in the
// first-level cache, large enough that the per-block work is nothing against the points'.
constexpr int kPointBlock = 256;

// n points: x[k] and y[k], pointing into the series' own data where it can be read as it
// stands (contiguous doubles), else into the block's storage.
struct PointBlock {
    const double* x = nullptr;
    const double* y = nullptr;
    int n = 0;
    double xStorage[kPointBlock];
    double yStorage[kPointBlock];
};

class SeriesCursor {
public:
    explicit SeriesCursor(const GraphSeries& series);
    // Reads the next points, up to kPointBlock of them, into block; false when none is left.
    bool Next(PointBlock& block);

private:
    const GraphSeries& m_series;
    bool m_bPlain;
    bool m_bContiguous;
    int m_nRead = 0;
    long long m_nXIndex = 0;
    long long m_nYIndex = 0;
};

// The extremes of a block's n > 0 points, when each of their values is finite (else false,
// and the extremes are not to be used).
bool FiniteBlockExtremes(const PointBlock& block, double& dXMin, double& dXMax, double& dYMin,
                         double& dYMax);
