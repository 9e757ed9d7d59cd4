#include "PortFactory.h"

#include "measure/Clock.h"
#include "measure/PortMap.h"
#include "platform/serial/QtSerialPort.h"
#include "sim/SimulatedPort.h"

DefaultPortFactory::DefaultPortFactory()
    : m_pOwnClock(std::make_unique<SteadyClock>()), m_clock(*m_pOwnClock) {}

DefaultPortFactory::DefaultPortFactory(Clock& simulatorClock) : m_clock(simulatorClock) {}

DefaultPortFactory::~DefaultPortFactory() = default;

std::unique_ptr<SerialPort> DefaultPortFactory::Create(const std::string& device) {
    if (device == PortMap::kSimulated)
        return std::make_unique<SimulatedPort>(m_clock, m_fault, m_nNextSeed++);
    return std::make_unique<QtSerialPort>();
}
