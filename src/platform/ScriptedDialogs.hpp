#pragma once
// Dialogs for tests: records every dialog shown and answers from queues.
// With a queue empty, a message is answered with its default button, the input
// box and the file and printer dialogs as if cancelled.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/Dialogs.hpp"
#include "platform/PathText.hpp"

namespace qelt {

class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { Message, Input, OpenFile, SaveFile, Printer };

  struct Shown {
    Kind What = Kind::Message;
    std::string Text;  // message text or input prompt
    std::string Title;
    MessageIcon Icon = MessageIcon::None;
    MessageButtons Buttons = MessageButtons::Ok;
    std::string DefaultAnswer;  // input: the answer offered; printer: the PDF file offered
    FileRequest File;
    std::string Asker;  // the caption of the window it was asked for over; empty: none named
  };

  MessageAnswer Message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                        const std::string& title) override;
  std::string Input(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) override;
  std::optional<FileChoice> OpenFile(const FileRequest& request) override;
  std::optional<FileChoice> SaveFile(const FileRequest& request) override;
  std::optional<PrinterChoice> ChoosePrinter(const PrinterChoice& initial) override;

  // Queues a file answer by path (FileName filled in), or a cancellation.
  // A request's line of text comes back as offered unless field is given.
  void QueueFile(const std::string& path, std::optional<std::string> field = std::nullopt) {
    Files.push_back(FileChoice{path, FileNameOf(path), 0, std::move(field)});
  }
  void QueueFileCancel() { Files.push_back(std::nullopt); }

  // The texts of the messages shown so far, in order.
  std::vector<std::string> MessageTexts() const;

  std::vector<Shown> History;
  std::deque<MessageAnswer> Answers;
  std::deque<std::string> Inputs;
  std::deque<std::optional<FileChoice>> Files;
  std::deque<std::optional<PrinterChoice>> Printers;
  // Runs when a dialog is shown, before it is answered.
  std::function<void(const Shown&)> OnShown;

 private:
  void Record(Shown shown);
};

}  // namespace qelt
