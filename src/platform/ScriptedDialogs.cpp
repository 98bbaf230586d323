#include "platform/ScriptedDialogs.hpp"

#include "platform/WindowSurface.hpp"

namespace qelt {

namespace {
MessageAnswer DefaultButton(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkCancel: return MessageAnswer::Ok;
    case MessageButtons::OkCancelDefaultCancel: return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return MessageAnswer::Yes;
    case MessageButtons::RetryCancel: return MessageAnswer::Retry;
  }
  return MessageAnswer::Ok;
}

template <typename T>
T Next(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = std::move(queue.front());
  queue.pop_front();
  return value;
}
}  // namespace

void ScriptedDialogs::Record(Shown shown) {
  if (const WindowSurface* asker = Asker()) shown.Asker = asker->Caption();
  History.push_back(std::move(shown));
  if (OnShown) OnShown(History.back());
}

MessageAnswer ScriptedDialogs::Message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                       const std::string& title) {
  Shown s;
  s.What = Kind::Message;
  s.Text = text;
  s.Title = title;
  s.Icon = icon;
  s.Buttons = buttons;
  Record(std::move(s));
  return Next(Answers, DefaultButton(buttons));
}

std::string ScriptedDialogs::Input(const std::string& prompt, const std::string& title,
                                   const std::string& defaultAnswer) {
  Shown s;
  s.What = Kind::Input;
  s.Text = prompt;
  s.Title = title;
  s.DefaultAnswer = defaultAnswer;
  Record(std::move(s));
  return Next(Inputs, std::string());
}

std::optional<FileChoice> ScriptedDialogs::OpenFile(const FileRequest& request) {
  Shown s;
  s.What = Kind::OpenFile;
  s.Title = request.Title;
  s.File = request;
  Record(std::move(s));
  return Next(Files, std::optional<FileChoice>());
}

std::optional<FileChoice> ScriptedDialogs::SaveFile(const FileRequest& request) {
  Shown s;
  s.What = Kind::SaveFile;
  s.Title = request.Title;
  s.File = request;
  Record(std::move(s));
  std::optional<FileChoice> choice = Next(Files, std::optional<FileChoice>());
  if (choice && request.FieldLabel.empty()) choice->Field.reset();
  if (choice && !request.FieldLabel.empty() && !choice->Field) choice->Field = request.FieldText;
  return choice;
}

std::optional<PrinterChoice> ScriptedDialogs::ChoosePrinter(const PrinterChoice& initial) {
  Shown s;
  s.What = Kind::Printer;
  s.DefaultAnswer = initial.OutputFile;
  Record(std::move(s));
  return Next(Printers, std::optional<PrinterChoice>());
}

std::vector<std::string> ScriptedDialogs::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Shown& s : History)
    if (s.What == Kind::Message) texts.push_back(s.Text);
  return texts;
}

}  // namespace qelt
