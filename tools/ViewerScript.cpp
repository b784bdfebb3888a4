// viewer-script's engine: parsing, the headless session and the JSON trace.
#include "ViewerScript.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "Application.h"
#include "CalvoraAbout1.h"
#include "CalvoraUnit1.h"
#include "Headless.h"
#include "VespiraUnit1.h"

namespace viewer_script {
namespace {

using platform::ScrollCode;

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n\f\v");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n\f\v");
  return s.substr(first, last - first + 1);
}

// A whole decimal integer, saturated at the 64-bit range; nothing when malformed.
std::optional<int64_t> ParseInteger(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  for (std::size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), nullptr, 10);  // saturates on overflow
  return static_cast<int64_t>(value);
}

// --- JSON ---------------------------------------------------------------------------------

// Text of the viewer is single-byte; JSON carries it as UTF-8 decoded from Latin-1.
std::string JsonString(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else if (c < 0x80) {
          out.push_back(static_cast<char>(c));
        } else {
          out.push_back(static_cast<char>(0xC0 | (c >> 6)));
          out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
  }
  return out + "\"";
}

std::string JsonColor(platform::Color color) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(color & 0xFFFFFF));
  return JsonString(buf);
}

std::string JsonCanvas(const std::vector<platform::CanvasOp>& ops) {
  std::string out = "[";
  for (std::size_t i = 0; i < ops.size(); ++i) {
    const platform::CanvasOp& op = ops[i];
    if (i > 0) out += ",";
    if (op.Op == platform::CanvasOp::Kind::Fill) {
      out += "{\"op\":\"fill\",\"color\":" + JsonColor(op.Color) + "}";
      continue;
    }
    out += "{\"op\":\"polyline\",\"color\":" + JsonColor(op.Color) + ",\"points\":[";
    for (std::size_t k = 0; k < op.Points.size(); ++k) {
      if (k > 0) out += ",";
      out += '[';
      out += std::to_string(op.Points[k].x);
      out += ',';
      out += std::to_string(op.Points[k].y);
      out += ']';
    }
    out += "]}";
  }
  return out + "]";
}

// --- The programs as a script sees them ----------------------------------------------------

// Pointers into one program's main form: what the actions click and what the trace reads.
struct MainFormView {
  recording::ViewerState* State = nullptr;
  platform::MenuItem* Open = nullptr;
  platform::MenuItem* Close = nullptr;
  platform::MenuItem* SaveAs = nullptr;
  platform::MenuItem* About = nullptr;
  platform::MenuItem* Exit = nullptr;
  platform::ScrollBar* ScrollBar = nullptr;
  platform::PaintBox* PaintBox = nullptr;
  platform::RichEdit* RichEdit = nullptr;
  platform::StatusBar* StatusBar = nullptr;
  std::vector<platform::Label*> ValueLabels;        // in the order of the trace
  std::vector<platform::RadioButton*> TimeButtons;  // RadioButton1..4
};

// What both main forms have, under the same component names.
template <class MainForm>
MainFormView ViewOf(MainForm& f) {
  MainFormView v;
  v.State = &f.State;
  v.Open = &f.Open1;
  v.About = &f.About1;
  v.Exit = &f.Exit1;
  v.ScrollBar = &f.ScrollBar1;
  v.PaintBox = &f.PB1;
  v.RichEdit = &f.RichEdit1;
  v.StatusBar = &f.StatusBar1;
  return v;
}

MainFormView CreateCalvora() {
  calvora::TCalvora& f = calvora::CreateForms();
  MainFormView v = ViewOf(f);
  v.Close = &f.Close1;
  v.SaveAs = &f.SaveAs1;
  v.ValueLabels = {&f.Label2, &f.Label4, &f.Label6, &f.MinLabel, &f.SecLabel};
  v.TimeButtons = {&f.RadioButton1, &f.RadioButton2, &f.RadioButton3, &f.RadioButton4};
  return v;
}

MainFormView CreateVespira() { return ViewOf(vespira::CreateForms()); }

const std::vector<std::pair<ProgramTraits, MainFormView (*)()>>& Programs() {
  static const std::vector<std::pair<ProgramTraits, MainFormView (*)()>> programs = {
      {{"calvora", true, true, true}, &CreateCalvora},
      {{"vespira", false, false, false}, &CreateVespira},
  };
  return programs;
}

class HeadlessSession : public Session {
 public:
  explicit HeadlessSession(MainFormView (*create)()) {
    platform::Application().DestroyForms();
    platform::Application().SetPeer(&peer_);
    platform::Application().Initialize();
    view_ = create();
    view_.PaintBox->Canvas.Sink = &canvas_;
    canvas_.Take();
  }
  ~HeadlessSession() override {
    platform::Application().DestroyForms();
    platform::Application().SetPeer(nullptr);
  }

  bool Exited() const override { return exited_; }

  Snapshot Perform(const Action& a) override {
    using K = Action::Kind;
    switch (a.What) {
      case K::Open: peer_.DialogAnswers.push_back(a.Path); view_.Open->Click(); break;
      case K::OpenCancel: peer_.DialogAnswers.push_back(std::nullopt); view_.Open->Click(); break;
      case K::Close: view_.Close->Click(); break;
      case K::SaveAs: peer_.DialogAnswers.push_back(a.Path); view_.SaveAs->Click(); break;
      case K::SaveAsCancel: peer_.DialogAnswers.push_back(std::nullopt); view_.SaveAs->Click(); break;
      case K::Time: view_.TimeButtons.at(static_cast<std::size_t>(a.Number - 1))->Click(); break;
      case K::Scroll:
        view_.ScrollBar->Scroll(static_cast<ScrollCode>(a.Number));
        view_.ScrollBar->EndScroll();
        break;
      case K::Drag: view_.ScrollBar->Track(ClampToBar(a.Number)); break;
      case K::Release: view_.ScrollBar->Release(ClampToBar(a.Number)); break;
      case K::About: view_.About->Click(); break;
      case K::Exit: view_.Exit->Click(); exited_ = true; break;
    }
    peer_.DialogAnswers.clear();
    return Capture(a);
  }

 private:
  int32_t ClampToBar(int64_t position) const {
    const int64_t lo = view_.ScrollBar->Min();
    const int64_t hi = view_.ScrollBar->Max();
    return static_cast<int32_t>(position < lo ? lo : position > hi ? hi : position);
  }

  Snapshot Capture(const Action& a) {
    Snapshot snap;
    snap.Action = a.Text;
    snap.Canvas = canvas_.Take();
    snap.Rich = view_.RichEdit->Lines();
    snap.Status = view_.StatusBar->SimpleText();
    snap.Thumb = view_.ScrollBar->Position();
    for (platform::Label* label : view_.ValueLabels) snap.Labels.emplace_back(label->Name, label->Caption());
    for (std::size_t i = 0; i < view_.TimeButtons.size(); ++i)
      if (view_.TimeButtons[i]->Checked()) snap.Checked = static_cast<int>(i + 1);
    const recording::ViewerState& s = *view_.State;
    snap.Open = s.File != nullptr;
    if (snap.Open) snap.Pos = std::ftell(s.File);
    snap.State = s;
    snap.State.File = nullptr;
    return snap;
  }

  platform::HeadlessPeer peer_;
  platform::CanvasRecorder canvas_;
  MainFormView view_;
  bool exited_ = false;
};

}  // namespace

std::string ToJson(const Snapshot& snap) {
  const recording::ViewerState& s = snap.State;
  std::ostringstream out;
  out << "{\"action\":" << JsonString(snap.Action) << ",\"canvas\":" << JsonCanvas(snap.Canvas) << ",\"rich\":[";
  for (std::size_t i = 0; i < snap.Rich.size(); ++i) out << (i > 0 ? "," : "") << JsonString(snap.Rich[i]);
  out << "],\"status\":" << JsonString(snap.Status) << ",\"thumb\":" << snap.Thumb << ",\"labels\":{";
  for (std::size_t i = 0; i < snap.Labels.size(); ++i)
    out << (i > 0 ? "," : "") << JsonString(snap.Labels[i].first) << ":" << JsonString(snap.Labels[i].second);
  out << "}";
  if (snap.Checked) out << ",\"checked\":" << *snap.Checked;
  out << ",\"state\":{\"open\":" << (snap.Open ? "true" : "false") << ",\"pos\":";
  if (snap.Pos)
    out << *snap.Pos;
  else
    out << "null";
  out << ",\"FileSize\":" << s.FileSize << ",\"CurrentOffset\":" << s.CurrentOffset << ",\"FrameStart\":" << s.FrameStart
      << ",\"DataEnd\":" << s.DataEnd << ",\"DataStart\":" << s.DataStart << ",\"FrameSpan\":" << s.FrameSpan
      << ",\"ColumnStep\":" << s.ColumnStep << ",\"SavedScrollPosition\":" << s.SavedScrollPosition
      << ",\"ScrollPending\":" << (s.ScrollPending ? "true" : "false") << ",\"FileName\":" << JsonString(s.FileName)
      << "}}";
  return out.str();
}

std::optional<ProgramTraits> FindProgram(const std::string& name) {
  for (const auto& [traits, create] : Programs())
    if (traits.Name == name) return traits;
  return std::nullopt;
}

ParsedScript ParseScript(const std::string& text, const ProgramTraits& program) {
  ParsedScript parsed;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  auto fail = [&](std::string why) {
    parsed.Error = ScriptError{lineNo, std::move(why)};
    parsed.Actions.clear();
    return parsed;
  };
  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    const auto space = line.find_first_of(" \t");
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    const std::string arg = Trim(rest);
    Action a;
    a.Text = line;
    using K = Action::Kind;
    auto needsNothing = [&](K kind) -> bool {
      a.What = kind;
      return arg.empty();
    };
    auto needsNumber = [&](K kind, const char* what) -> std::optional<std::string> {
      a.What = kind;
      if (arg.empty()) return std::string("'") + word + "' needs " + what;
      const auto n = ParseInteger(arg);
      if (!n) return std::string("'") + arg + "' is not a whole number";
      a.Number = *n;
      return std::nullopt;
    };
    if (word == "open" || word == "saveas") {
      if (word == "saveas" && !program.HasSaveAs) return fail(program.Name + " has no 'saveas'");
      a.What = word == "open" ? K::Open : K::SaveAs;
      if (arg.empty()) return fail("'" + word + "' needs a path");
      a.Path = rest;  // the rest of the line, verbatim
    } else if (word == "open-cancel") {
      if (!needsNothing(K::OpenCancel)) return fail("'open-cancel' takes no argument");
    } else if (word == "saveas-cancel") {
      if (!program.HasSaveAs) return fail(program.Name + " has no 'saveas-cancel'");
      if (!needsNothing(K::SaveAsCancel)) return fail("'saveas-cancel' takes no argument");
    } else if (word == "close") {
      if (!program.HasClose) return fail(program.Name + " has no 'close'");
      if (!needsNothing(K::Close)) return fail("'close' takes no argument");
    } else if (word == "about") {
      if (!needsNothing(K::About)) return fail("'about' takes no argument");
    } else if (word == "exit") {
      if (!needsNothing(K::Exit)) return fail("'exit' takes no argument");
    } else if (word == "time") {
      if (!program.HasTimePerFrame) return fail(program.Name + " has no 'time'");
      if (auto why = needsNumber(K::Time, "a button number 1 to 4")) return fail(*why);
      if (a.Number < 1 || a.Number > 4) return fail("time " + arg + " is not a button 1 to 4");
    } else if (word == "scroll") {
      if (auto why = needsNumber(K::Scroll, "a scroll code")) return fail(*why);
      if (a.Number < 0 || a.Number > 7 || a.Number == 4 || a.Number == 5)
        return fail("scroll code " + arg + " is not one of 0, 1, 2, 3, 6, 7");
    } else if (word == "drag") {
      if (auto why = needsNumber(K::Drag, "a position")) return fail(*why);
    } else if (word == "release") {
      if (auto why = needsNumber(K::Release, "a position")) return fail(*why);
    } else {
      return fail("unknown action '" + word + "'");
    }
    parsed.Actions.push_back(std::move(a));
  }
  return parsed;
}

std::unique_ptr<Session> StartSession(const ProgramTraits& program) {
  for (const auto& [traits, create] : Programs())
    if (traits.Name == program.Name) return std::make_unique<HeadlessSession>(create);
  return nullptr;
}

int RunScript(const std::string& text, const ProgramTraits& program, const std::function<void(const std::string&)>& emit,
              std::string* error) {
  const ParsedScript parsed = ParseScript(text, program);
  if (parsed.Error) {
    if (error != nullptr) *error = "line " + std::to_string(parsed.Error->Line) + ": " + parsed.Error->Why;
    return 2;
  }
  std::unique_ptr<Session> session = StartSession(program);
  for (const Action& a : parsed.Actions) {
    emit(ToJson(session->Perform(a)));
    if (session->Exited()) break;
  }
  return 0;
}

}  // namespace viewer_script
