#pragma once
// PtyServer: serves a SimulatedAmplifier on the master end of a PseudoTerminal until told
// to stop. Bytes from the client go to the amplifier as they arrive; replies go back in
// order, a delayed reply holding back those after it. When the amplifier hangs up, the
// server closes the terminal pair and only waits to be stopped.

class PseudoTerminal;
class SimulatedAmplifier;
class WireLog;

class PtyServer {
public:
    // log may be null. stopFd: the server returns once it becomes readable (or hangs up).
    PtyServer(PseudoTerminal& terminal, SimulatedAmplifier& amplifier, WireLog* log, int stopFd);

    // Serves until stopped. Returns 0 when stopped, 1 after an unexpected system error,
    // which it reports on stderr.
    int Run();

private:
    PseudoTerminal& m_terminal;
    SimulatedAmplifier& m_amplifier;
    WireLog* m_log;
    int m_stopFd;
};
