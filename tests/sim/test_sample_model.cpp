#include <gtest/gtest.h>
#include <cmath>
#include <complex>
#include <numbers>

#include "sim/SampleModel.h"

namespace {
double Degrees(double radians) { return radians * 180.0 / std::numbers::pi; }

TEST(SampleModel, ImpedanceIsSeriesResistancePlusParallelRc) {
    SampleParameters p;
    p.parallelDriftPerHour = 0.0;
    const SampleModel model(p);
    const double omega = 2.0 * std::numbers::pi * p.frequencyHz;
    const std::complex<double> expected =
        p.seriesOhms +
        1.0 / (1.0 / p.parallelOhms + std::complex<double>(0.0, omega * p.capacitanceFarads));
    EXPECT_NEAR(std::abs(model.Impedance(0.0) - expected), 0.0, 1e-6 * std::abs(expected));
    // Capacitive: the impedance lags, so its angle is negative.
    EXPECT_LT(std::arg(model.Impedance(0.0)), 0.0);
}

TEST(SampleModel, LimitsOfTheRcNetwork) {
    SampleParameters p;
    p.parallelDriftPerHour = 0.0;
    p.frequencyHz = 1e-6;  // the capacitor is open: Rs + Rp
    EXPECT_NEAR(std::abs(SampleModel(p).Impedance(0.0)), p.seriesOhms + p.parallelOhms, 1.0);
    p.frequencyHz = 1e12;  // the capacitor shorts Rp: Rs
    EXPECT_NEAR(std::abs(SampleModel(p).Impedance(0.0)), p.seriesOhms, 1.0);
}

TEST(SampleModel, ParallelResistanceDriftsSlowly) {
    SampleParameters p;
    p.capacitanceFarads = 0.0;  // purely resistive: |Z| = Rs + Rp(t)
    const SampleModel model(p);
    const double atStart = std::abs(model.Impedance(0.0));
    const double afterOneHour = std::abs(model.Impedance(3600.0));
    EXPECT_NEAR(afterOneHour - atStart, p.parallelOhms * p.parallelDriftPerHour, 1e-6);
    // Linear in time: two seconds move it by 2/3600 of the hourly drift.
    EXPECT_NEAR(std::abs(model.Impedance(2.0)) - atStart,
                p.parallelOhms * p.parallelDriftPerHour * 2.0 / 3600.0, 1e-6);
}

TEST(SampleModel, VoltageOverCurrentGivesTheImpedanceWithinNoise) {
    SampleModel model(SampleParameters{}, 42);
    for (const double t : {0.0, 60.0, 1800.0, 7200.0}) {
        const Phasor v = model.Voltage(t);
        const Phasor i = model.Current(t);
        const std::complex<double> z = model.Impedance(t);
        const double noise = model.Parameters().relativeNoise;
        EXPECT_NEAR(v.amplitude / i.amplitude, std::abs(z), 10 * noise * std::abs(z)) << t;
        EXPECT_NEAR(v.phaseDegrees - i.phaseDegrees, Degrees(std::arg(z)), 0.2) << t;
        EXPECT_NEAR(v.amplitude, model.Parameters().sourceVolts, 10 * noise * 0.1) << t;
    }
}

TEST(SampleModel, NoiseIsGaussianAroundTheTrueValue) {
    SampleParameters p;
    p.relativeNoise = 1e-3;
    SampleModel model(p, 7);
    const int n = 20000;
    double sum = 0.0, sumSquares = 0.0;
    for (int k = 0; k < n; ++k) {
        const double a = model.Voltage(0.0).amplitude / p.sourceVolts - 1.0;
        sum += a;
        sumSquares += a * a;
    }
    const double mean = sum / n;
    const double sd = std::sqrt(sumSquares / n - mean * mean);
    EXPECT_NEAR(mean, 0.0, 5 * p.relativeNoise / std::sqrt(n));
    EXPECT_NEAR(sd, p.relativeNoise, 0.05 * p.relativeNoise);
}

TEST(SampleModel, TheSeedMakesRunsRepeatable) {
    SampleModel a(SampleParameters{}, 5), b(SampleParameters{}, 5), c(SampleParameters{}, 6);
    for (int k = 0; k < 10; ++k) {
        const Phasor pa = a.Current(k), pb = b.Current(k), pc = c.Current(k);
        EXPECT_EQ(pa.amplitude, pb.amplitude);
        EXPECT_EQ(pa.phaseDegrees, pb.phaseDegrees);
        EXPECT_NE(pa.amplitude, pc.amplitude);
    }
}
}  // namespace
