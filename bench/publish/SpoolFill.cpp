// Fills a spool with N readings as the publisher would write them (without
// forcing each to disk), for the replay benchmark: bench_spool_fill DIR N.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/LiveReading.hpp"
#include "publish/PublishMessages.hpp"
#include "publish/Spool.hpp"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  qelt::Spool spool;
  spool.SetSync(false);
  if (const qelt::Result<> opened = spool.Open(argv[1], 1024ull << 20); !opened) {
    std::fprintf(stderr, "%s\n", opened.Reason().c_str());
    return 4;
  }
  qelt::LiveReading reading;
  for (int i = 0; i < qelt::QuantityCount; ++i) reading.ByIndex(i) = "230.5";
  qelt::MeterState meter;
  meter.WiringCode = 8;
  meter.WiringMode = "3P4W";
  const long n = std::atol(argv[2]);
  for (long i = 0; i < n; ++i) {
    qelt::ReadingMoment moment{{2026, 12, 10, 10, 0, 0}, 0, 0};
    if (!spool.Append(qelt::ReadingMessage(spool.NextSeq(), moment, meter, reading))) return 4;
  }
  return 0;
}
