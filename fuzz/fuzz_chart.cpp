// CGraph with fuzz-chosen series data of every type code, styles, strides that stay inside
// the data, fixed ranges of any value, and any rectangle (tiny, inverted, huge), plotted on
// the recording surface. Plot must end, and leave the surface as it found it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graph/CGraph.h"
#include "graph/RecordingDC.h"

namespace {

constexpr int kElementSize[] = {4, 8, 8, 1, 1, 2, 2, 4, 4, 4, 4, 0, 0};
constexpr std::size_t kDataBytes = 4096;

int ElementSize(int type) { return type >= 0 && type <= 12 ? kElementSize[type] : 1; }

double PickDouble(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 4)) {
        case 0: return in.ConsumeFloatingPoint<double>();
        case 1: return in.ConsumeFloatingPointInRange<double>(-1e3, 1e3);
        case 2: return std::nan("");
        case 3: return in.ConsumeBool() ? INFINITY : -INFINITY;
        default: return static_cast<double>(in.ConsumeIntegral<std::int16_t>());
    }
}

double Square(double v) { return v * v; }
double Log(double v) { return std::log(v); }
double Reciprocal(double v) { return 1.0 / v; }
constexpr GraphTransform kTransforms[] = {nullptr, Identity, Square, Log, Reciprocal};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);

    CRect rect;
    if (in.ConsumeBool()) {
        rect = {in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(),
                in.ConsumeIntegral<int>()};
    } else {
        rect = {in.ConsumeIntegralInRange(-50, 300), in.ConsumeIntegralInRange(-50, 300),
                in.ConsumeIntegralInRange(-50, 2500), in.ConsumeIntegralInRange(-50, 1500)};
    }

    // Series data live in one aligned buffer the fuzzer fills.
    alignas(16) static unsigned char buffer[kDataBytes + 16];
    std::memset(buffer, 0, sizeof buffer);
    const int seriesCount = in.ConsumeIntegralInRange(0, 12);
    struct Series {
        int count, style, xType, yType, xStride, yStride, xTransform, yTransform;
    };
    std::vector<Series> series;
    for (int s = 0; s < seriesCount; ++s) {
        Series one{};
        one.xType = in.ConsumeIntegralInRange(-2, 14);
        one.yType = in.ConsumeIntegralInRange(-2, 14);
        one.style =
            in.ConsumeBool() ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange(-1, 15);
        one.count = in.ConsumeIntegralInRange(-2, 300);
        one.xStride = in.ConsumeIntegralInRange(0, 4);
        one.yStride = in.ConsumeIntegralInRange(0, 4);
        one.xTransform = in.ConsumeIntegralInRange(0, 4);
        one.yTransform = in.ConsumeIntegralInRange(0, 4);
        // Keep every element i * stride for i < count inside the buffer.
        for (int* stride : {&one.xStride, &one.yStride}) {
            const int type = stride == &one.xStride ? one.xType : one.yType;
            const int elem = ElementSize(type);
            if (elem == 0 || one.count <= 1) continue;
            const long long last = static_cast<long long>(one.count - 1) * *stride * elem + elem;
            if (last > static_cast<long long>(kDataBytes)) *stride = 0;
        }
        series.push_back(one);
    }
    const std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(kDataBytes);
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());

    RecordingDC dc;
    CGraph chart(&dc, rect);
    for (const Series& s : series) {
        chart.AddSeries(s.count, buffer, buffer + (s.yType == s.xType ? 0 : 8), s.style, s.xType,
                        s.yType, s.xStride, s.yStride, kTransforms[s.xTransform],
                        kTransforms[s.yTransform]);
    }
    if (in.ConsumeBool()) {
        chart.m_dXMin = PickDouble(in);
        chart.m_dXMax = PickDouble(in);
        chart.m_dYMin = PickDouble(in);
        chart.m_dYMax = PickDouble(in);
        chart.m_bFixedRange = TRUE;
    }
    chart.SetTitles(in.ConsumeBool() ? "Time [min]" : "", in.ConsumeBool() ? "Impedance" : "");
    chart.Plot();
    if (!dc.IsBalanced()) std::abort();
    return 0;
}
