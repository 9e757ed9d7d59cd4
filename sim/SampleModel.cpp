#include "SampleModel.h"

#include <cmath>
#include <numbers>

SampleModel::SampleModel(const SampleParameters& parameters, std::uint64_t seed)
    : m_parameters(parameters), m_random(seed) {}

std::complex<double> SampleModel::Impedance(double seconds) const {
    const SampleParameters& p = m_parameters;
    const double rp = p.parallelOhms * (1.0 + p.parallelDriftPerHour * seconds / 3600.0);
    const double omega = 2.0 * std::numbers::pi * p.frequencyHz;
    const std::complex<double> parallel =
        rp / std::complex<double>(1.0, omega * rp * p.capacitanceFarads);
    return p.seriesOhms + parallel;
}

Phasor SampleModel::Voltage(double /*seconds*/) {
    // The source drives the sample directly: the voltage is the reference phasor.
    return WithNoise(std::complex<double>(m_parameters.sourceVolts, 0.0));
}

Phasor SampleModel::Current(double seconds) {
    return WithNoise(std::complex<double>(m_parameters.sourceVolts, 0.0) / Impedance(seconds));
}

Phasor SampleModel::WithNoise(std::complex<double> value) {
    Phasor observed;
    observed.amplitude = std::abs(value) * (1.0 + m_parameters.relativeNoise * m_gauss(m_random));
    observed.phaseDegrees = std::arg(value) * 180.0 / std::numbers::pi +
                            m_parameters.phaseNoiseDegrees * m_gauss(m_random);
    return observed;
}
