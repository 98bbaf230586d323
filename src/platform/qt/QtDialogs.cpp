#include "platform/qt/QtDialogs.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

#include "platform/PathText.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/StoredSettings.hpp"

namespace qelt {

namespace {
QString Title(const std::string& title) {
  return title.empty() ? QCoreApplication::applicationName() : QString::fromStdString(title);
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok: return QMessageBox::Ok;
    case MessageButtons::OkCancel:
    case MessageButtons::OkCancelDefaultCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

std::optional<FileChoice> Choice(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  std::string p = path.toStdString();
  return FileChoice{p, FileNameOf(p)};
}
}  // namespace

QWidget* QtDialogs::Owner() const {
  // A dialog asked for from within another dialog belongs to that one.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (const auto* asker = dynamic_cast<const QtWindowSurface*>(Asker()); asker && asker->Window())
    return asker->Window()->window();
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (parent_) return parent_;
  // Before the main window (the port window): the one window on the screen,
  // so that the box opens over it rather than in the screen's middle.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowType() == Qt::Window) return w;
  return nullptr;
}

MessageAnswer QtDialogs::Message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                 const std::string& title) {
  if (buttons == MessageButtons::Ok && waitHost_ && waitHost_->InsideWait()) {
    auto* box = new QMessageBox(BoxIcon(icon), Title(title), QString::fromStdString(DisplayLines(text)),
                                QMessageBox::Ok, Owner());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return MessageAnswer::Ok;
  }
  QMessageBox box(BoxIcon(icon), Title(title), QString::fromStdString(DisplayLines(text)), BoxButtons(buttons),
                  Owner());
  if (buttons == MessageButtons::OkCancelDefaultCancel) box.setDefaultButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Retry: return MessageAnswer::Retry;
    default: return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
  }
}

std::string QtDialogs::Input(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) {
  bool ok = false;
  QString answer = QInputDialog::getText(Owner(), Title(title), QString::fromStdString(DisplayLines(prompt)),
                                         QLineEdit::Normal, QString::fromStdString(defaultAnswer), &ok);
  return ok ? answer.toStdString() : std::string();
}

QString QtDialogs::QtFilter(const std::string& filter, int index, QString* selected) {
  QStringList entries;
  int n = 0;
  for (const auto& [description, patterns] : FilterEntries(filter)) {
    QStringList globs;
    for (const std::string& p : patterns) globs << (p == "*.*" ? QStringLiteral("*") : QString::fromStdString(p));
    QString entry = QString::fromStdString(description) + " (" + globs.join(' ') + ")";
    entries << entry;
    if (++n == index && selected) *selected = entry;
  }
  return entries.join(";;");
}

QString QtDialogs::StartPath(const std::string& title, const std::string& initial, const std::string& fallback) const {
  const QString path = QString::fromStdString(initial);
  if (path.contains('/') || path.contains('\\')) return path;
  QString folder = settings_ ? settings_->Folder(QString::fromStdString(title)) : QString();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QString::fromStdString(fallback);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return path;
  return path.isEmpty() ? folder : QDir(folder).filePath(path);
}

void QtDialogs::Remember(const std::string& title, const std::optional<FileChoice>& choice) {
  if (settings_ && choice && !choice->Path.empty())
    settings_->SetFolder(QString::fromStdString(title), QFileInfo(QString::fromStdString(choice->Path)).absolutePath());
}

std::optional<FileChoice> QtDialogs::OpenFile(const FileRequest& request) {
  QString selected;
  QString filter = QtFilter(request.Filter, request.FilterIndex, &selected);
  auto choice = Choice(QFileDialog::getOpenFileName(Owner(), QString::fromStdString(request.Title),
                                                    StartPath(request.Title, request.InitialPath), filter, &selected));
  Remember(request.Title, choice);
  return choice;
}

std::optional<FileChoice> QtDialogs::SaveFile(const FileRequest& request) {
  QString selected;
  QString filter = QtFilter(request.Filter, request.FilterIndex, &selected);
  QFileDialog::Options options;
  if (!request.OverwritePrompt) options |= QFileDialog::DontConfirmOverwrite;
  if (!request.FieldLabel.empty()) return SaveFileWithField(request, filter, selected, options);
  auto choice = Choice(QFileDialog::getSaveFileName(
      Owner(), QString::fromStdString(request.Title),
      StartPath(request.Title, request.InitialPath, request.FallbackFolder), filter, &selected, options));
  if (choice) choice->FilterIndex = static_cast<int>(filter.split(";;").indexOf(selected)) + 1;
  Remember(request.Title, choice);
  return choice;
}

// Qt's own dialog, which has room for one more line under the name.
std::optional<FileChoice> QtDialogs::SaveFileWithField(const FileRequest& request, const QString& filter,
                                                       const QString& selected, QFileDialog::Options options) {
  QFileDialog dialog(Owner(), QString::fromStdString(request.Title),
                     StartPath(request.Title, request.InitialPath, request.FallbackFolder), filter);
  dialog.setOptions(options | QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.selectNameFilter(selected);
  auto* field = new QLineEdit(QString::fromStdString(request.FieldText), &dialog);
  field->setObjectName("Field");
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(QString::fromStdString(request.FieldLabel), &dialog), row, 0);
    grid->addWidget(field, row, 1, 1, grid->columnCount() - 1);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  auto choice = Choice(dialog.selectedFiles().first());
  if (!choice) return choice;
  choice->FilterIndex = static_cast<int>(filter.split(";;").indexOf(dialog.selectedNameFilter())) + 1;
  choice->Field = field->text().toStdString();
  Remember(request.Title, choice);
  return choice;
}

std::optional<PrinterChoice> QtDialogs::ChoosePrinter(const PrinterChoice& initial) {
  QPrinter printer;
  if (!initial.PrinterName.empty()) printer.setPrinterName(QString::fromStdString(initial.PrinterName));
  if (!initial.OutputFile.empty()) {
    // The PDF offered lies in the last print folder; a real printer stays
    // the first choice where there is one.
    QString file = StartPath("print", initial.OutputFile);
    if (!file.contains('/')) file = QDir(QDir::homePath()).filePath(file);
    printer.setOutputFileName(file);
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) printer.setOutputFormat(QPrinter::NativeFormat);
  }
  printer.setPageOrientation(initial.Orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                               : QPageLayout::Portrait);
  printer.setCopyCount(initial.Copies);
  QPrintDialog dialog(&printer, Owner());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  PrinterChoice choice;
  choice.PrinterName = printer.printerName().toStdString();
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    choice.OutputFile = printer.outputFileName().toStdString();
    Remember("print", FileChoice{choice.OutputFile, {}});
  }
  choice.Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? PageOrientation::Landscape
                                                                                    : PageOrientation::Portrait;
  choice.Copies = printer.copyCount();
  return choice;
}

}  // namespace qelt
