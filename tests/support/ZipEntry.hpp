#pragma once
// One member of a zip archive (a workbook is one), read through zlib so that
// no test needs an unzip program. Stored and deflated members only; empty
// when the archive or the member cannot be read.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace qelt::test {

inline std::string ZipEntry(const std::string& archive, const std::string& name) {
  std::ifstream in(archive, std::ios::binary);
  const std::string zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto u16 = [&](std::size_t at) {
    return at + 2 <= zip.size() ? static_cast<std::uint32_t>(static_cast<unsigned char>(zip[at]) |
                                                             static_cast<unsigned char>(zip[at + 1]) << 8)
                                : 0u;
  };
  auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  // The end-of-central-directory record is within the last 64 KiB + 22 bytes.
  if (zip.size() < 22) return {};
  std::size_t end = zip.size() - 22;
  const std::size_t stop = zip.size() > 65557 ? zip.size() - 65557 : 0;
  while (u32(end) != 0x06054b50u) {
    if (end == stop) return {};
    --end;
  }
  std::size_t at = u32(end + 16);
  for (std::uint32_t n = u16(end + 10); n > 0 && u32(at) == 0x02014b50u; --n) {
    const std::uint32_t method = u16(at + 10), packed = u32(at + 20), size = u32(at + 24);
    const std::uint32_t nameLen = u16(at + 28), extraLen = u16(at + 30), commentLen = u16(at + 32);
    const std::uint32_t local = u32(at + 42);
    if (zip.compare(at + 46, nameLen, name) == 0 && nameLen == name.size()) {
      const std::size_t data = local + 30 + u16(local + 26) + u16(local + 28);
      if (data + packed > zip.size()) return {};
      if (method == 0) return zip.substr(data, packed);
      if (method != 8) return {};
      std::string out(size, '\0');
      z_stream z{};
      if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return {};
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
      z.avail_in = packed;
      z.next_out = reinterpret_cast<Bytef*>(out.data());
      z.avail_out = size;
      const int rc = inflate(&z, Z_FINISH);
      inflateEnd(&z);
      return rc == Z_STREAM_END ? out : std::string{};
    }
    at += 46 + nameLen + extraLen + commentLen;
  }
  return {};
}

}  // namespace qelt::test
