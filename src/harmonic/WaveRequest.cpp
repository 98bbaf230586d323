#include "harmonic/WaveRequest.hpp"

#include "link/Commands.hpp"

namespace qelt {

char RequestLetter(const std::string& phaseText) {
  for (int i = 0; i < 6; ++i)
    if (phaseText == PhaseItems[i]) return static_cast<char>(cmd::WaveFirst + i);
  return '\0';
}

WaveReply RequestWave(Link& link, const ExchangeGuard::Ticket& ticket, const std::function<PhaseSelection()>& current) {
  WaveReply reply;
  SerialPort& port = link.Port();
  Host& host = link.EventHost();
  if (link.Abandoned(ticket)) return reply;
  port.ReadAll();

  // The stored selection starts empty, so at least two passes are made.
  PhaseSelection last;
  for (;;) {
    ++reply.Passes;
    if (!link.WakeMeter(ticket)) return reply;
    link.Delay(PassPause);
    if (link.Abandoned(ticket)) return reply;
    PhaseSelection now = current();
    if (char letter = RequestLetter(now.Phase)) port.Write(std::string(1, letter));
    if (now == last) break;
    last = std::move(now);
  }

  double lastByte = host.Monotonic();
  for (;;) {
    std::string more = port.ReadAll();
    if (!more.empty()) {
      reply.Bytes += more;
      lastByte = host.Monotonic();
    }
    if (reply.Bytes.size() == cmd::WaveReplySize) {
      reply.Outcome = WaveOutcome::Complete;
      break;
    }
    if (reply.Bytes.size() > cmd::WaveReplySize) {
      reply.Outcome = WaveOutcome::TooLong;
      break;
    }
    const double quiet = host.Monotonic() - lastByte;
    if (quiet >= ReplyStallSeconds) {
      reply.Outcome = WaveOutcome::Stalled;
      break;
    }
    host.RunEvents(ReplyStallSeconds - quiet);
    if (link.Abandoned(ticket)) {
      reply.Outcome = WaveOutcome::Abandoned;
      return reply;
    }
  }
  port.Write(std::string(1, cmd::Reset));
  return reply;
}

std::string WaveFailureMessage(const WaveReply& reply) {
  const std::string expected = std::to_string(cmd::WaveReplySize);
  const std::string came = std::to_string(reply.Bytes.size());
  std::string text = reply.Outcome == WaveOutcome::TooLong
                         ? "The instrument sent more than " + expected + " bytes of waveform (" + came + ")."
                         : "The instrument stopped sending the waveform after " + came + " of " + expected + " bytes.";
  return text + "\r\nThe previous analysis is kept; try \"OK\" again.";
}

}  // namespace qelt
