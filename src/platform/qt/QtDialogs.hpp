#pragma once
// Dialogs shown with Qt's message box, input dialog, file dialog and print
// dialog, modal to the parent window when one is set.
#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.hpp"

namespace qelt {

class StoredSettings;

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Where each dialog's last folder is kept between runs (none: not kept).
  void SetSettings(StoredSettings* settings) { settings_ = settings; }

  MessageAnswer Message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                        const std::string& title) override;
  std::string Input(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) override;
  std::optional<FileChoice> OpenFile(const FileRequest& request) override;
  std::optional<FileChoice> SaveFile(const FileRequest& request) override;
  std::optional<PrinterChoice> ChoosePrinter(const PrinterChoice& initial) override;

  // A description|pattern filter in Qt's form; "*.*" stands for every file.
  static QString QtFilter(const std::string& filter, int index, QString* selected);

 private:
  // The request's start, in the dialog's last folder when it names no folder.
  QString StartPath(const std::string& title, const std::string& initial) const;
  void Remember(const std::string& title, const std::optional<FileChoice>& choice);

  QPointer<QWidget> parent_;
  StoredSettings* settings_ = nullptr;
};

}  // namespace qelt
