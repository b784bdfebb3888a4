// viewer-script's engine: a script of user actions parsed and checked as a whole, then run on a
// viewer's main form in the headless realisation, with one JSON line after each action that
// describes what the window then shows. The tests use it as their window onto the programs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Headless.h"
#include "ViewerState.h"

namespace viewer_script {

struct Action {
  enum class Kind { Open, OpenCancel, Close, SaveAs, SaveAsCancel, Time, Scroll, Drag, Release, About, Exit };
  Kind What = Kind::Open;
  std::string Text;      // the line as written (trimmed)
  std::string Path;      // open, saveas
  int64_t Number = 0;    // time, scroll, drag, release
};

struct ScriptError {
  int Line = 0;
  std::string Why;
};

// What a program offers to a script.
struct ProgramTraits {
  std::string Name;
  bool HasClose = false;
  bool HasSaveAs = false;
  bool HasTimePerFrame = false;
};

std::optional<ProgramTraits> FindProgram(const std::string& name);

// Parses and checks the whole script; the first error, if any.
struct ParsedScript {
  std::vector<Action> Actions;
  std::optional<ScriptError> Error;
};
ParsedScript ParseScript(const std::string& text, const ProgramTraits& program);

// What the window shows after an action: the trace's content, printed by ToJson.
struct Snapshot {
  std::string Action;                          // the script line
  std::vector<platform::CanvasOp> Canvas;      // the canvas operations of this action, in order
  std::vector<std::string> Rich;               // RichEdit1's lines, line 0 first (bytes)
  std::string Status;                          // the status bar's simple text
  int32_t Thumb = 0;                           // the scroll bar's position
  std::vector<std::pair<std::string, std::string>> Labels;  // Calvora's value labels by name
  std::optional<int> Checked;                  // Calvora's checked time per frame button 1..4
  bool Open = false;                           // a recording stream is open
  std::optional<int64_t> Pos;                  // its position
  recording::ViewerState State;                // the fields shown (File is not owned: null)
};

std::string ToJson(const Snapshot& snapshot);

// One program's main form under the headless realisation, driven by actions.
class Session {
 public:
  virtual ~Session() = default;
  // Performs one action and returns what the window then shows.
  virtual Snapshot Perform(const Action& action) = 0;
  virtual bool Exited() const = 0;
};

// Creates the program's forms on the headless realisation. One session at a time per process.
std::unique_ptr<Session> StartSession(const ProgramTraits& program);

// Runs a whole script text, calling `emit` with each JSON line; returns the process status
// (0, or 2 with the error written to `error` for a script that does not check).
int RunScript(const std::string& text, const ProgramTraits& program, const std::function<void(const std::string&)>& emit,
              std::string* error);

}  // namespace viewer_script
