// viewer-script: the script is checked as a whole before anything runs, the actions reach the
// window as the user would perform them, and the trace is the exact JSON the tool prints. The
// built tool is also run once as a process, for its exit status and error text.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestRecordings.h"
#include "ViewerScript.h"

namespace {

using testing_support::TempFolder;
using testing_support::Viewer;
using testing_support::WriteRecording;
using viewer_script::Action;
using viewer_script::FindProgram;
using viewer_script::ParseScript;

viewer_script::ParsedScript Parse(const char* program, const std::string& text) { return ParseScript(text, *FindProgram(program)); }

TEST(ParseScript, RejectsTheWholeScriptAtTheFirstBadLine) {
  const struct {
    const char* Program;
    std::string Script;
    int Line;
  } cases[] = {
      {"calvora", "jump 3", 1},
      {"calvora", "Open a.qtr", 1},  // actions are lower case
      {"calvora", "about\n\n# a comment\nscroll", 4},
      {"calvora", "scroll x", 1},
      {"calvora", "scroll 1.5", 1},
      {"calvora", "scroll 1 2", 1},
      {"calvora", "scroll 4", 1},  // the thumb codes come from drag and release
      {"calvora", "scroll 5", 1},
      {"calvora", "scroll 8", 1},
      {"calvora", "scroll -1", 1},
      {"calvora", "time 0", 1},
      {"calvora", "time 5", 1},
      {"calvora", "time", 1},
      {"calvora", "open", 1},
      {"calvora", "open   \t", 1},
      {"calvora", "saveas", 1},
      {"calvora", "drag", 1},
      {"calvora", "release 3x", 1},
      {"calvora", "about\nexit\nbogus", 3},  // checked even after exit
      {"vespira", "close", 1},
      {"vespira", "time 1", 1},
      {"vespira", "about\nsaveas x.qtr", 2},
      {"vespira", "saveas-cancel", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Program << ": " << testing::PrintToString(c.Script));
    const viewer_script::ParsedScript parsed = Parse(c.Program, c.Script);
    ASSERT_TRUE(parsed.Error.has_value());
    EXPECT_EQ(parsed.Error->Line, c.Line);
    EXPECT_FALSE(parsed.Error->Why.empty());
    EXPECT_TRUE(parsed.Actions.empty());
  }
}

TEST(ParseScript, SkipsBlankAndCommentLinesAndTrimsTheRest) {
  const viewer_script::ParsedScript parsed = Parse("calvora",
                                                   "  # set up\n"
                                                   "\t\n"
                                                   "   open rec/a  b.qtr \r\n"
                                                   "open-cancel\n"
                                                   "scroll 7\n"
                                                   "drag -99999999999999999999\n"
                                                   "release +12\n"
                                                   "time 4\n"
                                                   "saveas out.qtr\n"
                                                   "exit");
  ASSERT_FALSE(parsed.Error.has_value()) << parsed.Error->Why;
  using K = Action::Kind;
  const struct {
    K What;
    std::string Text;
    std::string Path;
    int64_t Number;
  } expected[] = {
      {K::Open, "open rec/a  b.qtr", "rec/a  b.qtr", 0},
      {K::OpenCancel, "open-cancel", "", 0},
      {K::Scroll, "scroll 7", "", 7},
      {K::Drag, "drag -99999999999999999999", "", INT64_MIN},  // any integer; clamped when performed
      {K::Release, "release +12", "", 12},
      {K::Time, "time 4", "", 4},
      {K::SaveAs, "saveas out.qtr", "out.qtr", 0},
      {K::Exit, "exit", "", 0},
  };
  ASSERT_EQ(parsed.Actions.size(), std::size(expected));
  for (std::size_t i = 0; i < parsed.Actions.size(); ++i) {
    SCOPED_TRACE(expected[i].Text);
    EXPECT_EQ(parsed.Actions[i].What, expected[i].What);
    EXPECT_EQ(parsed.Actions[i].Text, expected[i].Text);
    EXPECT_EQ(parsed.Actions[i].Path, expected[i].Path);
    EXPECT_EQ(parsed.Actions[i].Number, expected[i].Number);
  }
}

TEST(RunScript, BadScriptRunsNothingAndReportsItsLine) {
  std::vector<std::string> emitted;
  std::string error;
  const int status = viewer_script::RunScript("about\nopen-cancel\njump\n", *FindProgram("vespira"),
                                              [&](const std::string& line) { emitted.push_back(line); }, &error);
  EXPECT_EQ(status, 2);
  EXPECT_TRUE(emitted.empty());
  EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
}

// A dragged or released thumb takes any integer, clamped to Min..Max before the control sees it,
// so positions beyond 32 bits do not wrap around.
TEST(Session, DragAndReleaseClampToTheScrollBarRange) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = 5'292'124});
  Viewer viewer("calvora");
  viewer.Do("open " + path);
  const auto atEnd = viewer.Do("release 4294967296");  // 2^32: would wrap to 0
  EXPECT_EQ(atEnd.Thumb, 100);
  EXPECT_EQ(atEnd.State.SavedScrollPosition, 100);
  const auto atStart = viewer.Do("release -4294967246");  // would wrap to 50
  EXPECT_EQ(atStart.Thumb, 0);
  EXPECT_EQ(atStart.State.SavedScrollPosition, 0);
  EXPECT_EQ(viewer.Do("drag 99999999999").Thumb, 0);  // a drag draws nothing; the thumb is held
}

// The frame's 576 points are long and checked elsewhere: "[...]" stands for them here.
std::string ElideFrames(std::string json) {
  const std::string key = "\"points\":[";
  for (std::size_t at = json.find(key); at != std::string::npos; at = json.find(key, at + 1)) {
    const std::size_t from = at + key.size();
    const std::size_t to = json.find("]]", from);
    if (to == std::string::npos) break;
    std::size_t points = 1;
    for (std::size_t k = json.find("],[", from); k < to; k = json.find("],[", k + 1)) ++points;
    if (points == 576) json.replace(from, to + 1 - from, "...");
  }
  return json;
}

TEST(RunScript, GoldenTraceOfOpenAboutCloseAndExit) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = 5'292'124, .Title = "Gold\xE9n\x01\""});
  const std::string missing = dir.File("missing.qtr");
  const std::string script = "open-cancel\nopen " + path + "\nabout\nclose\nopen " + missing + "\nexit\nabout\n";
  std::vector<std::string> lines;
  ASSERT_EQ(viewer_script::RunScript(script, *FindProgram("calvora"),
                                     [&](const std::string& line) { lines.push_back(ElideFrames(line)); }, nullptr),
            0);

  const std::string border =
      R"({"op":"polyline","color":"#000000","points":[[2,10],[2,212],[-2,212],[2,212],[2,414],[577,414],[577,212],[581,212],[577,212],[577,10],[2,10]]})";
  const std::string fill = R"({"op":"fill","color":"#ffffff"})";
  const std::string frame = R"({"op":"polyline","color":"#000000","points":[...]})";
  const std::string zeroLabels = R"("labels":{"Label2":"0","Label4":"0","Label6":"0","MinLabel":"0","SecLabel":"0"})";
  const std::string sizes =
      R"("FileSize":5292124,"CurrentOffset":5292124,"FrameStart":0,"DataEnd":5292092,"DataStart":92,"FrameSpan":176256,"ColumnStep":306,"SavedScrollPosition":0,"ScrollPending":false)";
  const std::string title = R"(["Gold)"
                            "\xC3\xA9"
                            R"(n\u0001\""])";
  const std::string opened = R"(,"rich":)" + title + R"(,"status":")" + path + R"(","thumb":0,"labels":{"Label2":"0","Label4":"0","Label6":"0","MinLabel":"1","SecLabel":"0"},"checked":2,"state":{"open":true,"pos":176132,)" +
                             sizes + R"(,"FileName":")" + path + R"("}})";
  const std::string failed = R"(,"rich":["Cannot open file."],"status":")" + missing + R"(","thumb":0,)" + zeroLabels +
                             R"(,"checked":2,"state":{"open":false,"pos":null,)" + sizes + R"(,"FileName":")" + missing +
                             R"("}})";
  const std::vector<std::string> expected = {
      R"({"action":"open-cancel","canvas":[],"rich":[],"status":"","thumb":0,)" + zeroLabels +
          R"(,"checked":2,"state":{"open":false,"pos":null,"FileSize":0,"CurrentOffset":0,"FrameStart":0,"DataEnd":0,"DataStart":0,"FrameSpan":0,"ColumnStep":306,"SavedScrollPosition":0,"ScrollPending":false,"FileName":"*.qtr"}})",
      R"({"action":"open )" + path + R"(","canvas":[)" + border + "," + fill + "," + fill + "," + border + "," + frame + "]" + opened,
      R"({"action":"about","canvas":[])" + opened,
      R"({"action":"close","canvas":[)" + fill + "," + border + R"(],"rich":)" + title + R"(,"status":")" + path +
          R"(","thumb":0,)" + zeroLabels + R"(,"checked":2,"state":{"open":false,"pos":null,)" + sizes +
          R"(,"FileName":")" + path + R"("}})",
      R"({"action":"open )" + missing + R"(","canvas":[)" + border + "]" + failed,
      R"({"action":"exit","canvas":[])" + failed,
  };
  ASSERT_EQ(lines.size(), expected.size());  // nothing after exit
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

// --- The tool as a process ------------------------------------------------------------------

struct ProcessResult {
  int Status = -1;
  std::string Out, Err;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

ProcessResult RunTool(const TempFolder& dir, const std::string& arguments) {
  const std::string out = dir.File("out.txt");
  const std::string err = dir.File("err.txt");
  const std::string command = std::string("'") + VIEWER_SCRIPT_BIN + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  ProcessResult result;
  result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.Out = ReadAll(out);
  result.Err = ReadAll(err);
  return result;
}

TEST(ViewerScriptTool, ExitStatusAndMessages) {
  TempFolder dir;
  const std::string bad = dir.File("bad.txt");
  std::ofstream(bad) << "about\n\nscroll 5\n";
  const std::string good = dir.File("good.txt");
  std::ofstream(good) << "# one action\nabout\n";

  const ProcessResult badRun = RunTool(dir, "calvora '" + bad + "'");
  EXPECT_EQ(badRun.Status, 2);
  EXPECT_EQ(badRun.Out, "");
  EXPECT_EQ(badRun.Err.rfind("viewer-script: line 3: ", 0), 0u) << badRun.Err;
  EXPECT_EQ(std::count(badRun.Err.begin(), badRun.Err.end(), '\n'), 1);

  const ProcessResult fromStdin = RunTool(dir, "vespira - <'" + good + "'");
  EXPECT_EQ(fromStdin.Status, 0);
  EXPECT_EQ(fromStdin.Out.rfind(R"({"action":"about","canvas":[],)", 0), 0u) << fromStdin.Out;
  EXPECT_EQ(std::count(fromStdin.Out.begin(), fromStdin.Out.end(), '\n'), 1);
  EXPECT_EQ(fromStdin.Err, "");

  // A script that cannot be read is an error, not an empty run.
  for (const std::string& arguments : {"calvora '" + dir.Path().string() + "'", "calvora '" + dir.File("none.txt") + "'",
                                       std::string("nosuchprogram")}) {
    SCOPED_TRACE(arguments);
    const ProcessResult run = RunTool(dir, arguments);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("viewer-script: ", 0), 0u) << run.Err;
  }
}

}  // namespace
