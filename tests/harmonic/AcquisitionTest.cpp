// "OK" and "Open" against the simulated instrument on the virtual clock: the
// request passes, the two "E", the reply limits, the port guard, closing the
// window mid-acquisition and the live poll around it all.
#include <gtest/gtest.h>

#include <fstream>

#include "FakePanel.hpp"
#include "SimTestSupport.hpp"
#include "TempDir.hpp"
#include "harmonic/Analysis.hpp"
#include "harmonic/HarmonicCommands.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/ScriptedWindow.hpp"
#include "records/GridFile.hpp"

namespace qelt::test {
namespace {

// Records what is written with its time; can cut or lengthen the reply to
// a request letter.
class TappedPort : public SerialPort {
 public:
  TappedPort(VirtualHost& host, SerialPort& inner) : host_(host), inner_(inner) {}
  bool Open(const std::string& d, const std::string& s, std::string& e) override { return inner_.Open(d, s, e); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  void Write(std::string_view bytes) override {
    for (char c : bytes) {
      Written.emplace_back(host_.Monotonic(), c);
      // Only the reply to a letter is cut or lengthened, not the wake-up's.
      sinceLetter_ = c >= 'a' && c <= 'f' ? 0 : -1;
      if (sinceLetter_ == 0) ++Letters;
    }
    inner_.Write(bytes);
  }
  std::string ReadAll() override {
    std::string got = inner_.ReadAll();
    if (CutAt >= 0 && sinceLetter_ >= 0) {
      const std::size_t room = sinceLetter_ < CutAt ? static_cast<std::size_t>(CutAt - sinceLetter_) : 0;
      if (got.size() > room) got.resize(room);
    }
    if (sinceLetter_ >= 0) sinceLetter_ += static_cast<long>(got.size());
    if (Extra > 0 && Letters == ExtraOnLetter && sinceLetter_ >= 243) {  // with the reply's last byte
      got += std::string(static_cast<std::size_t>(Extra), '\x01');
      sinceLetter_ += Extra;
      Extra = 0;
    }
    return got;
  }
  std::size_t Pending() override { return inner_.Pending(); }

  std::string Text() const {
    std::string s;
    for (auto& w : Written) s += w.second;
    return s;
  }
  long CutAt = -1;
  long Extra = 0;
  int ExtraOnLetter = 2;  // the letter whose reply is lengthened
  int Letters = 0;
  std::vector<std::pair<double, char>> Written;

 private:
  VirtualHost& host_;
  SerialPort& inner_;
  long sinceLetter_ = -1;
};

using test::FakePanel;

struct FakeView : PreHarmonicView {
  bool Present() override { return present; }
  PhaseSelection Selection() override { return selection; }
  std::string HzText() override { return hz; }
  void SetAcquiring(bool a) override { acquiring.push_back(a); }
  void ShowLists() override { ++shown; }
  void ReopenSignal() override { events += "S"; }
  void ReopenHarmonic() override { events += "H"; }
  bool present = true;
  PhaseSelection selection{"A Phase Voltage", "x 4", "Voltage"};
  std::string hz = "60Hz";
  std::vector<bool> acquiring;
  int shown = 0;
  std::string events;
};

struct Bench {
  explicit Bench(bool paced = true, double hz = 60.0)
      : sim(Settings(paced, hz)), tap(sim.host, sim.port), link(sim.host, tap) {
    StartHarmonicLists(session.Harmonic);
    view.events.clear();
  }
  static InstrumentSettings Settings(bool paced, double hz) {
    InstrumentSettings s;
    s.Paced = paced;
    s.Load.Hz = hz;
    return s;
  }
  AcquireOutcome Ok() {
    // "S" and "H" are marked into the written bytes' order through the view.
    return RunAcquisition(link, session, panel, dialogs, view);
  }
  SimBench sim;
  TappedPort tap;
  Link link;
  Session session;
  FakePanel panel;
  FakeView view;
  ScriptedDialogs dialogs;
};

TEST(HarmonicAcquisition, TwoPassesTwoResetsAndThePollBack) {
  Bench b;
  // Mark the window events into the written stream to check the order.
  b.view.selection.Phase = "C Phase Current";
  struct MarkingView : FakeView {
    TappedPort* tap = nullptr;
    void ReopenSignal() override { tap->Written.emplace_back(-1, 'S'); }
    void ReopenHarmonic() override { tap->Written.emplace_back(-1, 'H'); }
  } view;
  view.tap = &b.tap;
  view.selection = b.view.selection;
  const double start = b.sim.host.Monotonic();
  ASSERT_EQ(RunAcquisition(b.link, b.session, b.panel, b.dialogs, view), AcquireOutcome::Done);
  const double took = b.sim.host.Monotonic() - start;

  std::string written = b.tap.Text();
  std::string order;
  for (char c : written)
    if (c != 'w') order += c;
  EXPECT_EQ(order, "ffESEH");
  // Each letter after its own wake-up and 0.2 s.
  double lastWake = -1;
  int letters = 0;
  for (auto [t, c] : b.tap.Written) {
    if (c == 'w') lastWake = t;
    if (c == 'f') {
      ++letters;
      EXPECT_GE(t - lastWake, 0.2 - 1e-9);
      lastWake = -1e9;  // the next letter needs a wake-up of its own
    }
  }
  EXPECT_EQ(letters, 2);
  EXPECT_LT(took, 0.8);  // two passes and 243 paced bytes
  EXPECT_EQ(b.panel.stops, 1);
  EXPECT_EQ(b.panel.starts, 1);
  EXPECT_TRUE(b.panel.active);
  EXPECT_FALSE(b.session.Harmonic.Busy);
  EXPECT_FALSE(b.session.Guard.Busy());
  EXPECT_EQ(b.session.Harmonic.Grid54.Rows(), 55);
  EXPECT_EQ(b.session.Harmonic.Grid.Rows(), 65);
  EXPECT_GT(b.session.Harmonic.HarmonicAmp[1], 0.0f);
  EXPECT_EQ(b.session.Harmonic.LastLetter, 'f');
  EXPECT_EQ(view.acquiring, (std::vector<bool>{true, false}));
  EXPECT_TRUE(b.dialogs.History.empty());
}

TEST(HarmonicAcquisition, SelectionChangedDuringAPassMakesAnotherPass) {
  Bench b;
  // After the first pass has read its selection, before the second reads it.
  b.sim.host.ScheduleAt(b.sim.host.Monotonic() + 0.3, [&] { b.view.selection.Phase = "B Phase Voltage"; });
  ASSERT_EQ(b.Ok(), AcquireOutcome::Done);
  std::string letters;
  for (char c : b.tap.Text())
    if (c >= 'a' && c <= 'f') letters += c;
  EXPECT_EQ(letters, "abb");
  EXPECT_EQ(b.session.Harmonic.LastPhase, "B Phase Voltage");

  // An unknown text sends no letter but still makes its passes; nothing comes.
  Bench u(false);
  u.view.selection.Phase = "D Phase";
  EXPECT_EQ(u.Ok(), AcquireOutcome::Failed);
  std::string sent;
  for (char c : u.tap.Text())
    if (c != 'w') sent += c;
  EXPECT_EQ(sent, "E");
}

TEST(HarmonicAcquisition, StalledAndLongRepliesKeepThePreviousAnalysis) {
  Bench b(false);
  ASSERT_EQ(b.Ok(), AcquireOutcome::Done);
  const std::string before(b.session.Harmonic.Grid.Cell(10, 1));
  const float amp = b.session.Harmonic.HarmonicAmp[1];

  b.tap.CutAt = 180;
  b.tap.Written.clear();
  const double start = b.sim.host.Monotonic();
  EXPECT_EQ(b.Ok(), AcquireOutcome::Failed);
  EXPECT_GE(b.sim.host.Monotonic() - start, 3.0 + 0.4);  // two passes, then 3 s without a byte
  EXPECT_LT(b.sim.host.Monotonic() - start, 3.6);
  ASSERT_EQ(b.dialogs.MessageTexts().size(), 1u);
  EXPECT_NE(b.dialogs.MessageTexts()[0].find("after 180 of 243 bytes"), std::string::npos);
  EXPECT_EQ(b.tap.Text().back(), 'E');
  EXPECT_EQ(b.session.Harmonic.Grid.Cell(10, 1), before);
  EXPECT_EQ(b.session.Harmonic.HarmonicAmp[1], amp);
  EXPECT_TRUE(b.panel.active);
  EXPECT_FALSE(b.session.Harmonic.Busy);

  b.tap.CutAt = -1;
  b.tap.Extra = 7;
  b.tap.Letters = 0;
  EXPECT_EQ(b.Ok(), AcquireOutcome::Failed);
  EXPECT_NE(b.dialogs.MessageTexts()[1].find("more than 243 bytes of waveform (250)"), std::string::npos);
  EXPECT_EQ(b.session.Harmonic.HarmonicAmp[1], amp);
}

TEST(HarmonicAcquisition, OneAtATimeAndClosingEndsIt) {
  Bench b;
  // A second "OK" while one runs does nothing.
  int inner = -1;
  b.sim.host.ScheduleAt(b.sim.host.Monotonic() + 0.1, [&] { inner = static_cast<int>(b.Ok()); });
  ASSERT_EQ(b.Ok(), AcquireOutcome::Done);
  EXPECT_EQ(inner, static_cast<int>(AcquireOutcome::Busy));

  // Another exchange holds the port: said, nothing sent, the poll left alone.
  {
    ExchangeGuard::Ticket other = b.session.Guard.TakeForCommand();
    b.tap.Written.clear();
    b.panel.starts = b.panel.stops = 0;
    EXPECT_EQ(b.Ok(), AcquireOutcome::Refused);
    EXPECT_TRUE(b.tap.Written.empty());
    EXPECT_EQ(b.dialogs.MessageTexts().back(), PortBusyMessage);
    EXPECT_EQ(b.panel.starts + b.panel.stops, 0);
  }

  // Closing the window in the middle: the exchange ends at its next wait
  // and nothing reaches the window or the lists.
  b.session.Harmonic.Grid.SetCell(1, 1, "marker");
  b.view.shown = 0;
  b.view.events.clear();
  b.sim.host.ScheduleAt(b.sim.host.Monotonic() + 0.25, [&] {
    b.view.present = false;
    CancelAcquisition(b.session);
  });
  b.tap.Written.clear();
  EXPECT_EQ(b.Ok(), AcquireOutcome::Ended);
  EXPECT_EQ(b.view.shown, 0);
  EXPECT_EQ(b.view.events, "");
  EXPECT_EQ(b.session.Harmonic.Grid.Cell(1, 1), "marker");
  EXPECT_FALSE(b.session.Harmonic.Busy);
  EXPECT_FALSE(b.session.Guard.Busy());
  EXPECT_TRUE(b.panel.active);
  const double endedAt = b.tap.Written.empty() ? 0 : b.tap.Written.back().first;
  EXPECT_LT(endedAt, b.sim.host.Monotonic() + 1e-9);
  const std::string sent = b.tap.Text();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), 'E'), 0);
  CancelAcquisition(b.session);  // nothing running: the guard stays free
  EXPECT_FALSE(b.session.Guard.Busy());
}

TEST(HarmonicOpen, ChecksTheFileFirstAndRestartsThePoll) {
  TempDir dir;
  Bench b(false);
  ASSERT_EQ(b.Ok(), AcquireOutcome::Done);
  const std::string path = dir.File("a.txt");
  ASSERT_TRUE(WriteGridFile(path, b.session.Harmonic.Grid54).Ok);
  const std::string grid10(b.session.Harmonic.Grid.Cell(10, 1));

  // Short and unreadable files change nothing.
  std::ofstream(dir.File("short.txt"), std::ios::binary) << "\t\t\r\n1\t5\t\r\n2\t6\t\r\n";
  b.dialogs.QueueFile(dir.File("short.txt"));
  b.panel.starts = 0;
  EXPECT_EQ(RunOpen(b.link, b.session, b.panel, b.dialogs, b.view), OpenOutcome::TooShort);
  b.dialogs.QueueFile(dir.File("missing.txt"));
  EXPECT_EQ(RunOpen(b.link, b.session, b.panel, b.dialogs, b.view), OpenOutcome::Unreadable);
  b.dialogs.QueueFileCancel();
  EXPECT_EQ(RunOpen(b.link, b.session, b.panel, b.dialogs, b.view), OpenOutcome::Cancelled);
  EXPECT_EQ(b.panel.starts, 3);
  EXPECT_TRUE(b.panel.active);
  EXPECT_EQ(b.dialogs.MessageTexts().size(), 2u);
  EXPECT_EQ(b.session.Harmonic.Grid.Cell(10, 1), grid10);
  EXPECT_EQ(b.session.Harmonic.Grid54.Rows(), 55);
  EXPECT_EQ(b.session.Harmonic.GridK.Rows(), 1);

  b.tap.Written.clear();
  b.view.events.clear();
  b.dialogs.QueueFile(path);
  EXPECT_EQ(RunOpen(b.link, b.session, b.panel, b.dialogs, b.view), OpenOutcome::Opened);
  EXPECT_EQ(b.tap.Text(), "E");
  EXPECT_EQ(b.view.events, "SH");
  EXPECT_EQ(b.session.Harmonic.GridK.Rows(), 32);
  EXPECT_EQ(b.session.Harmonic.Grid64.Rows(), 65);
  EXPECT_EQ(b.session.Harmonic.Grid.Cell(10, 1), grid10);
  EXPECT_TRUE(b.panel.active);
  EXPECT_FALSE(b.session.Guard.Busy());

  // "Save" proposes the signal and frequency, and only after an acquisition.
  EXPECT_EQ(b.session.Harmonic.LastLetter, '\0');
  ASSERT_EQ(b.Ok(), AcquireOutcome::Done);
  b.dialogs.QueueFile(dir.File("b.txt"));
  ScriptedWindow window;
  EXPECT_TRUE(RunSave(b.session, b.dialogs, window));
  EXPECT_EQ(b.dialogs.History.back().File.InitialPath, "A Phase Voltage 60Hz.txt");
  EXPECT_TRUE(b.dialogs.History.back().File.OverwritePrompt);
  b.dialogs.QueueFileCancel();
  EXPECT_FALSE(RunSave(b.session, b.dialogs, window));
}

}  // namespace
}  // namespace qelt::test
