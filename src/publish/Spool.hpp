#pragma once
// The spool: every reading is written here, forced to disk, before it is
// sent, and leaves only once the broker has acknowledged it. A folder of
// segment files, each a run of entries with consecutive sequence numbers;
// the mark file "acked" holds the number up to which all are acknowledged.
//
// Entry: u32 payload length, u64 seq, u32 CRC-32 of the seq's 8 bytes and
// the payload, the payload; little-endian. A file that is cut or damaged is
// read up to its last whole entry; what follows is left where it is and new
// entries go to a new segment. One thread; not shared between processes
// (Open takes a lock on the folder).
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "text/Result.hpp"

namespace qelt {

struct SpoolEntry {
  std::uint64_t Seq = 0;
  std::string Payload;
};

class Spool {
 public:
  Spool() = default;
  ~Spool();
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;

  // Creates the folder if needed and reads what it holds. maxBytes: the size
  // over which the oldest entries are dropped. Fails when the folder cannot
  // be made, read or locked.
  Result<> Open(const std::string& folder, std::uint64_t maxBytes);

  // Off: entries and the mark are not forced to disk (tests and benchmarks
  // that write thousands).
  void SetSync(bool sync) { sync_ = sync; }

  // The number the next Append gives; 1 for a new spool, never one given
  // before, also after a segment that cannot be read whole: the bytes past
  // its last whole entry bound the entries they may have held (each at
  // least its 16-byte header, the last maybe cut), and the count goes on
  // above them.
  std::uint64_t NextSeq() const { return nextSeq_; }
  // Writes payload as entry NextSeq() and forces it to disk. Fails when it
  // could not be written whole (nothing of it is then counted).
  Result<> Append(std::string_view payload);

  // The broker acknowledged seq. Acknowledgements may come in any order.
  void Acknowledge(std::uint64_t seq);
  // Writes the acknowledged mark and removes segments acknowledged entirely
  // (the newest one stays, so the numbering is never lost). Costs a sync:
  // call it now and then, not for every acknowledgement.
  Result<> SaveMark();

  // Up to max unacknowledged entries from seq `from` on, in seq order.
  std::vector<SpoolEntry> Read(std::uint64_t from, std::size_t max);

  // Entries not yet acknowledged (nor dropped).
  std::uint64_t Pending() const;
  // The lowest seq that is not acknowledged; NextSeq() when none is.
  std::uint64_t FirstPending() const;
  // Entries dropped by the size limit since Open.
  std::uint64_t Dropped() const { return dropped_; }
  // Bytes of the segment files.
  std::uint64_t Bytes() const;
  // Entries that Open could not read (damaged or cut files), counted by file.
  int DamagedFiles() const { return damagedFiles_; }

  const std::string& Folder() const { return folder_; }

 private:
  struct Segment {
    std::string Path;
    std::uint64_t First = 0;  // seq of the first entry
    std::uint64_t Last = 0;   // seq of the last whole entry; First - 1 when empty
    std::uint64_t Bytes = 0;  // the file's size
    std::uint64_t Whole = 0;  // bytes of the entries read whole, from the start
    bool Closed = false;      // damaged or full: no more appends
  };

  bool ScanSegment(Segment& segment, std::uint64_t after);
  Result<> StartSegment();
  void DropOldest();
  void RemoveAcknowledgedSegments();
  std::uint64_t FirstPresentAfter(std::uint64_t seq) const;
  bool IsAcknowledged(std::uint64_t seq) const;

  std::string folder_;
  std::uint64_t maxBytes_ = 0;
  std::uint64_t segmentLimit_ = 0;
  std::vector<Segment> segments_;
  int appendFd_ = -1;
  int lockFd_ = -1;
  std::uint64_t nextSeq_ = 1;
  std::uint64_t acked_ = 0;  // every seq up to this one is acknowledged or dropped
  std::set<std::uint64_t> ackedAhead_;
  std::uint64_t savedMark_ = 0;
  std::uint64_t dropped_ = 0;
  int damagedFiles_ = 0;
  bool sync_ = true;

  // Where the last Read stopped, so that reading on costs no new scan.
  std::size_t cursorSegment_ = 0;
  std::uint64_t cursorOffset_ = 0;
  std::uint64_t cursorSeq_ = 0;
};

// The CRC-32 of zlib and PNG.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// One entry's bytes, as Append writes them.
std::string SpoolEntryBytes(std::uint64_t seq, std::string_view payload);

// The longest payload an entry may carry; a longer length field is damage.
inline constexpr std::uint32_t MaxSpoolPayload = 1u << 20;

}  // namespace qelt
