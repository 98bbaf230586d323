#pragma once
// Dialogs shown with Qt's message box, input dialog, file dialog and print
// dialog, modal to the parent window when one is set.
#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.hpp"

namespace qelt {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  MessageAnswer Message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                        const std::string& title) override;
  std::string Input(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) override;
  std::optional<FileChoice> OpenFile(const FileRequest& request) override;
  std::optional<FileChoice> SaveFile(const FileRequest& request) override;
  std::optional<PrinterChoice> ChoosePrinter(const PrinterChoice& initial) override;

  // A description|pattern filter in Qt's form; "*.*" stands for every file.
  static QString QtFilter(const std::string& filter, int index, QString* selected);

 private:
  QPointer<QWidget> parent_;
};

}  // namespace qelt
