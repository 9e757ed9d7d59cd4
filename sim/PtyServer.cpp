#include "PtyServer.h"

#include <poll.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

#include "DeviceLink.h"
#include "PseudoTerminal.h"
#include "SimulatedAmplifier.h"
#include "WireLog.h"

namespace {
using SteadyTime = std::chrono::steady_clock::time_point;

struct ScheduledReply {
    std::string bytes;
    SteadyTime due;
};

int MillisecondsUntil(SteadyTime due) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        due - std::chrono::steady_clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count()) + 1;
}
}  // namespace

PtyServer::PtyServer(PseudoTerminal& terminal, SimulatedAmplifier& amplifier, WireLog* log,
                     int controlFd, DeviceLink* link)
    : m_terminal(terminal),
      m_amplifier(amplifier),
      m_pLog(log),
      m_nControlFd(controlFd),
      m_pLink(link) {}

bool PtyServer::Handle(char request, int* status) {
    switch (static_cast<ServerRequest>(request)) {
        case ServerRequest::Stop: *status = 0; return false;
        case ServerRequest::Unplug:
            if (!m_terminal.IsOpen()) return true;
            m_terminal.Close();
            m_bClearReplies = true;
            if (m_pLink) m_pLink->Remove();
            if (m_pLog) m_pLog->Note("unplugged");
            return true;
        case ServerRequest::Plug:
            if (m_terminal.IsOpen()) return true;
            if (!m_terminal.Open()) {
                std::fprintf(stderr, "varkel-sim: cannot create a pseudo-terminal: %s\n",
                             m_terminal.Error().c_str());
                *status = 1;
                return false;
            }
            if (m_pLink && !m_pLink->PointAt(m_terminal.SlavePath())) {
                std::fprintf(stderr, "varkel-sim: %s\n", m_pLink->Error().c_str());
                *status = 1;
                return false;
            }
            if (m_pLog) m_pLog->Note("plugged in " + m_terminal.SlavePath());
            return true;
    }
    return true;  // an unknown byte asks for nothing
}

int PtyServer::Run() {
    const SteadyTime start = std::chrono::steady_clock::now();
    std::deque<ScheduledReply> replies;

    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        while (!replies.empty() && replies.front().due <= now) {
            const std::string& bytes = replies.front().bytes;
            const ssize_t written = ::write(m_terminal.MasterFd(), bytes.data(), bytes.size());
            if (m_pLog) {
                if (written == static_cast<ssize_t>(bytes.size())) {
                    m_pLog->Sent(bytes);
                } else {
                    // The client's input buffer is full: a real line loses the bytes too.
                    m_pLog->Note("reply dropped: " + EscapeBytes(bytes));
                }
            }
            replies.pop_front();
        }

        pollfd fds[2] = {{m_nControlFd, POLLIN, 0}, {m_terminal.MasterFd(), POLLIN, 0}};
        const nfds_t count = m_terminal.IsOpen() ? 2 : 1;
        const int timeoutMs = replies.empty() ? -1 : MillisecondsUntil(replies.front().due);
        if (::poll(fds, count, timeoutMs) < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "varkel-sim: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (fds[0].revents != 0) {
            char requests[16];
            const ssize_t got = ::read(m_nControlFd, requests, sizeof requests);
            if (got <= 0) {
                if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
                return 0;  // nobody can ask anything any more
            }
            int status = 0;
            for (ssize_t i = 0; i < got; ++i) {
                if (!Handle(requests[i], &status)) return status;
                // What was on its way went with the device; none of it may reach the next.
                if (m_bClearReplies) replies.clear();
                m_bClearReplies = false;
            }
            continue;
        }
        if (count < 2 || fds[1].revents == 0) continue;

        unsigned char buffer[256];
        const ssize_t got = ::read(m_terminal.MasterFd(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            std::fprintf(stderr, "varkel-sim: read %s: %s\n", m_terminal.SlavePath().c_str(),
                         std::strerror(errno));
            return 1;
        }
        if (got == 0) continue;
        if (m_pLog)
            m_pLog->Received(
                std::string(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(got)));

        for (ssize_t i = 0; i < got && !m_amplifier.HungUp(); ++i) {
            const auto arrived = std::chrono::steady_clock::now();
            const double seconds = std::chrono::duration<double>(arrived - start).count();
            AmplifierReply reply = m_amplifier.Receive(buffer[i], seconds);
            if (reply.bytes.empty()) continue;
            SteadyTime due = arrived + std::chrono::milliseconds(reply.delayMs);
            if (!replies.empty() && replies.back().due > due) due = replies.back().due;
            if (reply.byteGapMs <= 0) {
                replies.push_back({std::move(reply.bytes), due});
                continue;
            }
            for (const char byte : reply.bytes) {  // a trickle: each byte on its own
                replies.push_back({std::string(1, byte), due});
                due += std::chrono::milliseconds(reply.byteGapMs);
            }
        }
        if (m_amplifier.HungUp()) {
            if (m_pLog) m_pLog->Note("hangup");
            replies.clear();
            m_terminal.Close();
        }
    }
}
