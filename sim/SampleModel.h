#pragma once
// SampleModel: the physical sample behind the simulated amplifier. A series resistance
// in front of a parallel RC, driven by a sine source of fixed amplitude and frequency.
// The parallel resistance drifts slowly and linearly with time; every observation carries
// a little Gaussian noise from a seedable generator, so a test can repeat a run exactly.

#include <complex>
#include <cstdint>
#include <random>

struct SampleParameters {
    double seriesOhms = 1.0e3;           // Rs
    double parallelOhms = 1.0e5;         // Rp at time 0
    double parallelDriftPerHour = 0.03;  // Rp grows by this fraction of itself per hour
    double capacitanceFarads = 1.0e-9;   // C, parallel to Rp
    double frequencyHz = 1.0e3;          // drive frequency
    double sourceVolts = 0.1;            // drive amplitude, applied across the sample
    double relativeNoise = 1.0e-4;       // standard deviation of amplitudes, as a fraction
    double phaseNoiseDegrees = 0.01;     // standard deviation of phases
};

// An observed sine: amplitude in volts or amperes, phase in degrees against the source.
struct Phasor {
    double amplitude = 0.0;
    double phaseDegrees = 0.0;
};

class SampleModel {
public:
    explicit SampleModel(const SampleParameters& parameters = {}, std::uint64_t seed = 1);

    // The noiseless complex impedance in ohms at time seconds.
    std::complex<double> Impedance(double seconds) const;

    // The voltage across the sample at time seconds, with noise.
    Phasor Voltage(double seconds);
    // The current through the sample at time seconds, with noise.
    Phasor Current(double seconds);

    const SampleParameters& Parameters() const { return m_parameters; }

private:
    Phasor WithNoise(std::complex<double> value);

    SampleParameters m_parameters;
    std::mt19937_64 m_random;
    std::normal_distribution<double> m_gauss{0.0, 1.0};
};
