#pragma once
// DefaultPortFactory: the program's ports. "sim" is the simulated amplifier in this
// process; every other name is a serial device of the operating system.

#include <cstdint>
#include <memory>
#include <string>

#include "measure/SerialPort.h"
#include "sim/AmplifierFault.h"

class Clock;

class DefaultPortFactory final : public SerialPortFactory {
public:
    // Simulated ports wait on a steady clock of the factory's own.
    DefaultPortFactory();
    // Simulated ports wait on clock, which must outlive every port made.
    explicit DefaultPortFactory(Clock& simulatorClock);
    ~DefaultPortFactory() override;

    // How simulated ports made from now on misbehave (for trying out failure handling).
    void SetSimulatorFault(const AmplifierFault& fault) { m_fault = fault; }

    std::unique_ptr<SerialPort> Create(const std::string& device) override;

private:
    std::unique_ptr<Clock> m_pOwnClock;
    Clock& m_clock;
    AmplifierFault m_fault;
    std::uint64_t m_nNextSeed = 1;  // each simulated port its own noise
};
