#include "recorder/PcSamplingController.hpp"

#include <optional>

#include "platform/qt/Grid.hpp"
#include "platform/qt/QtHost.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/ListWindow.hpp"

namespace qelt {

class PcSamplingController::LiveList : public LiveListView {
 public:
  explicit LiveList(PcSamplingController& owner) : owner_(owner) {}
  const GridRows& Rows() const override { return owner_.list_->RecordGrid().Data(); }
  void AppendRow(std::string_view tabRow) override { owner_.list_->AddRow(tabRow); }
  int TopRow() const override { return owner_.list_->RecordGrid().TopRow(); }
  void SetTopRow(int row) override { owner_.list_->RecordGrid().SetTopRow(row); }
  WindowSurface& Surface() override {
    // A surface per use: the list is a new window after each restart.
    surface_.emplace(owner_.list_.data());
    return *surface_;
  }
  void ShowSkippedTicks(std::int64_t skipped) override { owner_.list_->ShowSkippedTicks(skipped); }
  void Restart() override {
    // Closed and opened again empty; the count goes on.
    if (owner_.list_) owner_.list_->close();
    owner_.ShowNewList();
  }

 private:
  PcSamplingController& owner_;
  std::optional<QtWindowSurface> surface_;
};

class PcSamplingController::FileLists : public FileListTarget {
 public:
  explicit FileLists(PcSamplingController& owner) : owner_(owner) {}
  void CloseOpenList() override {
    if (owner_.fileList_) owner_.fileList_->close();
  }
  void OpenList(const std::string& caption) override {
    auto* window = new FileListWindow(owner_.session_.Recorder.PlotRecordCount, owner_.dialogs_, owner_.poll_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromStdString(caption));
    owner_.fileList_ = window;
    emit owner_.FileListCreated(window);
    window->show();
  }
  void AppendRow(std::string_view tabRow) override {
    if (owner_.fileList_) owner_.fileList_->AddRow(tabRow);
  }
  void SetCaption(const std::string& caption) override {
    if (owner_.fileList_) owner_.fileList_->setWindowTitle(QString::fromStdString(caption));
  }
  void SetSource(const std::string& path) override {
    if (owner_.fileList_) owner_.fileList_->SetSourceFile(path);
  }

 private:
  PcSamplingController& owner_;
};

PcSamplingController::PcSamplingController(QObject& parent, RecorderView& view, PanelControl& poll, Session& session,
                                           Dialogs& dialogs, Host* host)
    : QObject(&parent),
      view_(view),
      poll_(poll),
      session_(session),
      dialogs_(dialogs),
      liveList_(std::make_unique<LiveList>(*this)),
      fileLists_(std::make_unique<FileLists>(*this)) {
  if (!host) {
    ownHost_ = std::make_unique<QtHost>();
    host = ownHost_.get();
  }
  sampling_ = std::make_unique<PcSampling>(session.Recorder, *host, dialogs, view);
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
  session_.Recorder.SkippedListRows = 0;
  // A list closed a moment ago is on its way out: a new one takes its place.
  ShowNewList();
}

void PcSamplingController::ShowNewList() {
  auto* window = new ListWindow(session_.Recorder, dialogs_, poll_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  list_ = window;
  emit ListCreated(window);
  if (session_.Recorder.SkippedListRows > 0) window->ShowSkippedTicks(session_.Recorder.SkippedListRows);
  window->show();
  session_.Recorder.ListActive = true;
}

void PcSamplingController::Tick() {
  LiveListView* list = list_ ? liveList_.get() : nullptr;
  sampling_->Tick([this] { return view_.ValueLabelTexts(); }, list, session_.Meter.ReadingSerial);
}

void PcSamplingController::Ending() {
  sampling_->Recorder().Stop();
  if (list_) list_->close();
  if (fileList_) fileList_->close();
}

}  // namespace qelt
