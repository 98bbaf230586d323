#include "publish/Spool.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "publish/StateFile.hpp"

namespace qelt {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t HeaderSize = 16;
constexpr const char* SegmentSuffix = ".qsp";
constexpr int SeqDigits = 20;

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void PutLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

std::uint64_t GetLe(const char* p, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(p[i]);
  return value;
}

std::string SeqBytes(std::uint64_t seq) {
  std::string out;
  PutLe(out, seq, 8);
  return out;
}

enum class EntryRead { Whole, End, Damaged };

// One entry at the stream's position; size is its length in the file.
EntryRead ReadEntry(std::istream& in, SpoolEntry& entry, std::uint64_t& size) {
  char header[HeaderSize];
  in.read(header, HeaderSize);
  if (in.gcount() == 0) return EntryRead::End;
  if (in.gcount() < static_cast<std::streamsize>(HeaderSize)) return EntryRead::Damaged;
  const auto length = static_cast<std::uint32_t>(GetLe(header, 4));
  if (length > MaxSpoolPayload) return EntryRead::Damaged;
  entry.Seq = GetLe(header + 4, 8);
  const auto crc = static_cast<std::uint32_t>(GetLe(header + 12, 4));
  entry.Payload.resize(length);
  in.read(entry.Payload.data(), length);
  if (in.gcount() < static_cast<std::streamsize>(length)) return EntryRead::Damaged;
  if (Crc32(entry.Payload, Crc32(std::string_view(header + 4, 8))) != crc) return EntryRead::Damaged;
  size = HeaderSize + length;
  return EntryRead::Whole;
}

// "00000000000000000042.qsp" -> 42; 0 for any other name.
std::uint64_t SegmentNumber(const std::string& name) {
  const std::size_t suffix = std::strlen(SegmentSuffix);
  if (name.size() != SeqDigits + suffix || name.compare(SeqDigits, suffix, SegmentSuffix) != 0) return 0;
  std::uint64_t value = 0;
  for (int i = 0; i < SeqDigits; ++i) {
    const char c = name[static_cast<std::size_t>(i)];
    if (c < '0' || c > '9') return 0;
    if (value > (UINT64_MAX - 9) / 10) return 0;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

std::string SegmentName(std::uint64_t first) {
  std::string digits = std::to_string(first);
  return std::string(static_cast<std::size_t>(SeqDigits) - std::min<std::size_t>(digits.size(), SeqDigits), '0') +
         digits + SegmentSuffix;
}

std::string ErrnoText() { return std::strerror(errno); }

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The highest seq a segment may have given out, read or not: each entry
// past the whole ones is at least a header long, and a last part may be
// what is left of an entry that was once whole.
std::uint64_t HighestGiven(std::uint64_t lastWhole, std::uint64_t unreadBytes) {
  return lastWhole + (unreadBytes + HeaderSize - 1) / HeaderSize;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  std::uint32_t c = crc ^ 0xFFFFFFFFu;
  for (char b : bytes) c = table[(c ^ static_cast<unsigned char>(b)) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string SpoolEntryBytes(std::uint64_t seq, std::string_view payload) {
  std::string out;
  out.reserve(HeaderSize + payload.size());
  PutLe(out, payload.size(), 4);
  const std::string seqBytes = SeqBytes(seq);
  out += seqBytes;
  PutLe(out, Crc32(payload, Crc32(seqBytes)), 4);
  out += payload;
  return out;
}

Spool::~Spool() {
  if (appendFd_ >= 0) ::close(appendFd_);
  if (lockFd_ >= 0) ::close(lockFd_);
}

Result<> Spool::Open(const std::string& folder, std::uint64_t maxBytes) {
  folder_ = folder;
  maxBytes_ = std::max<std::uint64_t>(maxBytes, 1);
  // Segments small enough that dropping the oldest one keeps most of the
  // limit, large enough that a busy spool is not thousands of files.
  segmentLimit_ = std::clamp<std::uint64_t>(maxBytes_ / 8, 4096, 8u << 20);
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec) {
    return Fail("cannot create the spool folder " + folder_ + ": " + ec.message());
  }
  const std::string lockPath = (fs::path(folder_) / "lock").string();
  lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd_ < 0) {
    return Fail("cannot write in the spool folder " + folder_ + ": " + ErrnoText());
  }
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    return Fail("the spool folder " + folder_ + " is in use by another publisher");
  }

  {
    std::ifstream mark(fs::path(folder_) / "acked");
    std::uint64_t value = 0;
    if (mark >> value) acked_ = value;
    savedMark_ = acked_;
  }

  std::vector<std::pair<std::uint64_t, std::string>> found;
  for (const fs::directory_entry& item : fs::directory_iterator(folder_, ec)) {
    const std::uint64_t number = SegmentNumber(item.path().filename().string());
    if (number > 0 && item.is_regular_file(ec)) found.emplace_back(number, item.path().string());
  }
  if (ec) {
    return Fail("cannot read the spool folder " + folder_ + ": " + ec.message());
  }
  std::sort(found.begin(), found.end());
  std::uint64_t last = 0;   // the last whole entry so far: later ones follow it
  std::uint64_t given = 0;  // the highest seq that may have been given out
  for (const auto& [number, path] : found) {
    Segment segment;
    segment.Path = path;
    segment.First = std::max(number, last + 1);
    if (!ScanSegment(segment, last)) ++damagedFiles_;
    const bool empty = segment.Last < segment.First;
    // A segment is named after its first entry's seq.
    given = std::max(given, HighestGiven(empty ? number - 1 : segment.Last,
                                         segment.Bytes > segment.Whole ? segment.Bytes - segment.Whole : 0));
    if (empty) {
      // Nothing readable: an empty file goes; one with bytes stays as it is.
      if (segment.Bytes == 0) fs::remove(path, ec);
      continue;
    }
    last = segment.Last;
    segments_.push_back(segment);
  }
  for (std::size_t i = 0; i + 1 < segments_.size(); ++i) segments_[i].Closed = true;
  nextSeq_ = std::max({last, given, acked_}) + 1;
  if (!segments_.empty() && !segments_.back().Closed && segments_.back().Bytes < segmentLimit_) {
    appendFd_ = ::open(segments_.back().Path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (appendFd_ < 0) segments_.back().Closed = true;
  }
  return {};
}

bool Spool::ScanSegment(Segment& segment, std::uint64_t after) {
  std::ifstream in(segment.Path, std::ios::binary);
  std::error_code ec;
  segment.Bytes = fs::file_size(segment.Path, ec);
  if (ec) segment.Bytes = 0;
  segment.Last = segment.First - 1;
  std::uint64_t end = 0;
  SpoolEntry entry;
  std::uint64_t size = 0;
  bool first = true;
  for (;;) {
    const EntryRead got = ReadEntry(in, entry, size);
    if (got != EntryRead::Whole) break;
    if (first ? entry.Seq <= after : entry.Seq != segment.Last + 1) break;
    if (first) segment.First = entry.Seq;
    first = false;
    segment.Last = entry.Seq;
    end += size;
  }
  segment.Whole = end;
  if (end < segment.Bytes) {
    segment.Closed = true;
    return false;
  }
  return true;
}

Result<> Spool::StartSegment() {
  if (appendFd_ >= 0) {
    ::close(appendFd_);
    appendFd_ = -1;
  }
  if (!segments_.empty()) segments_.back().Closed = true;
  Segment segment;
  segment.Path = (fs::path(folder_) / SegmentName(nextSeq_)).string();
  segment.First = nextSeq_;
  segment.Last = nextSeq_ - 1;
  appendFd_ = ::open(segment.Path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (appendFd_ < 0) return Fail("cannot create " + segment.Path + ": " + ErrnoText());
  if (sync_) SyncFolder(folder_);
  segments_.push_back(segment);
  return {};
}

Result<> Spool::Append(std::string_view payload) {
  if (payload.size() > MaxSpoolPayload) return Fail("a reading too large for the spool");
  if (appendFd_ < 0 || segments_.empty() || segments_.back().Closed || segments_.back().Bytes >= segmentLimit_)
    if (Result<> started = StartSegment(); !started) return started;
  Segment& segment = segments_.back();
  const std::string bytes = SpoolEntryBytes(nextSeq_, payload);
  if (!WriteAll(appendFd_, bytes) || (sync_ && ::fdatasync(appendFd_) != 0)) {
    Failure failed = Fail("cannot write the spool " + segment.Path + ": " + ErrnoText());
    // A part written stays out of the next read and appends, whatever it holds.
    if (::ftruncate(appendFd_, static_cast<off_t>(segment.Bytes)) != 0) segment.Closed = true;
    return failed;
  }
  segment.Bytes += bytes.size();
  segment.Last = nextSeq_;
  ++nextSeq_;
  while (Bytes() > maxBytes_ && segments_.size() > 1) DropOldest();
  return {};
}

void Spool::DropOldest() {
  const Segment& oldest = segments_.front();
  for (std::uint64_t seq = std::max(oldest.First, acked_ + 1); seq <= oldest.Last; ++seq)
    if (!ackedAhead_.contains(seq)) ++dropped_;
  acked_ = std::max(acked_, oldest.Last);
  ackedAhead_.erase(ackedAhead_.begin(), ackedAhead_.upper_bound(acked_));
  std::error_code ec;
  fs::remove(oldest.Path, ec);
  segments_.erase(segments_.begin());
  cursorSeq_ = 0;
}

std::uint64_t Spool::FirstPresentAfter(std::uint64_t seq) const {
  for (const Segment& segment : segments_)
    if (segment.Last > seq) return std::max(seq + 1, segment.First);
  return nextSeq_;
}

bool Spool::IsAcknowledged(std::uint64_t seq) const { return seq <= acked_ || ackedAhead_.contains(seq); }

void Spool::Acknowledge(std::uint64_t seq) {
  if (seq <= acked_ || seq >= nextSeq_) return;
  ackedAhead_.insert(seq);
  for (;;) {
    const std::uint64_t next = FirstPresentAfter(acked_);
    auto it = ackedAhead_.find(next);
    if (it == ackedAhead_.end()) break;
    ackedAhead_.erase(it);
    acked_ = next;
  }
}

Result<> Spool::SaveMark() {
  if (acked_ != savedMark_) {
    const std::string path = (fs::path(folder_) / "acked").string();
    if (Result<> written = WriteStateFile(path, std::to_string(acked_) + "\n", sync_); !written) return written;
    savedMark_ = acked_;
  }
  RemoveAcknowledgedSegments();
  return {};
}

void Spool::RemoveAcknowledgedSegments() {
  while (segments_.size() > 1 && segments_.front().Last <= savedMark_) {
    std::error_code ec;
    fs::remove(segments_.front().Path, ec);
    segments_.erase(segments_.begin());
    cursorSeq_ = 0;
  }
}

std::vector<SpoolEntry> Spool::Read(std::uint64_t from, std::size_t max) {
  std::vector<SpoolEntry> out;
  from = std::max(from, acked_ + 1);
  std::size_t index = 0;
  std::uint64_t offset = 0;
  if (cursorSeq_ != 0 && cursorSeq_ == from && cursorSegment_ < segments_.size()) {
    index = cursorSegment_;
    offset = cursorOffset_;
  } else {
    while (index < segments_.size() && segments_[index].Last < from) ++index;
  }
  for (; index < segments_.size() && out.size() < max; ++index, offset = 0) {
    const Segment& segment = segments_[index];
    if (segment.Last < from || segment.Last < segment.First) continue;
    std::ifstream in(segment.Path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    SpoolEntry entry;
    std::uint64_t size = 0;
    bool more = true;
    while (out.size() < max && ReadEntry(in, entry, size) == EntryRead::Whole) {
      offset += size;
      cursorSegment_ = index;
      cursorOffset_ = offset;
      cursorSeq_ = entry.Seq + 1;
      if (entry.Seq >= segment.Last) more = false;
      if (entry.Seq >= from && !IsAcknowledged(entry.Seq)) out.push_back(std::move(entry));
      if (!more) break;
    }
    if (out.size() >= max) break;
  }
  return out;
}

std::uint64_t Spool::Pending() const {
  std::uint64_t present = 0;
  for (const Segment& segment : segments_) {
    const std::uint64_t from = std::max(segment.First, acked_ + 1);
    if (segment.Last >= from) present += segment.Last - from + 1;
  }
  return present - ackedAhead_.size();
}

std::uint64_t Spool::FirstPending() const { return FirstPresentAfter(acked_); }

std::uint64_t Spool::Bytes() const {
  std::uint64_t total = 0;
  for (const Segment& segment : segments_) total += segment.Bytes;
  return total;
}

}  // namespace qelt
