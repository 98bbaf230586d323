// The spool on any bytes as a segment file (after one whole entry of its
// own): opening never fails or crashes, what is read comes in rising seq
// order, and an entry appended afterwards is read back after a reopen.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "publish/Spool.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("qelt-spool-fuzz-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  {
    std::ofstream out(folder / "00000000000000000001.qsp", std::ios::binary);
    out << qelt::SpoolEntryBytes(1, "first");
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::uint64_t next = 0;
  {
    qelt::Spool spool;
    spool.SetSync(false);
    Check(spool.Open(folder.string(), 1 << 20).Ok());
    const auto entries = spool.Read(1, 100000);
    Check(!entries.empty() && entries.front().Seq == 1 && entries.front().Payload == "first");
    for (std::size_t i = 1; i < entries.size(); ++i) Check(entries[i].Seq > entries[i - 1].Seq);
    Check(spool.NextSeq() > entries.back().Seq);
    // Bytes past the last whole entry may have held entries: their seqs never come again.
    Check(spool.DamagedFiles() == 0 || spool.NextSeq() > entries.back().Seq + 1);
    next = spool.NextSeq();
    Check(spool.Append("after").Ok());
  }
  qelt::Spool again;
  again.SetSync(false);
  Check(again.Open(folder.string(), 1 << 20).Ok());
  const auto entries = again.Read(next, 10);
  Check(entries.size() == 1 && entries[0].Seq == next && entries[0].Payload == "after");
  Check(again.NextSeq() == next + 1);
  return 0;
}
