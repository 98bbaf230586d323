#pragma once
// Dialogs shown with Qt's message box, input dialog, file dialog and print
// dialog. Each belongs to the window that asked for it: the one an
// AskingWindow names, else the one the user is working in (a command starts
// from the user's input), else the parent set here; it opens centred over
// that window and gives it back its place when it closes.
#include <QFileDialog>
#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.hpp"
#include "platform/Host.hpp"

namespace qelt {

class StoredSettings;

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Where each dialog's last folder is kept between runs (none: not kept).
  void SetSettings(StoredSettings* settings) { settings_ = settings; }
  // The host whose waits an OK-only message must not sit on: asked for while
  // one of its waits runs (a sampling tick's fault inside a poll), the box
  // opens without blocking and the answer is OK at once.
  void SetWaitHost(const Host* host) { waitHost_ = host; }

  MessageAnswer Message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                        const std::string& title) override;
  std::string Input(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) override;
  std::optional<FileChoice> OpenFile(const FileRequest& request) override;
  std::optional<FileChoice> SaveFile(const FileRequest& request) override;
  std::optional<PrinterChoice> ChoosePrinter(const PrinterChoice& initial) override;

  // A description|pattern filter in Qt's form; "*.*" stands for every file.
  static QString QtFilter(const std::string& filter, int index, QString* selected);

 private:
  QWidget* Owner() const;
  // The request's start, in the dialog's last folder (else in fallback) when
  // it names no folder.
  QString StartPath(const std::string& title, const std::string& initial, const std::string& fallback = {}) const;
  void Remember(const std::string& title, const std::optional<FileChoice>& choice);
  std::optional<FileChoice> SaveFileWithField(const FileRequest& request, const QString& filter,
                                              const QString& selected, QFileDialog::Options options);

  QPointer<QWidget> parent_;
  StoredSettings* settings_ = nullptr;
  const Host* waitHost_ = nullptr;
};

}  // namespace qelt
