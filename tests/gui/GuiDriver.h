// Driving a program's real Qt window as a user does (menus, the file dialog, the scroll bar's
// parts, keys) and comparing what it shows with a headless session given the same actions.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Controls.h"
#include "QtApplication.h"
#include "QtControls.h"
#include "ViewerScript.h"

namespace gui_test {

// What the window shows: the paint box's picture, the thumb, the value labels, the text area's
// lines, the status bar and the checked time per frame button (0 for none).
struct Seen {
  QImage Picture;
  int32_t Thumb = 0;
  std::vector<std::pair<std::string, std::string>> Labels;
  std::vector<std::string> Rich;
  std::string Status;
  int Checked = 0;
};

// One user action in the real window and the viewer-script lines that stand for it.
struct Step {
  std::string What;
  std::vector<std::string> Lines;
  Seen After;
};

// Scroll codes as viewer-script lines: "scroll C" for a press (its end of scroll included),
// "drag P" per thumb move, "release P" for the release (with its end of scroll). Expects every
// press and release to be ended by exactly one end of scroll.
std::vector<std::string> ScrollLines(const std::vector<std::pair<int, int32_t>>& scrolls);

// A program's main form in the real Qt window, shown. The scroll bar's OnScroll is watched so
// that every code the real input produced can be replayed headless.
class QtProgram {
 public:
  explicit QtProgram(const std::string& program);  // "calvora" or "vespira"
  ~QtProgram();
  QtProgram(const QtProgram&) = delete;
  QtProgram& operator=(const QtProgram&) = delete;

  QMainWindow* Window() const { return window_; }
  platform::Form& MainForm() const { return *form_; }
  platform::qt::QtApplicationPeer& Peer() { return peer_; }
  QScrollBar* ScrollBar() const;
  platform::qt::PaintBoxWidget* PaintBox() const;
  QColor PaintBoxColorAtStart() const { return startColor_; }

  // File > Open (or any item) through the menu bar and its popup menu, by the items' names.
  void ClickMenu(const char* menu, const char* item);
  // File > Open through the menu, answered in the real file dialog with `path`.
  void OpenThroughDialog(const std::string& path);
  // The same with the dialog brought up by `trigger` (a menu click, a shortcut).
  void OpenThroughDialog(const std::string& path, const std::function<void()>& trigger);
  // File > Save As... through the menu, answered in the real save dialog with `path`; when the
  // dialog asks whether to replace an existing file, the question is answered with Yes.
  void SaveAsThroughDialog(const std::string& path);

  // The scroll codes (and positions) the real input produced since the last call.
  std::vector<std::pair<int, int32_t>> TakeScrolls();
  const std::vector<std::pair<int, int32_t>>& Scrolls() const { return scrolls_; }
  std::vector<std::string> TakeScrollLines() { return ScrollLines(TakeScrolls()); }

  Seen Look() const;
  std::string Program() const { return program_; }

  // Dialog titles and file type lists the file dialogs showed, and for each Save As whether the
  // dialog asked before replacing a file.
  std::vector<QString> DialogTitles;
  std::vector<QStringList> DialogFileTypes;
  std::vector<bool> ReplaceAsked;

 private:
  // Answers the next file dialog with `path` and its accepting button.
  void AnswerFileDialog(const std::string& path, const std::function<void()>& trigger);

  std::string program_;
  platform::qt::QtApplicationPeer peer_;
  platform::Form* form_ = nullptr;
  QMainWindow* window_ = nullptr;
  QColor startColor_;
  std::vector<std::pair<int, int32_t>> scrolls_;
};

// Answers the next modal widget that `answer` handles (returns true for), from inside the widget's
// own event loop; modal widgets it declines are offered again until it handles one. Answered()
// tells whether that came; the watch ends with the object.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<bool(QWidget*)> answer);
  bool Answered() const { return answered_; }

 private:
  QTimer timer_;
  bool answered_ = false;
};

// The rectangle of a part of the scroll bar, as its style lays it out.
QRect ScrollBarPart(QScrollBar* bar, QStyle::SubControl part);

// Waits, processing events, until `done` holds (false when it never does).
bool WaitFor(const std::function<bool()>& done);

// Runs the same steps headless and expects every step to show what the real window showed.
void ExpectHeadlessShowsTheSame(const std::string& program, const QColor& startColor, const std::vector<Step>& steps);

}  // namespace gui_test
