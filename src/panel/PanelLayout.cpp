#include "panel/PanelLayout.hpp"

#include <algorithm>

namespace qelt {

std::string ToggledPanelCaption(const std::string& caption) {
  if (caption.find(PanelBuildDate) != std::string::npos) return PanelCaption;
  return std::string(PanelCaption) + "   " + PanelBuildDate;
}

std::string ClockSetText(const std::string& sent) {
  if (sent.size() != 7) return {};
  auto two = [&](std::size_t i) {
    const auto b = static_cast<unsigned char>(sent[i]);
    return std::string{static_cast<char>('0' + (b >> 4)), static_cast<char>('0' + (b & 0x0f))};
  };
  return "Clock set to 20" + two(1) + "/" + two(2) + "/" + two(3) + " " + two(4) + ":" + two(5) + ":" + two(6);
}

std::string CloseWhileRecordingQuestion(const std::string& recordingFile) {
  std::string text = "A recording is running";
  if (!recordingFile.empty()) text += " into\r\n" + recordingFile;
  return text + "\r\nClose the program and end the recording?";
}

int WiringPictureFor(int wiringCode) {
  switch (wiringCode) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
    default: return -1;
  }
}

namespace {
constexpr int C0 = 120, C1 = 1080, C2 = 2040, C3 = 3000, C4 = 3960, C5 = 4920, C6 = 5880;
constexpr int Row1 = 6720, Row2 = 7560, Row3 = 8400, RowT = 9240;
}  // namespace

const std::array<ValueCell, QuantityCount>& PanelValueCells() {
  static const std::array<ValueCell, QuantityCount> cells = {{
      {"LblKW1", "KW1", C0, Row1},       {"LblKVAR1", "KVAR1", C1, Row1},   {"LblKVA1", "KVA1", C2, Row1},
      {"LblPF1", "PF1", C3, Row1},       {"LblTheta1", "Theta1", C4, Row1}, {"LblV1", "V1", C5, Row1},
      {"LblI1", "I1", C6, Row1},         {"LblKW2", "KW2", C0, Row2},       {"LblKVAR2", "KVAR2", C1, Row2},
      {"LblKVA2", "KVA2", C2, Row2},     {"LblPF2", "PF2", C3, Row2},       {"LblTheta2", "Theta2", C4, Row2},
      {"LblV2", "V2", C5, Row2},         {"LblI2", "I2", C6, Row2},         {"LblKW3", "KW3", C0, Row3},
      {"LblKVAR3", "KVAR3", C1, Row3},   {"LblKVA3", "KVA3", C2, Row3},     {"LblPF3", "PF3", C3, Row3},
      {"LblTheta3", "Theta3", C4, Row3}, {"LblV3", "V3", C5, Row3},         {"LblI3", "I3", C6, Row3},
      {"LblTKW", "TKW", C0, RowT},       {"LblTKVAR", "TKVAR", C1, RowT},   {"LblTKVA", "TKVA", C2, RowT},
      {"LblTPF", "TPF", C3, RowT},       {"LblTTheta", "TTheta", C4, RowT}, {"LblHz", "Hz", C5, RowT},
      {"LblI4", "I4", C6, RowT},
  }};
  return cells;
}

const ValueCell* FindValueCell(const std::string& label) {
  for (const ValueCell& cell : PanelValueCells())
    if (label == cell.Label) return &cell;
  return nullptr;
}

PanelValueTexts ValueTextsFor(const LiveReading& reading) {
  PanelValueTexts texts;
  for (int i = 0; i < QuantityCount; ++i) texts[static_cast<std::size_t>(i)] = reading.ByIndex(i);
  return texts;
}

PixelSize FittedClientSize(PixelSize first, PixelSize room, int scrollBar) {
  PixelSize size = first;
  const bool tall = first.Height > room.Height;
  const bool wide = first.Width > room.Width;
  if (tall) size.Height = room.Height;
  if (wide) size.Width = room.Width;
  // The bar of one side takes room from the other.
  if (tall && !wide) size.Width = std::min(first.Width + scrollBar, std::max(room.Width, first.Width));
  if (wide && !tall) size.Height = std::min(first.Height + scrollBar, std::max(room.Height, first.Height));
  return size;
}

}  // namespace qelt
