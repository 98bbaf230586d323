#pragma once
// What the main window shows and where: positions in twips within its client
// area, the toolbar's buttons, the caption, and which labels a reading fills.
// Cells are named by QuantityIndex and PanelStatus; their Label is only the
// objectName the control carries.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "link/LiveReading.hpp"
#include "text/Version.hpp"

namespace qelt {

// The version is the project's, as the programs print it.
inline constexpr const char* PanelCaption = "Panel  V" QELT_VERSION;
inline constexpr const char* PanelBuildDate = "110729";
// Clicking the link indicator shows or hides the build date in the caption.
std::string ToggledPanelCaption(const std::string& caption);

inline constexpr int PanelClientWidth = 6825;
inline constexpr int PanelClientHeight = 9990;
inline constexpr int PanelToolbarHeight = 420;

// The client size the main window takes on a screen (all in pixels): its
// first size where that fits the room the screen leaves beside the frame,
// else the room, with a scroll bar's width or height added on the side that
// scrolls while the room allows it.
struct PixelSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const PixelSize&) const = default;
};
PixelSize FittedClientSize(PixelSize first, PixelSize room, int scrollBar);

// The wiring pictures share one place below the toolbar.
struct TwipsBox {
  int Left, Top, Width, Height;
};
inline constexpr TwipsBox WiringPictureBox = {120, 480, 6585, 5760};
inline constexpr std::array<const char*, 4> WiringPictureNames = {"P1P2W", "P1P3W", "P3P3W2M", "P3P4W"};
// The picture a wiring code shows (index into WiringPictureNames), or -1 for
// an unknown code, which leaves the pictures as they are.
int WiringPictureFor(int wiringCode);

// A value label and the captioned header panel just above it.
struct ValueCell {
  const char* Label;   // the value label's objectName, "LblKW1"
  const char* Header;  // the header panel's caption, naming the quantity
  int Left;
  int Top;
  int Quantity() const { return QuantityIndexOf(Header); }
};
inline constexpr int ValueWidth = 855;
inline constexpr int ValueHeight = 375;
inline constexpr int HeaderHeight = 360;  // the header sits this far above its label

// The 28 value cells: three phase rows and the totals row, seven columns each.
const std::array<ValueCell, QuantityCount>& PanelValueCells();
// The cell whose label has the objectName `label`, or nullptr (layout checks).
const ValueCell* FindValueCell(const std::string& label);

// A reading's value texts, indexed by QuantityIndex.
using PanelValueTexts = std::array<std::string, QuantityCount>;
PanelValueTexts ValueTextsFor(const LiveReading& reading);
// The order in which the value labels take a reading's texts (QuantityIndex).
inline constexpr std::array<int, QuantityCount> ValueLabelOrder = {
    QuantityIndexOf("TTheta"), QuantityIndexOf("TKVA"),  QuantityIndexOf("TKW"),    QuantityIndexOf("TKVAR"),
    QuantityIndexOf("Hz"),     QuantityIndexOf("TPF"),   QuantityIndexOf("V1"),     QuantityIndexOf("I1"),
    QuantityIndexOf("KVA1"),   QuantityIndexOf("KW1"),   QuantityIndexOf("PF1"),    QuantityIndexOf("KVAR1"),
    QuantityIndexOf("Theta1"), QuantityIndexOf("V2"),    QuantityIndexOf("I2"),     QuantityIndexOf("KVA2"),
    QuantityIndexOf("KW2"),    QuantityIndexOf("PF2"),   QuantityIndexOf("KVAR2"),  QuantityIndexOf("Theta2"),
    QuantityIndexOf("V3"),     QuantityIndexOf("I3"),    QuantityIndexOf("KVA3"),   QuantityIndexOf("KW3"),
    QuantityIndexOf("PF3"),    QuantityIndexOf("KVAR3"), QuantityIndexOf("Theta3"), QuantityIndexOf("I4")};

// The status row's fields; index i is PanelStatusCells[i].
enum class PanelStatus { Rec, Count, FileName, COM };
inline constexpr std::size_t PanelStatusCount = 4;

struct StatusCell {
  PanelStatus Field;
  const char* Label;  // the objectName
  int Left;
  int Width;
  const char* DesignCaption;
};
inline constexpr int StatusTop = 9720;
inline constexpr int StatusHeight = 255;
inline constexpr std::array<StatusCell, PanelStatusCount> PanelStatusCells = {{
    {PanelStatus::Rec, "LblRec", 120, 705, "Rec."},
    {PanelStatus::Count, "LblCount", 840, 2100, ""},
    {PanelStatus::FileName, "LblFileName", 3000, 2820, ""},
    {PanelStatus::COM, "LblCOM", 5880, 855, "No COM"},
}};
static_assert([] {
  for (std::size_t i = 0; i < PanelStatusCells.size(); ++i)
    if (static_cast<std::size_t>(PanelStatusCells[i].Field) != i) return false;
  return true;
}());

// A note over the status row (after "RTC"), shown for a few seconds.
inline constexpr int StatusNoteLeft = 120;
inline constexpr int StatusNoteWidth = 5640;
inline constexpr int StatusNoteMilliseconds = 5000;
// "Clock set to 2011/07/29 13:45:07" from the seven bytes "RTC" wrote ("D"
// and the six packed-BCD fields); empty when nothing went out whole.
std::string ClockSetText(const std::string& sent);

// Asked before the main window closes while a recording runs into the file.
std::string CloseWhileRecordingQuestion(const std::string& recordingFile);

// The toolbar, in order; the picture of each button is named by its Key.
struct ToolButtonSpec {
  const char* Key;
  const char* ToolTip;
  bool Shown;  // 9 to 11 only hold pictures that button 1 takes
};
inline constexpr std::array<ToolButtonSpec, 11> PanelToolButtons = {{
    {"Save", "Save As", true},
    {"Open", "Open File", true},
    {"List", "List Display", true},
    {"Graph", "Graphic Display", true},
    {"Sampling", "PC Sampling", true},
    {"Memory", "Data Logger", true},
    {"Harmonic", "Harmonic Analyzer", true},
    {"RTC", "Set Real Time Clock to System Time", true},
    {"StopRecording", "Stop Recording", false},
    {"StopRec", "Stop Rec", false},
    {"sss", "sss", false},
}};

// The toolbar's buttons by what they do: index i is PanelToolButtons[i] and
// button number i + 1. "RTC" and "Memory" are the main window's own; the
// last three only hold pictures.
enum class PanelKey { Save, Open, List, Graph, Sampling, Memory, Harmonic, RTC, StopRecording, StopRec, Sss };
inline constexpr std::size_t PanelKeyCount = PanelToolButtons.size();
constexpr int ButtonNumber(PanelKey key) { return static_cast<int>(key) + 1; }
static_assert(std::string_view(PanelToolButtons[static_cast<std::size_t>(PanelKey::Memory)].Key) == "Memory");
static_assert(std::string_view(PanelToolButtons[static_cast<std::size_t>(PanelKey::RTC)].Key) == "RTC");
static_assert(std::string_view(PanelToolButtons[static_cast<std::size_t>(PanelKey::Sss)].Key) == "sss");

}  // namespace qelt
