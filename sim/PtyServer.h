#pragma once
// PtyServer: serves a SimulatedAmplifier on the master end of a PseudoTerminal until told
// to stop. Bytes from the client go to the amplifier as they arrive; replies go back in
// order, a delayed reply holding back those after it. When the amplifier hangs up, the
// server closes the terminal pair and only waits to be stopped.
//
// It is told what to do through a control descriptor, one byte per request (a signal
// handler can write them): stop, unplug (the terminal pair closes, the client sees the
// device hang up, a DeviceLink stops pointing anywhere) and plug in (a new pair, the link
// pointing at it).

class DeviceLink;
class PseudoTerminal;
class SimulatedAmplifier;
class WireLog;

enum class ServerRequest : char { Stop = 'S', Unplug = 'U', Plug = 'P' };

class PtyServer {
public:
    // log and link may be null. The server returns once controlFd asks it to stop, reads
    // end-of-file or fails.
    PtyServer(PseudoTerminal& terminal, SimulatedAmplifier& amplifier, WireLog* log, int controlFd,
              DeviceLink* link = nullptr);

    // Serves until stopped. Returns 0 when stopped, 1 after an unexpected system error,
    // which it reports on stderr.
    int Run();

private:
    // Carries out one request; false when the server should return (with *status).
    bool Handle(char request, int* status);

    PseudoTerminal& m_terminal;
    SimulatedAmplifier& m_amplifier;
    WireLog* m_pLog;
    int m_nControlFd;
    DeviceLink* m_pLink;
    bool m_bClearReplies = false;
};
