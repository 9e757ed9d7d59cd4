#include "DemoPrompts.h"

std::string DemoPrompts::AskDataFileName() {
    if (m_bFileAnswered) return m_real.AskDataFileName();
    m_bFileAnswered = true;
    return m_dataFile;
}

bool DemoPrompts::AskSetup(int* nPort, int* nInterval) {
    if (m_bSetupAnswered) return m_real.AskSetup(nPort, nInterval);
    m_bSetupAnswered = true;
    *nPort = 1;      // COM2, the dialog's default
    *nInterval = 2;  // s
    return true;
}
