// File > Open, Close, Exit and Help > About in both programs, seen through the headless trace:
// the canvas operations of the action, the text area, the status bar, the labels, the thumb and
// ViewerState.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "AboutVespira1.h"
#include "Application.h"
#include "CalvoraAbout1.h"
#include "TestRecordings.h"
#include "VespiraUnit1.h"

namespace {

using platform::CanvasOp;
using recording::Point;
using testing_support::ExpectedY;
using testing_support::FramePolyline;
using testing_support::RecordingBytes;
using testing_support::RecordingSpec;
using testing_support::TempFolder;
using testing_support::Viewer;
using testing_support::WriteRecording;
using viewer_script::Snapshot;

constexpr char NotValid[] = "Not a valid Quentral(tm) file.";
constexpr char CannotOpen[] = "Cannot open file.";
const std::vector<Point> Border = {{2, 10},  {2, 212},  {-2, 212}, {2, 212}, {2, 414}, {577, 414},
                                   {577, 212}, {581, 212}, {577, 212}, {577, 10}, {2, 10}};

// The canvas operations of an action in short: "fill", "border", "frame" (576 points).
std::string OpsOf(const Snapshot& snap) {
  std::string out;
  for (const CanvasOp& op : snap.Canvas) {
    if (!out.empty()) out += ' ';
    if (op.Op == CanvasOp::Kind::Fill) out += "fill";
    else if (op.Points == Border) out += "border";
    else if (op.Points.size() == 576) out += "frame";
    else out += "polyline";
  }
  return out;
}

// Calvora's five value labels as "Label2 Label4 Label6 MinLabel SecLabel" captions.
std::string LabelsOf(const Snapshot& snap) {
  std::string out;
  for (const auto& [name, caption] : snap.Labels) out += (out.empty() ? "" : " ") + caption;
  return out;
}

// What the window shows apart from the action's canvas operations.
std::string Shown(Snapshot snap) {
  snap.Action.clear();
  snap.Canvas.clear();
  return viewer_script::ToJson(snap);
}

// The first frame's columns plot the sample words at 92 + ReadChunk * k + ColumnStep * j.
void ExpectFirstFrame(const Snapshot& snap, const std::vector<unsigned char>& bytes, int32_t readChunk, int32_t columnStep) {
  const std::vector<Point> frame = FramePolyline(snap);
  ASSERT_EQ(frame.size(), 576u);
  const int32_t perChunk = (readChunk + columnStep - 1) / columnStep;
  for (int32_t j = 0; j < 576; ++j) {
    const int64_t offset = 92 + int64_t{j / perChunk} * readChunk + int64_t{j % perChunk} * columnStep;
    ASSERT_EQ(frame[static_cast<std::size_t>(j)], (Point{2 + j, ExpectedY(bytes, offset)})) << "column " << j;
  }
}

// A file of `size` bytes whose first bytes are a valid header; the rest is a hole.
std::string WriteSparseRecording(const std::string& path, int64_t size) {
  const std::vector<unsigned char> header = RecordingBytes({.FileSize = 92});
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
  if (fd < 0 || ::write(fd, header.data(), header.size()) != 92 || ::ftruncate(fd, size) != 0)
    ADD_FAILURE() << "cannot make " << path;
  if (fd >= 0) ::close(fd);
  return path;
}

struct Program {
  const char* Name;
  int32_t ReadChunk, ColumnStep;
  std::vector<std::string> RichOf(const std::string& title) const {
    if (std::string(Name) == "vespira") return {vespira::FrameTimeLine, title};
    return {title};
  }
};
const Program Programs[] = {{"calvora", 8802, 306}, {"vespira", 8820, 614}};

constexpr int64_t OneMinute = 5'292'124;  // DataEnd - 92 is exactly 60 seconds

TEST(CalvoraOpen, AcceptedRecordingShowsTitleLengthAndFirstFrame) {
  TempFolder dir;
  const RecordingSpec spec{.FileSize = OneMinute, .Title = "Caf\xE9 take 1"};
  const std::string path = WriteRecording(dir.File("a.qtr"), spec);
  Viewer viewer("calvora");
  const Snapshot snap = viewer.Do("open " + path);

  EXPECT_EQ(OpsOf(snap), "border fill fill border frame");
  for (const CanvasOp& op : snap.Canvas) {
    if (op.Op == CanvasOp::Kind::Fill) {
      EXPECT_EQ(op.Color, platform::clWhite);
      EXPECT_EQ(op.Rect, (platform::Rect{0, 0, 629, 626}));  // the form's client rectangle
    } else {
      EXPECT_EQ(op.Color, platform::clBlack);
    }
  }
  ExpectFirstFrame(snap, RecordingBytes(spec), 8802, 306);
  EXPECT_EQ(snap.Rich, std::vector<std::string>{"Caf\xE9 take 1"});
  EXPECT_EQ(snap.Status, path);
  EXPECT_EQ(snap.Thumb, 0);
  EXPECT_EQ(LabelsOf(snap), "0 0 0 1 0");
  EXPECT_EQ(snap.Checked, 2);
  EXPECT_TRUE(snap.Open);
  EXPECT_EQ(snap.Pos, 92 + 176'040);
  const recording::ViewerState& s = snap.State;
  EXPECT_EQ(s.FileSize, OneMinute);
  EXPECT_EQ(s.CurrentOffset, OneMinute);
  EXPECT_EQ(s.FrameStart, 0);
  EXPECT_EQ(s.DataEnd, OneMinute - 32);
  EXPECT_EQ(s.DataStart, 92);
  EXPECT_EQ(s.FrameSpan, 176'256);
  EXPECT_EQ(s.SavedScrollPosition, 0);
  EXPECT_FALSE(s.ScrollPending);
  EXPECT_EQ(s.FileName, path);
}

TEST(VespiraOpen, SmallestAcceptedRecordingShowsFrameTimeTitleAndFirstFrame) {
  TempFolder dir;
  const RecordingSpec spec{.FileSize = 353'174, .Title = "Vespira take"};
  const std::string path = WriteRecording(dir.File("v.qtr"), spec);
  Viewer viewer("vespira");
  const Snapshot snap = viewer.Do("open " + path);

  EXPECT_EQ(OpsOf(snap), "border fill fill border frame");
  for (const CanvasOp& op : snap.Canvas) {
    if (op.Op == CanvasOp::Kind::Fill) {
      EXPECT_EQ(op.Color, platform::clBtnFace);  // the paint box takes the form's colour
      EXPECT_EQ(op.Rect, (platform::Rect{0, 0, 624, 556}));
    } else {
      EXPECT_EQ(op.Color, platform::clBlack);
    }
  }
  // Offsets 92 + 8820k + 614j, k = 0..38, j = 0..14, up to the 576th (k 38, j 5).
  ExpectFirstFrame(snap, RecordingBytes(spec), 8820, 614);
  EXPECT_EQ(snap.Rich, (std::vector<std::string>{"4 Seconds per frame", "Vespira take"}));
  EXPECT_EQ(snap.Status, path);
  EXPECT_TRUE(snap.Labels.empty());
  EXPECT_FALSE(snap.Checked.has_value());
  EXPECT_EQ(snap.Pos, 344'072);
  EXPECT_EQ(snap.State.FileSize, 353'174);
  EXPECT_EQ(snap.State.CurrentOffset, 353'174);
  EXPECT_EQ(snap.State.DataEnd, 353'142);
  EXPECT_EQ(snap.State.FrameSpan, 353'664);
  EXPECT_EQ(snap.State.ColumnStep, 614);

  // An empty title is an empty second line.
  const Snapshot untitled = viewer.Do("open " + WriteRecording(dir.File("u.qtr"), {.FileSize = 400'000, .Title = ""}));
  EXPECT_EQ(untitled.Rich, (std::vector<std::string>{"4 Seconds per frame", ""}));
}

// The size rule at each time per frame, at the smallest accepted file and one byte below, and
// Calvora's first frame only when the data before the tail is longer than one chunk.
TEST(Open, AcceptanceEdgeAndFirstFramePerTimePerFrame) {
  const struct {
    const char* Program;
    const char* Time;  // a time per frame chosen before the open, or ""
    int64_t FileSize;
    bool Accepted;
    int64_t Pos;  // the stream after Open; -1 when no frame is drawn
  } cases[] = {
      {"calvora", "time 4", 1'273, false, -1},
      {"calvora", "time 4", 1'274, true, -1},      // DataEnd 1,242: accepted, no frame
      {"calvora", "time 4", 8'926, true, -1},      // DataEnd 8,894
      {"calvora", "time 4", 8'927, true, 8'894},   // one chunk read
      {"calvora", "time 3", 11'623, false, -1},
      {"calvora", "time 3", 11'624, true, 11'624},  // the second chunk is short
      {"calvora", "", 176'073, false, -1},
      {"calvora", "", 176'074, true, 176'074},
      {"calvora", "time 1", 5'282'073, false, -1},
      {"calvora", "time 1", 5'282'074, true, 92 + 5'069'952},
      {"vespira", "", 353'173, false, -1},
      {"vespira", "", 353'174, true, 344'072},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Program << " " << c.Time << " " << c.FileSize);
    const std::string path = WriteRecording(dir.File("edge.qtr"), {.FileSize = c.FileSize, .Title = "Edge"});
    Viewer viewer(c.Program);
    if (*c.Time != '\0') viewer.Do(c.Time);
    const Snapshot snap = viewer.Do("open " + path);
    ASSERT_FALSE(snap.Rich.empty());
    EXPECT_EQ(snap.Rich.back(), c.Accepted ? "Edge" : NotValid);
    EXPECT_EQ(snap.Open, c.Accepted);
    if (!c.Accepted) continue;
    if (c.Pos < 0) {
      EXPECT_EQ(OpsOf(snap), "border fill");
      EXPECT_EQ(snap.Pos, 92);
    } else {
      EXPECT_EQ(OpsOf(snap), "border fill fill border frame");
      EXPECT_EQ(snap.Pos, c.Pos);
    }
  }
}

// A rejected file closes the stream and leaves the paint box cleared without a border, while
// ViewerState keeps the rejected file's sizes; a recording open before is closed.
TEST(Open, RejectedFileEndsWithNoRecordingOpen) {
  TempFolder dir;
  const std::string good = WriteRecording(dir.File("good.qtr"), {.FileSize = OneMinute});
  const struct {
    const char* What;
    int64_t FileSize;
    const char* Signature;
  } cases[] = {
      {"wrong signature", OneMinute, "Xuentral(tmX"},  // long enough for a 1 minute estimate
      {"shorter than the header", 50, "Quentral(tm)"},
      {"empty", 0, "Quentral(tm)"},
      {"1 byte", 1, "Quentral(tm)"},
      {"31 bytes: no tail", 31, "Quentral(tm)"},
      {"32 bytes: a tail and nothing else", 32, "Quentral(tm)"},
      {"91 bytes: one short of a header", 91, "Quentral(tm)"},
      {"92 bytes: a header only", 92, "Quentral(tm)"},
  };
  for (const Program& program : Programs) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << program.Name << ": " << c.What);
      const std::string path = WriteRecording(dir.File("bad.qtr"), {.FileSize = c.FileSize, .Signature = c.Signature});
      Viewer viewer(program.Name);
      viewer.Do("open " + good);
      const Snapshot before = viewer.Do("scroll 1");
      ASSERT_NE(before.Thumb, 0);

      const Snapshot snap = viewer.Do("open " + path);
      EXPECT_EQ(OpsOf(snap), "border fill");
      EXPECT_EQ(snap.Rich, std::vector<std::string>{NotValid});
      EXPECT_EQ(snap.Status, path);
      EXPECT_EQ(snap.Thumb, 0);
      if (!snap.Labels.empty()) {
        EXPECT_EQ(LabelsOf(snap), "0 0 0 0 0");
      }
      EXPECT_FALSE(snap.Open);
      EXPECT_FALSE(snap.Pos.has_value());
      const recording::ViewerState& s = snap.State;
      EXPECT_EQ(s.FileSize, c.FileSize);
      EXPECT_EQ(s.CurrentOffset, c.FileSize);
      EXPECT_EQ(s.DataEnd, c.FileSize - 32);
      EXPECT_EQ(s.DataStart, std::min<int64_t>(c.FileSize, 92));
      EXPECT_EQ(s.FrameSpan, program.ColumnStep * 576);
      EXPECT_EQ(s.FrameStart, before.State.FrameStart);  // Open leaves it
      EXPECT_EQ(s.SavedScrollPosition, 0);
      EXPECT_EQ(s.FileName, path);
      // Nothing is open, so the scroll bar draws nothing.
      EXPECT_EQ(OpsOf(viewer.Do("scroll 1")), "");
    }
  }
}

// A path that cannot be opened as a recording: the previous picture stays with the border drawn
// over it, and no path blocks the program.
TEST(Open, CannotOpenKeepsThePictureAndClosesTheRecording) {
  TempFolder dir;
  const std::string good = WriteRecording(dir.File("good.qtr"), {.FileSize = OneMinute});
  const std::string fifo = dir.File("fifo.qtr");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string huge = WriteSparseRecording(dir.File("huge.qtr"), int64_t{2'147'483'647} + 1);
  const std::string paths[] = {dir.File("missing.qtr"), dir.Path().string(), fifo, "/dev/null", "/dev/zero", huge};

  // A FIFO without a writer must not block the program: should an open ever wait, the alarm
  // ends the run as a failure instead of leaving it stuck.
  struct HangGuard {
    HangGuard() { ::alarm(120); }
    ~HangGuard() { ::alarm(0); }
  } guard;
  for (const Program& program : Programs) {
    for (const std::string& path : paths) {
      SCOPED_TRACE(testing::Message() << program.Name << ": " << path);
      Viewer viewer(program.Name);
      viewer.Do("open " + good);
      const Snapshot before = viewer.Do("scroll 1");
      ASSERT_NE(before.Thumb, 0);

      const Snapshot snap = viewer.Do("open " + path);
      EXPECT_EQ(OpsOf(snap), "border");
      EXPECT_EQ(snap.Rich, std::vector<std::string>{CannotOpen});
      EXPECT_EQ(snap.Status, path);
      EXPECT_EQ(snap.Thumb, 0);
      if (!snap.Labels.empty()) {
        EXPECT_EQ(LabelsOf(snap), "0 0 0 0 0");
      }
      EXPECT_FALSE(snap.Open);
      EXPECT_EQ(snap.State.FileName, path);
      EXPECT_EQ(snap.State.SavedScrollPosition, 0);
      EXPECT_EQ(snap.State.FileSize, before.State.FileSize);
      EXPECT_EQ(snap.State.CurrentOffset, before.State.CurrentOffset);
      EXPECT_EQ(snap.State.FrameStart, before.State.FrameStart);
    }
  }
}

TEST(CalvoraOpen, LargestAddressableFileAndNamesOfAnyLength) {
  TempFolder dir;
  {
    SCOPED_TRACE("2,147,483,647 bytes");
    const std::string path = WriteSparseRecording(dir.File("largest.qtr"), 2'147'483'647);
    Viewer viewer("calvora");
    const Snapshot snap = viewer.Do("open " + path);
    EXPECT_TRUE(snap.Open);
    EXPECT_EQ(snap.State.FileSize, 2'147'483'647);
    EXPECT_EQ(snap.State.DataEnd, 2'147'483'615);
    EXPECT_EQ(LabelsOf(snap), "0 0 0 405 47");
    const std::vector<Point> frame = FramePolyline(snap);
    ASSERT_EQ(frame.size(), 576u);
    for (const Point& p : frame) ASSERT_EQ(p.y, 412);  // the hole reads as zeros
  }
  {
    SCOPED_TRACE("a name of more than 255 characters");
    const std::filesystem::path folder = dir.Path() / std::string(200, 'd');
    std::filesystem::create_directory(folder);
    const std::string path = WriteRecording((folder / (std::string(200, 'n') + ".qtr")).string(), {.FileSize = OneMinute});
    Viewer viewer("calvora");
    const Snapshot snap = viewer.Do("open " + path);
    EXPECT_TRUE(snap.Open);
    EXPECT_EQ(snap.State.FileName, path);
    EXPECT_EQ(snap.Status, path);
  }
}

TEST(Open, CancelChangesNothing) {
  TempFolder dir;
  const std::string good = WriteRecording(dir.File("good.qtr"), {.FileSize = OneMinute, .Title = "Kept"});
  for (const Program& program : Programs) {
    SCOPED_TRACE(program.Name);
    Viewer viewer(program.Name);
    // Straight after start-up: the constructor's state.
    const Snapshot fresh = viewer.Do("open-cancel");
    EXPECT_EQ(OpsOf(fresh), "");
    EXPECT_TRUE(fresh.Rich.empty());  // the design text is gone
    EXPECT_EQ(fresh.Status, "");
    EXPECT_FALSE(fresh.Open);
    EXPECT_EQ(fresh.State.FileName, "*.qtr");
    EXPECT_EQ(fresh.State.FrameSpan, 0);
    EXPECT_EQ(fresh.State.ColumnStep, program.ColumnStep);
    if (!fresh.Labels.empty()) {
      EXPECT_EQ(LabelsOf(fresh), "0 0 0 0 0");
    }

    viewer.Do("open " + good);
    const Snapshot before = viewer.Do("scroll 1");
    const Snapshot after = viewer.Do("open-cancel");
    EXPECT_EQ(OpsOf(after), "");
    EXPECT_EQ(Shown(after), Shown(before));
    EXPECT_EQ(after.Rich, program.RichOf("Kept"));
  }
}

TEST(Open, SecondOpenReplacesTheFirstFromDataStart) {
  TempFolder dir;
  const std::string first = WriteRecording(dir.File("first.qtr"), {.FileSize = OneMinute, .Title = "First"});
  const RecordingSpec secondSpec{
      .FileSize = 400'000, .Title = "Second", .Byte = [](int64_t offset) { return static_cast<unsigned char>(offset * 13 + 5); }};
  const std::string second = WriteRecording(dir.File("second.qtr"), secondSpec);
  for (const Program& program : Programs) {
    SCOPED_TRACE(program.Name);
    Viewer viewer(program.Name);
    viewer.Do("open " + first);
    ASSERT_NE(viewer.Do("scroll 1").Thumb, 0);

    const Snapshot snap = viewer.Do("open " + second);
    EXPECT_EQ(OpsOf(snap), "border fill fill border frame");
    ExpectFirstFrame(snap, RecordingBytes(secondSpec), program.ReadChunk, program.ColumnStep);
    EXPECT_EQ(snap.Rich, program.RichOf("Second"));
    EXPECT_EQ(snap.Thumb, 0);
    EXPECT_EQ(snap.State.FileSize, 400'000);
    EXPECT_EQ(snap.State.SavedScrollPosition, 0);
    EXPECT_EQ(snap.Status, second);
  }
}

TEST(CalvoraClose, ClosesClearsDrawsTheBorderAndResetsTheLabels) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = OneMinute, .Title = "Closing"});
  Viewer viewer("calvora");
  {
    SCOPED_TRACE("nothing open");
    const Snapshot snap = viewer.Do("close");
    EXPECT_EQ(OpsOf(snap), "fill border");
    EXPECT_EQ(snap.Canvas.front().Color, platform::clWhite);
    EXPECT_EQ(LabelsOf(snap), "0 0 0 0 0");
    EXPECT_FALSE(snap.Open);
  }
  viewer.Do("open " + path);
  const Snapshot before = viewer.Do("scroll 1");
  ASSERT_NE(LabelsOf(before), "0 0 0 0 0");
  const Snapshot snap = viewer.Do("close");
  EXPECT_EQ(OpsOf(snap), "fill border");
  EXPECT_EQ(LabelsOf(snap), "0 0 0 0 0");
  EXPECT_EQ(snap.Rich, std::vector<std::string>{"Closing"});
  EXPECT_EQ(snap.Status, path);
  EXPECT_EQ(snap.Thumb, before.Thumb);
  EXPECT_FALSE(snap.Open);
  EXPECT_FALSE(snap.Pos.has_value());
  // Every ViewerState field keeps its value; FileName stays for Save As.
  Snapshot expected = before;
  expected.Labels = snap.Labels;
  expected.Open = false;
  expected.Pos.reset();
  EXPECT_EQ(Shown(snap), Shown(expected));
  // With nothing open the scroll bar draws nothing.
  EXPECT_EQ(OpsOf(viewer.Do("scroll 1")), "");
}

TEST(About, ShowsTheAboutBoxModallyAndChangesNothing) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = OneMinute});
  for (const Program& program : Programs) {
    SCOPED_TRACE(program.Name);
    Viewer viewer(program.Name);
    const Snapshot before = viewer.Do("open " + path);
    platform::Form* about = std::string(program.Name) == "calvora" ? static_cast<platform::Form*>(calvora::AboutBox)
                                                                   : static_cast<platform::Form*>(vespira::AboutBox);
    ASSERT_NE(about, nullptr);
    ASSERT_EQ(about->ModalResult, platform::mrNone);
    const Snapshot snap = viewer.Do("about");
    EXPECT_EQ(about->ModalResult, platform::mrOk);  // shown, and closed with OK
    EXPECT_EQ(OpsOf(snap), "");
    EXPECT_EQ(Shown(snap), Shown(before));
  }
}

TEST(Exit, TerminatesCalvoraLeavingTheStreamAndVespiraClosingIt) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = OneMinute});
  const struct {
    const char* Program;
    bool OpenFirst;
    bool OpenAfter;
  } cases[] = {
      {"calvora", true, true},  // the stream closes when the program ends
      {"vespira", true, false},
      {"vespira", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Program << (c.OpenFirst ? " with a recording open" : " with nothing open"));
    Viewer viewer(c.Program);
    if (c.OpenFirst) viewer.Do("open " + path);
    ASSERT_FALSE(platform::Application().Terminated());
    const Snapshot snap = viewer.Do("exit");
    EXPECT_TRUE(platform::Application().Terminated());
    EXPECT_EQ(OpsOf(snap), "");
    EXPECT_EQ(snap.Open, c.OpenAfter);
  }
}

}  // namespace
