#pragma once
// Message boxes, the input box and the file and printer dialogs, as the logic
// asks for them. QtDialogs shows them; ScriptedDialogs answers them in tests.
// Every call blocks until the user (or the script) has answered.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qelt {

enum class MessageIcon { None, Stop, Question, Exclamation, Information };
// OkCancelDefaultCancel: OK and Cancel, Cancel the default (a question whose
// OK destroys something).
enum class MessageButtons { Ok, OkCancel, OkCancelDefaultCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

inline constexpr const char* AllFilesFilter = "All Files (*.*)|*.*|";

struct FileRequest {
  std::string Title;        // empty: the platform's own
  std::string Filter;       // description|pattern pairs: "All Files (*.*)|*.*|"
  int FilterIndex = 1;      // 1-based entry selected at first
  std::string InitialPath;  // folder or file to start from; empty: the current folder
  // Where a request whose InitialPath names no folder starts when the dialog
  // has no last folder of its own; empty: the current folder.
  std::string FallbackFolder;
  bool OverwritePrompt = false;  // save only: ask before replacing an existing file
  // Save only: one line of text asked for with the file ("Title"), starting
  // from FieldText; no label, no line.
  std::string FieldLabel;
  std::string FieldText;
};

struct FileChoice {
  std::string Path;                                 // full path
  std::string FileName;                             // the last path element
  int FilterIndex = 0;                              // save: the 1-based filter entry chosen; 0 when not known
  std::optional<std::string> Field = std::nullopt;  // the request's line as the user left it
};

enum class PageOrientation { Portrait = 1, Landscape = 2 };

struct PrinterChoice {
  std::string PrinterName;  // empty: the default printer
  std::string OutputFile;   // non-empty: print into this PDF file instead of a printer
  PageOrientation Orientation = PageOrientation::Portrait;
  int Copies = 1;
};

class WindowSurface;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The window a command runs for (see AskingWindow): the dialogs asked for
  // meanwhile open over it. None: the window the user works in.
  void SetAsker(WindowSurface* window) { asker_ = window; }
  WindowSurface* Asker() const { return asker_; }
  // An empty title stands for the program's name.
  virtual MessageAnswer Message(const std::string& text, MessageIcon icon, MessageButtons buttons = MessageButtons::Ok,
                                const std::string& title = {}) = 0;
  // The answer typed; empty when the box was cancelled.
  virtual std::string Input(const std::string& prompt, const std::string& title, const std::string& defaultAnswer) = 0;
  // Nothing when cancelled.
  virtual std::optional<FileChoice> OpenFile(const FileRequest& request) = 0;
  virtual std::optional<FileChoice> SaveFile(const FileRequest& request) = 0;
  virtual std::optional<PrinterChoice> ChoosePrinter(const PrinterChoice& initial) = 0;

 private:
  WindowSurface* asker_ = nullptr;
};

// For its lifetime the dialogs asked for open over `window`: a command that
// runs after its click (a report's end, a context menu's action) is not
// where the user now works.
class AskingWindow {
 public:
  AskingWindow(Dialogs& dialogs, WindowSurface& window) : dialogs_(dialogs), previous_(dialogs.Asker()) {
    dialogs.SetAsker(&window);
  }
  ~AskingWindow() { dialogs_.SetAsker(previous_); }
  AskingWindow(const AskingWindow&) = delete;
  AskingWindow& operator=(const AskingWindow&) = delete;

 private:
  Dialogs& dialogs_;
  WindowSurface* previous_;
};

// The entries of a description|pattern filter, patterns split at ";".
// "Text (*.txt)|*.txt|All Files (*.*)|*.*|" -> {{"Text (*.txt)", {"*.txt"}}, {"All Files (*.*)", {"*.*"}}}
std::vector<std::pair<std::string, std::vector<std::string>>> FilterEntries(const std::string& filter);

// A saved file's path with the ending of the filter entry chosen (the
// request's first choice when not known) when its file name has none:
// "v1plot" saved as "PNG Image (*.png)" is "v1plot.png". "*.*" adds nothing.
std::string WithChosenEnding(const FileChoice& choice, const FileRequest& request);

// A prompt or message with CR LF and lone CR turned into LF, for display.
std::string DisplayLines(const std::string& text);

}  // namespace qelt
