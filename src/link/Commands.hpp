#pragma once
// The instrument's single-byte commands and the reply sizes the program relies on.
#include <cstddef>

namespace qelt::cmd {

inline constexpr char Wake = 'w';       // echoed "w" within 0.02 s
inline constexpr char Reset = 'E';      // nothing is read
inline constexpr char Reading = ' ';    // 61-byte frame within 4 s
inline constexpr char SetClock = 'D';   // then six packed-BCD bytes 0.02 s apart
inline constexpr char Directory = 'T';  // 4 + 10 * n bytes, n the first byte
inline constexpr char SelectSet = 'K';  // 0.2 s, then the set number; 10 bytes back
inline constexpr char NextBlock = 'k';  // 256 bytes, fewer for the last block
inline constexpr char Erase = 'G';      // nothing is read
inline constexpr char WaveFirst = 'a';  // 'a' .. 'f': one cycle of 81 24-bit samples
inline constexpr char WaveLast = 'f';

inline constexpr std::size_t FrameSize = 61;
inline constexpr unsigned char FrameStart = 0x02;
inline constexpr unsigned char FrameEnd = 0x03;
inline constexpr std::size_t SetEntrySize = 10;
inline constexpr std::size_t BlockSize = 256;
inline constexpr std::size_t WaveReplySize = 243;
inline constexpr const char* PortSettings = "19200,n,8,1";

}  // namespace qelt::cmd
