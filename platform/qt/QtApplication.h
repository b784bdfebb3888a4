// The Qt 6 Widgets realisation of the application: the main form's window (a QMainWindow with
// the form's menu and a client area of exactly the form's client size), the other forms as
// modal dialogs, Qt's own file dialogs, the exception report, and the event loop. The only
// part of the project besides the controls' widgets that includes Qt.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "Application.h"

class QDialog;

namespace platform::qt {

// The file dialog's name filters from a model filter "description|pattern|description|pattern":
// "description (patterns)" with ';'-separated patterns as Qt's space-separated ones, and "*.*"
// as "*" (every file, as it means on the platform being reproduced). An incomplete last pair is
// ignored.
QStringList NameFilters(const std::string& filter);

// Needs a QApplication for its whole life. Builds a form's window on first use and keeps it
// until DestroyWindows() or its own end; either detaches every widget from its model first.
class QtApplicationPeer : public ApplicationPeer {
 public:
  QtApplicationPeer();
  ~QtApplicationPeer() override;
  QtApplicationPeer(const QtApplicationPeer&) = delete;
  QtApplicationPeer& operator=(const QtApplicationPeer&) = delete;

  // Shows the main form's window and runs the event loop until Terminate or the window closes.
  void Run(Form& mainForm) override;
  void Terminate() override;
  // A message box; the program continues when it is closed.
  void ShowException(const std::string& message) override;
  // The form as a modal dialog (built once); its modal result, mrCancel when closed otherwise.
  int32_t ShowModal(Form& form) override;
  // Qt's own file dialog, started in the current working directory. The chosen name is returned
  // in the local file name encoding, as the stream functions take it.
  std::optional<std::string> ExecuteFileDialog(FileDialog& dialog) override;
  // The main form's window is built as soon as the form exists.
  void FormCreated(Form& form) override;

  // Work for the first turn of the next Run's event loop, once the main window is shown (a file
  // named on the command line is opened so). Runs once, as a user action.
  void RunWhenStarted(std::function<void()> work);

  // The window showing a form: a QMainWindow for the main form, a QDialog for the others.
  QWidget* WindowOf(Form& form);
  void DestroyWindows();

 private:
  QWidget* Build(Form& form);
  std::map<Form*, std::unique_ptr<QWidget>> windows_;
  std::function<void()> whenStarted_;
  QTimer started_;  // fires on the event loop's first turn
};

// What a program's command line asks for once QApplication has taken its own options: no
// argument, nothing; one, the file to open at start, made absolute against the current folder
// (as the open dialog gives names; its bytes are kept as they are); more, a usage error.
struct StartArguments {
  std::optional<std::string> FileName;
  bool UsageError = false;
};
StartArguments ParseStartArguments(int argc, const char* const* argv);

// A program's Qt entry: the QApplication and the realisation around the program's own entry,
// whose result it returns; the windows are gone before the forms and the QApplication. A file
// named on the command line is given to `openFile` as soon as the main window runs; a usage
// error is reported on standard error with status 2 and no window.
int RunProgram(int& argc, char** argv, int (*programEntry)(), void (*openFile)(const std::string& fileName));

}  // namespace platform::qt
