#include "panel/PcSamplingController.hpp"

#include <QLabel>

#include "panel/FileListWindow.hpp"
#include "panel/ListWindow.hpp"
#include "panel/PanelWindow.hpp"
#include "panel/SamplingInterval.hpp"
#include "platform/Grid.hpp"
#include "platform/QtHost.hpp"
#include "platform/Toolbar.hpp"

namespace qelt {

class PcSamplingController::StatusView : public RecorderView {
 public:
  explicit StatusView(PcSamplingController& owner) : owner_(owner) {}
  void SetFileNameLabel(const std::string& text) override { Set("LblFileName", text); }
  void SetCountLabel(const std::string& text) override { Set("LblCount", text); }
  void SetRecLabel(const std::string& text) override { Set("LblRec", text); }
  void SetRecLabelVisible(bool visible) override {
    if (QLabel* label = Label("LblRec")) label->setVisible(visible);
  }
  void SetRecordingButton(bool recording) override {
    if (!owner_.panel_) return;
    Toolbar& toolbar = owner_.panel_->Toolbar1();
    int from = toolbar.IndexOf(recording ? "StopRecording" : "sss");
    if (from > 0) toolbar.LendPicture(1, from);
    toolbar.SetToolTip(1, recording ? "Stop Recording" : "Start Recording");
  }

 private:
  QLabel* Label(const char* name) const { return owner_.panel_ ? owner_.panel_->Label(name) : nullptr; }
  void Set(const char* name, const std::string& text) {
    if (QLabel* label = Label(name)) label->setText(QString::fromStdString(text));
  }
  PcSamplingController& owner_;
};

class PcSamplingController::LiveList : public LiveListView {
 public:
  explicit LiveList(PcSamplingController& owner) : owner_(owner) {}
  const GridRows& Rows() const override { return owner_.list_->RecordGrid().Data(); }
  void AppendRow(std::string_view tabRow) override { owner_.list_->AddRow(tabRow); }
  int TopRow() const override { return owner_.list_->RecordGrid().TopRow(); }
  void SetTopRow(int row) override { owner_.list_->RecordGrid().SetTopRow(row); }
  GridWindowHooks Hooks() override { return owner_.list_->Hooks(); }
  void Restart() override {
    // Closed and opened again empty; the count goes on.
    if (owner_.list_) owner_.list_->close();
    owner_.ShowNewList();
  }

 private:
  PcSamplingController& owner_;
};

class PcSamplingController::FileLists : public FileListTarget {
 public:
  explicit FileLists(PcSamplingController& owner) : owner_(owner) {}
  void CloseOpenList() override {
    if (owner_.fileList_) owner_.fileList_->close();
  }
  void OpenList(const std::string& caption) override {
    auto* window = new FileListWindow(
        owner_.session_.Recorder.PlotRecordCount, owner_.dialogs_, [&o = owner_] { o.StopPoll(); },
        [&o = owner_] { o.StartPoll(); });
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromStdString(caption));
    owner_.fileList_ = window;
    if (owner_.FileListCreated) owner_.FileListCreated(*window);
    window->show();
  }
  void AppendRow(std::string_view tabRow) override {
    if (owner_.fileList_) owner_.fileList_->AddRow(tabRow);
  }
  void SetCaption(const std::string& caption) override {
    if (owner_.fileList_) owner_.fileList_->setWindowTitle(QString::fromStdString(caption));
  }

 private:
  PcSamplingController& owner_;
};

PcSamplingController::PcSamplingController(PanelWindow& panel, Session& session, Dialogs& dialogs, Host* host)
    : QObject(&panel),
      panel_(&panel),
      session_(session),
      dialogs_(dialogs),
      status_(std::make_unique<StatusView>(*this)),
      liveList_(std::make_unique<LiveList>(*this)),
      fileLists_(std::make_unique<FileLists>(*this)) {
  if (!host) {
    ownHost_ = std::make_unique<QtHost>();
    host = ownHost_.get();
  }
  sampling_ = std::make_unique<PcSampling>(session.Recorder, *host, dialogs, *status_);

  panel.SetKeyAction("Save", [this] { SaveCommand(); });
  panel.SetKeyAction("Open", [this] { OpenCommand(); });
  panel.SetKeyAction("List", [this] { ListCommand(); });
  panel.SetKeyAction("Sampling", [this] { SamplingCommand(); });
  connect(&panel, &PanelWindow::Timer2Tick, this, &PcSamplingController::Tick);
  connect(&panel, &PanelWindow::Ending, this, &PcSamplingController::Ending);
}

PcSamplingController::~PcSamplingController() {
  // The recording file is closed with the program; the windows go with it.
  sampling_->Recorder().Stop();
  delete list_.data();
  delete fileList_.data();
}

ListWindow* PcSamplingController::List() const { return list_.data(); }
FileListWindow* PcSamplingController::FileList() const { return fileList_.data(); }

void PcSamplingController::SaveCommand() { sampling_->Save(); }
void PcSamplingController::OpenCommand() { sampling_->Open(*fileLists_); }
void PcSamplingController::SamplingCommand() { sampling_->Sampling(); }

void PcSamplingController::ListCommand() {
  if (list_ && list_->isVisible()) return;
  session_.Recorder.ListCount = 0;
  // A list closed a moment ago is on its way out: a new one takes its place.
  ShowNewList();
}

void PcSamplingController::ShowNewList() {
  auto* window = new ListWindow(
      session_.Recorder, dialogs_, [this] { StopPoll(); }, [this] { StartPoll(); });
  window->setAttribute(Qt::WA_DeleteOnClose);
  list_ = window;
  window->show();
  session_.Recorder.ListActive = true;
}

void PcSamplingController::Tick() {
  LiveListView* list = list_ ? liveList_.get() : nullptr;
  sampling_->Tick([this] { return LabelTexts(); }, list);
}

ValueTexts PcSamplingController::LabelTexts() const {
  ValueTexts values;
  if (!panel_) return values;
  for (int i = 0; i < QuantityCount; ++i) {
    QLabel* label = panel_->Label(QString("Lbl") + QuantityNames[static_cast<std::size_t>(i)]);
    if (label) values[static_cast<std::size_t>(i)] = label->text().toStdString();
  }
  return values;
}

void PcSamplingController::StopPoll() {
  if (panel_) panel_->StopTimer1();
}

void PcSamplingController::StartPoll() {
  if (panel_) panel_->StartTimer1();
}

void PcSamplingController::Ending() {
  sampling_->Recorder().Stop();
  if (list_) list_->close();
  if (fileList_) fileList_->close();
}

PcSamplingController* AttachPcSampling(PanelWindow& panel, Session& session, Dialogs& dialogs, Host* host) {
  return new PcSamplingController(panel, session, dialogs, host);
}

}  // namespace qelt
