#include "panel/PanelWindow.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QSvgRenderer>
#include <QWindow>

#include "link/ClockCommand.hpp"
#include "logger/MemoryCommand.hpp"
#include "panel/LivePoll.hpp"
#include "panel/PanelLayout.hpp"
#include "platform/qt/Artwork.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/TwipsGeometry.hpp"
#include "session/CosTable.hpp"

namespace qelt {

namespace {
const QColor ValueColour(0x7c, 0xf0, 0x5a);
const QColor DimmedValueColour(0x3c, 0x5a, 0x36);
constexpr const char* LinkLostText = "No COM";

QFont Face(int pointSize, bool bold) {
  QFont f;
  f.setFamilies({"Arial", "Liberation Sans", "Helvetica"});
  f.setPointSize(pointSize);
  f.setBold(bold);
  return f;
}

// A wiring drawing, rendered once at the label's size.
QLabel* MakePicture(QWidget* parent, const QString& name) {
  auto* picture = new QLabel(parent);
  picture->setObjectName(name);
  PlaceTwips(*picture, WiringPictureBox.Left, WiringPictureBox.Top, WiringPictureBox.Width, WiringPictureBox.Height);
  QSvgRenderer renderer(WiringPicturePath(name));
  const qreal ratio = parent->devicePixelRatioF();
  QSize size = renderer.defaultSize().scaled(picture->size(), Qt::KeepAspectRatio);
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  painter.end();
  picture->setPixmap(pixmap);
  picture->setAlignment(Qt::AlignCenter);
  picture->hide();
  return picture;
}
}  // namespace

PanelWindow::PanelWindow(Session& session, Link& link, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), link_(link), dialogs_(dialogs) {
  setObjectName("Panel");
  SetMainWindow(this);
  setAttribute(Qt::WA_QuitOnClose, true);
  setWindowTitle(PanelCaption);
  FixClientSizeTwips(*this, PanelClientWidth, PanelClientHeight);
  // The controls sit on a page of the first size; the window shows all of it
  // where the screen has the room, else it scrolls (a scaled screen).
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setGeometry(rect());
  page_ = new QWidget;
  page_->setObjectName("PanelPage");
  FixClientSizeTwips(*page_, PanelClientWidth, PanelClientHeight);
  scroll_->setWidget(page_);
  BuildControls();

  timer1_.setObjectName("Timer1");
  timer1_.setInterval(100);
  connect(&timer1_, &QTimer::timeout, this, &PanelWindow::Timer1Tick);
  timer2_.setObjectName("Timer2");
  timer2_.setInterval(1000);
  connect(&timer2_, &QTimer::timeout, this, &PanelWindow::Timer2Tick);

  link_.SetLinkTextSink(this);
}

PanelWindow::~PanelWindow() { link_.SetLinkTextSink(nullptr); }

void PanelWindow::BuildControls() {
  LoadArtwork();
  toolbar_ = new Toolbar(page_);
  toolbar_->setObjectName("Toolbar1");
  PlaceTwips(*toolbar_, 0, 0, PanelClientWidth, PanelToolbarHeight);
  for (std::size_t i = 0; i < PanelToolButtons.size(); ++i) {
    const ToolButtonSpec& b = PanelToolButtons[i];
    const int number = toolbar_->AddButton(b.Key, ToolbarPicture(b.Key), b.ToolTip, b.Shown);
    const auto key = static_cast<PanelKey>(i);
    connect(toolbar_->Action(number), &QAction::triggered, this, [this, key] { RunKey(key); });
  }
  // Here the floppy starts and stops a recording; every window has a key.
  toolbar_->SetShortcut(ButtonNumber(PanelKey::Save), QKeySequence(Qt::CTRL | Qt::Key_R));
  toolbar_->SetShortcut(ButtonNumber(PanelKey::List), QKeySequence(Qt::CTRL | Qt::Key_L));
  toolbar_->SetShortcut(ButtonNumber(PanelKey::Graph), QKeySequence(Qt::CTRL | Qt::Key_G));
  toolbar_->SetShortcut(ButtonNumber(PanelKey::Memory), QKeySequence(Qt::CTRL | Qt::Key_M));
  toolbar_->SetShortcut(ButtonNumber(PanelKey::Harmonic), QKeySequence(Qt::CTRL | Qt::Key_H));

  for (std::size_t i = 0; i < WiringPictureNames.size(); ++i) pictures_[i] = MakePicture(page_, WiringPictureNames[i]);

  const QFont headerFont = Face(8, true);
  const QFont valueFont = Face(11, true);
  for (const ValueCell& cell : PanelValueCells()) {
    const auto q = static_cast<std::size_t>(cell.Quantity());
    auto* header = new CaptionPanel(cell.Header, page_);
    header->setObjectName(QString("Hdr") + cell.Header);
    header->setFont(headerFont);
    PlaceTwips(*header, cell.Left, cell.Top - HeaderHeight, ValueWidth, HeaderHeight);
    headers_[q] = header;

    auto* value = new QLabel(page_);
    value->setObjectName(cell.Label);
    value->setFont(valueFont);
    value->setAlignment(Qt::AlignCenter);
    value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    value->setAutoFillBackground(true);
    QPalette pal = value->palette();
    pal.setColor(QPalette::Window, QColor(0x10, 0x18, 0x20));
    pal.setColor(QPalette::WindowText, ValueColour);
    value->setPalette(pal);
    PlaceTwips(*value, cell.Left, cell.Top, ValueWidth, ValueHeight);
    const QString title = QString::fromStdString(QuantityTitle(cell.Header));
    value->setToolTip(title);
    header->setToolTip(title);
    valueLabels_[q] = value;
  }

  const QFont statusFont = Face(8, false);
  for (const StatusCell& cell : PanelStatusCells) {
    auto* label = new QLabel(cell.DesignCaption, page_);
    label->setObjectName(cell.Label);
    label->setFont(statusFont);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PlaceTwips(*label, cell.Left, StatusTop, cell.Width, StatusHeight);
    statusLabels_[static_cast<std::size_t>(cell.Field)] = label;
  }
  lblRec_ = StatusLabel(PanelStatus::Rec);
  lblCount_ = StatusLabel(PanelStatus::Count);
  lblFileName_ = StatusLabel(PanelStatus::FileName);
  lblCom_ = StatusLabel(PanelStatus::COM);
  QLabel* rec = lblRec_;
  rec->setFont(Face(8, true));
  QPalette recPal = rec->palette();
  recPal.setColor(QPalette::WindowText, Qt::red);
  rec->setPalette(recPal);
  rec->hide();  // shown while recording
  QLabel* com = lblCom_;
  com->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  com->setAlignment(Qt::AlignCenter);
  com->setCursor(Qt::PointingHandCursor);
  com->installEventFilter(this);

  // Over the status row, with its own background so the labels under it do
  // not show through.
  lblNote_ = new QLabel(page_);
  lblNote_->setObjectName("LblNote");
  lblNote_->setFont(statusFont);
  lblNote_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  lblNote_->setAutoFillBackground(true);
  PlaceTwips(*lblNote_, StatusNoteLeft, StatusTop, StatusNoteWidth, StatusHeight);
  lblNote_->hide();
  noteTimer_.setSingleShot(true);
  noteTimer_.setInterval(StatusNoteMilliseconds);
  connect(&noteTimer_, &QTimer::timeout, lblNote_, &QLabel::hide);
}

void PanelWindow::FitScreen() {
  const QScreen* shown = screen();
  if (!shown) return;
  const QRect room = shown->availableGeometry();
  // The frame is known once the window system has framed the window; until
  // then a title bar and borders are assumed, so that the frame fits too.
  QSize frame = frameGeometry().size() - size();
  if (frame.height() <= 0) {
    const int border = 2 * style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    frame = QSize(border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + border);
  }
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
  const PixelSize fitted = FittedClientSize({page_->width(), page_->height()},
                                            {room.width() - frame.width(), room.height() - frame.height()}, bar);
  if (QSize(fitted.Width, fitted.Height) != size()) {
    // The resize alone would put the client, not the frame, at the place asked for.
    const QPoint at = pos();
    setFixedSize(fitted.Width, fitted.Height);
    if (QWindow* native = windowHandle()) native->setFramePosition(at);
  }
  scroll_->setGeometry(rect());
}

void PanelWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Before the window system maps it: a resize after that would move the
  // window by its frame.
  if (!event->spontaneous()) FitScreen();
}

void PanelWindow::ShowStatusNote(const std::string& text) {
  lblNote_->setText(QString::fromStdString(text));
  lblNote_->raise();
  lblNote_->show();
  noteTimer_.start();
}

void PanelWindow::SetFileNameLabel(const std::string& text) { lblFileName_->setText(QString::fromStdString(text)); }
void PanelWindow::SetCountLabel(const std::string& text) { lblCount_->setText(QString::fromStdString(text)); }
void PanelWindow::SetRecLabel(const std::string& text) { lblRec_->setText(QString::fromStdString(text)); }
void PanelWindow::SetRecLabelVisible(bool visible) { lblRec_->setVisible(visible); }

void PanelWindow::SetRecordingButton(bool recording) {
  // While recording button 1 takes the picture of button 9, otherwise that of button 11.
  const int save = ButtonNumber(PanelKey::Save);
  toolbar_->LendPicture(save, ButtonNumber(recording ? PanelKey::StopRecording : PanelKey::Sss));
  toolbar_->SetToolTip(save, recording ? "Stop Recording" : "Start Recording");
}

ValueTexts PanelWindow::ValueLabelTexts() const {
  ValueTexts values;
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = valueLabels_[i]->text().toStdString();
  return values;
}

void PanelWindow::Load() {
  FillCosTable(session_.CosTable);
  move(0, 0);
  // The port window opened the port: this shows the port's name in LblCOM
  // and writes "E".
  std::string error;
  link_.OpenPort(session_.Meter.PortDevice, session_.Meter.ComPort, error);
  session_.Recorder.Recording = false;
  session_.Recorder.SampleTime = 2;
  session_.Logger.ClearCaches();
  timer2_.start();
  timer1_.start();
}

void PanelWindow::StopPoll() { timer1_.stop(); }

void PanelWindow::StartPoll() {
  if (ending_) return;
  timer1_.start();
  ShowPollPaused({});
}

void PanelWindow::ShowPollPaused(const std::string& why) {
  if (why == pausedWhy_) return;
  pausedWhy_ = why;
  ShowValuesDimmed();
  // The tip says why the values stand still, over their own title.
  for (std::size_t q = 0; q < valueLabels_.size(); ++q) {
    const QString title = QString::fromStdString(QuantityTitle(QuantityNames[q]));
    valueLabels_[q]->setToolTip(why.empty() ? title : title + "\n" + QString::fromStdString(why));
  }
  if (!linkLost_) lblCom_->setToolTip(QString::fromStdString(why));
}

void PanelWindow::ShowValuesDimmed() {
  const bool dim = linkLost_ || !pausedWhy_.empty();
  if (dim == dimmed_) return;
  dimmed_ = dim;
  for (QLabel* value : valueLabels_) {
    QPalette pal = value->palette();
    pal.setColor(QPalette::WindowText, dim ? DimmedValueColour : ValueColour);
    value->setPalette(pal);
  }
}

void PanelWindow::Timer1Tick() {
  if (ending_) return;
  QPointer<PanelWindow> self(this);
  // Not a member: the window may be deleted inside the tick's waits, and the
  // tick then still returns through the poll.
  LivePoll poll(link_, session_.Guard, session_.Meter, session_.Live);
  PollOutcome outcome = poll.Tick();
  if (!self || ending_) return;  // closed during the tick's waits
  if (outcome == PollOutcome::Reading) ShowReading();
}

void PanelWindow::ShowReading() {
  int shown = WiringPictureFor(session_.Meter.WiringCode);
  if (shown >= 0)
    for (int i = 0; i < static_cast<int>(pictures_.size()); ++i)
      pictures_[static_cast<std::size_t>(i)]->setVisible(i == shown);
  const PanelValueTexts texts = ValueTextsFor(session_.Live);
  for (int q : ValueLabelOrder) {
    const auto i = static_cast<std::size_t>(q);
    valueLabels_[i]->setText(QString::fromStdString(texts[i]));
  }
  emit ReadingShown();
}

void PanelWindow::ShowLinkText(const std::string& text) {
  lblCom_->setText(QString::fromStdString(text));
  ShowLinkLost(text == LinkLostText);
}

void PanelWindow::ShowLinkLost(bool lost) {
  if (lost == linkLost_) return;
  linkLost_ = lost;
  // The labels keep the last reading while the instrument is away: dimmed,
  // so that nobody takes them for live values.
  ShowValuesDimmed();
  lblCom_->setAutoFillBackground(lost);
  QPalette pal = lblCom_->palette();
  pal.setColor(QPalette::Window, lost ? QColor(0xc0, 0x10, 0x10) : palette().color(QPalette::Window));
  pal.setColor(QPalette::WindowText, lost ? QColor(Qt::white) : palette().color(QPalette::WindowText));
  lblCom_->setPalette(pal);
  lblCom_->setToolTip(lost ? QString("The instrument does not answer: the values shown are the last ones read.")
                           : QString::fromStdString(pausedWhy_));
}

void PanelWindow::RunKey(PanelKey key) {
  if (ending_) return;
  switch (key) {
    case PanelKey::RTC: return RtcCommand();
    case PanelKey::Memory: return MemoryCommand();
    case PanelKey::Save: emit SaveWanted(); return;
    case PanelKey::Open: emit OpenWanted(); return;
    case PanelKey::List: emit ListWanted(); return;
    case PanelKey::Graph: emit GraphWanted(); return;
    case PanelKey::Sampling: emit SamplingWanted(); return;
    case PanelKey::Harmonic: emit HarmonicWanted(); return;
    // The picture holders never do anything.
    case PanelKey::StopRecording:
    case PanelKey::StopRec:
    case PanelKey::Sss: return;
  }
}

void PanelWindow::RtcCommand() {
  // Another command owns the port; it starts Timer1 again itself.
  if (ending_ || session_.Guard.CommandActive()) return;
  QPointer<PanelWindow> self(this);
  // By hand, not a PollPause: this window is the panel, and may be gone after the wait.
  timer1_.stop();
  const std::string sent = SetInstrumentClock(link_, session_.Guard);
  if (!self) return;
  if (const std::string note = ClockSetText(sent); !note.empty() && !ending_) ShowStatusNote(note);
  StartTimer1();
}

void PanelWindow::MemoryCommand() {
  if (ending_ || session_.Guard.CommandActive()) return;
  QPointer<PanelWindow> self(this);
  timer1_.stop();
  QtWindowSurface surface(this);
  MemoryNext next = ReadMemoryDirectory(link_, session_.Guard, session_.Logger, dialogs_, surface);
  if (!self) return;
  switch (next) {
    case MemoryNext::Nothing: return;
    case MemoryNext::ResumePoll: StartTimer1(); return;
    case MemoryNext::OpenLogger:
      if (isSignalConnected(QMetaMethod::fromSignal(&PanelWindow::LoggerSetsFound)) && !ending_)
        emit LoggerSetsFound();
      else
        StartTimer1();
      return;
  }
}

bool PanelWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblCom_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    setWindowTitle(QString::fromStdString(ToggledPanelCaption(windowTitle().toStdString())));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void PanelWindow::closeEvent(QCloseEvent* event) {
  // The recording goes on while the question is open.
  if (!ending_ && session_.Recorder.Recording) {
    QPointer<PanelWindow> self(this);
    const MessageAnswer answer = dialogs_.Message(CloseWhileRecordingQuestion(session_.Recorder.RecFileName),
                                                  MessageIcon::Question, MessageButtons::OkCancel);
    if (!self) return;
    if (answer != MessageAnswer::Ok && !ending_) {
      event->ignore();
      return;
    }
  }
  EndProgram();
  event->accept();
}

void PanelWindow::EndProgram() {
  if (ending_) return;
  ending_ = true;
  timer1_.stop();
  timer2_.stop();
  // Every exchange still waiting further down the stack ends at its next wake.
  shutdown_ = session_.Guard.TakeForShutdown();
  emit Ending();
}

}  // namespace qelt
