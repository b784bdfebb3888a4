// Calvora's Save As: a byte-for-byte copy that becomes the open recording, the ".qtr" name
// rule, and the cases where nothing may be written or nothing may be lost: no recording open,
// the open recording's own file as the target, and a copy that fails half way.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "SaveCopy.h"
#include "TestRecordings.h"
#include "navigation_scenarios.h"

using namespace testing_support;
using namespace nav_test;
namespace fs = std::filesystem;

namespace {

constexpr char CannotSave[] = "Cannot save file.";

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> Text(const std::string& text) { return {text.begin(), text.end()}; }

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// After Save As has (re)opened a recording: its first frame drawn from DataStart, the after-draw
// action having put the stream back there.
void ExpectFirstFrameFromDataStart(const viewer_script::Snapshot& snap, const std::vector<unsigned char>& bytes) {
  ASSERT_EQ(FramesDrawn(snap).size(), 1u);
  EXPECT_TRUE(FrameStartsAt(FramesDrawn(snap)[0], ImageOf(bytes), 92, 8802, snap.State.ColumnStep));
  EXPECT_TRUE(snap.Open);
  EXPECT_EQ(snap.Pos, 92);
}

}  // namespace

TEST(SaveAs, CopiesTheRecordingByteForByteAndLeavesTheViewWhereItWas) {
  TempFolder dir;
  for (const int64_t size : {int64_t{92 + 512 * 400}, int64_t{92 + 512 * 400 + 300}}) {
    SCOPED_TRACE(size);
    const std::string source = WriteRecording(dir.File("source.qtr"), {.FileSize = size});
    const std::vector<unsigned char> bytes = ReadAll(source);
    const std::string copy = dir.File("copy" + std::to_string(size) + ".qtr");

    Viewer viewer("calvora");
    viewer.Do("open " + source);
    const auto before = viewer.Do("scroll 1");
    const auto after = viewer.Do("saveas " + copy);

    EXPECT_EQ(ReadAll(copy), bytes);
    EXPECT_EQ(ReadAll(source), bytes);
    struct stat st {};
    ASSERT_EQ(::stat(copy.c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    EXPECT_EQ(after.Status, copy);
    EXPECT_EQ(after.State.FileName, copy);
    ExpectFirstFrameFromDataStart(after, bytes);
    // Nothing else follows the new first frame.
    EXPECT_EQ(after.Thumb, before.Thumb);
    EXPECT_EQ(after.Labels, before.Labels);
    EXPECT_EQ(after.Rich, before.Rich);
    EXPECT_EQ(after.State.SavedScrollPosition, before.State.SavedScrollPosition);
    EXPECT_EQ(after.State.ScrollPending, before.State.ScrollPending);
    EXPECT_EQ(after.State.CurrentOffset, before.State.CurrentOffset);

    // The stream stands at DataStart: the next time per frame choice redraws from there.
    const auto time = viewer.Do("time 3");
    ASSERT_EQ(FramesDrawn(time).size(), 1u);
    EXPECT_TRUE(FrameStartsAt(FramesDrawn(time)[0], ImageOf(bytes), 92, 8802, 20));
    EXPECT_EQ(time.Thumb, 0);  // from 92
  }
}

TEST(SaveAs, NameRule) {
  TempFolder dir;
  const std::string source = WriteRecording(dir.File("source.qtr"), {.FileSize = 200'000});
  const std::vector<unsigned char> bytes = ReadAll(source);
  const std::string longFolder(200, 'd');
  fs::create_directory(dir.Path() / longFolder);
  const std::string longName = longFolder + "/" + std::string(200, 'n');

  struct Row {
    std::string Chosen, Saved;
  };
  const Row rows[] = {
      {"take1", "take1.qtr"}, {"take1.qtr", "take1.qtr"}, {"take1.QTR", "take1.QTR.qtr"},
      {"a.q", "a.q.qtr"},     {"qtr", "qtr.qtr"},         {longName, longName + ".qtr"},  // a path of 400 and more
  };
  Viewer viewer("calvora");
  viewer.Do("open " + source);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Chosen.substr(0, 20));
    const auto snap = viewer.Do("saveas " + dir.File(r.Chosen));
    EXPECT_EQ(ReadAll(dir.File(r.Saved)), bytes);
    EXPECT_EQ(snap.Status, dir.File(r.Saved));
    EXPECT_EQ(snap.State.FileName, dir.File(r.Saved));
    EXPECT_TRUE(snap.Open);
  }
  // Nothing else was written: no name without its ".qtr", no temporary file.
  EXPECT_EQ(NamesIn(dir.Path()),
            (std::set<std::string>{"source.qtr", "take1.qtr", "take1.QTR.qtr", "a.q.qtr", "qtr.qtr", longFolder}));
  EXPECT_EQ(NamesIn(dir.Path() / longFolder), std::set<std::string>{std::string(200, 'n') + ".qtr"});
}

// With no recording open the chosen file is neither created nor emptied; FileName is then
// opened again as it stands.
TEST(SaveAs, WithNoRecordingOpenWritesNothing) {
  TempFolder dir;
  const std::string source = WriteRecording(dir.File("source.qtr"), {.FileSize = 200'000});
  const std::string rejected = WriteRecording(dir.File("bad.qtr"), {.FileSize = 200'000, .Signature = "Xuentral(tm("});
  const std::string existing = dir.File("existing.qtr");
  const std::string fresh = dir.File("fresh.qtr");

  struct Row {
    const char* Name;
    std::vector<std::string> Before;
    std::string Reopened;  // the file drawn afterwards; empty: none
  };
  const Row rows[] = {
      {"before any Open", {}, ""},
      {"after Close", {"open " + source, "close"}, source},
      {"after a rejected Open", {"open " + rejected}, rejected},
  };
  for (const Row& r : rows) {
    for (const std::string& target : {fresh, existing}) {
      SCOPED_TRACE(std::string(r.Name) + ", " + target);
      std::ofstream(existing, std::ios::binary | std::ios::trunc) << "keep me";
      Viewer viewer("calvora");
      const auto before = r.Before.empty() ? viewer_script::Snapshot{} : viewer.Run(r.Before);
      const auto snap = viewer.Do("saveas " + target);

      EXPECT_FALSE(fs::exists(fresh));
      EXPECT_EQ(ReadAll(existing), Text("keep me"));
      EXPECT_EQ(snap.Status, before.Status);
      EXPECT_EQ(snap.State.FileName, r.Before.empty() ? "*.qtr" : r.Reopened);
      if (r.Reopened.empty()) {
        EXPECT_FALSE(snap.Open);
        ASSERT_EQ(snap.Canvas.size(), 2u);  // the paint box cleared and the border drawn
        EXPECT_EQ(snap.Canvas[1].Points.size(), 11u);
      } else {
        ExpectFirstFrameFromDataStart(snap, ReadAll(r.Reopened));
      }
    }
  }
}

// The open recording's own file by another name is still its own file: nothing is written,
// and the command goes on as after a copy.
TEST(SaveAs, OntoTheOpenRecordingsOwnFileKeepsItIntact) {
  TempFolder dir;
  const std::string source = WriteRecording(dir.File("source.qtr"), {.FileSize = 200'000});
  const std::vector<unsigned char> bytes = ReadAll(source);
  ASSERT_EQ(::link(source.c_str(), dir.File("hard.qtr").c_str()), 0);
  ASSERT_EQ(::symlink(source.c_str(), dir.File("soft.qtr").c_str()), 0);
  fs::create_directory(dir.Path() / "sub");

  for (const std::string& target : {source, dir.File("source"), dir.File("sub/../source.qtr"), dir.File("hard.qtr"),
                                    dir.File("soft.qtr")}) {
    SCOPED_TRACE(target);
    Viewer viewer("calvora");
    const auto before = viewer.Run({"open " + source, "scroll 1"});
    const auto snap = viewer.Do("saveas " + target);
    const std::string chosen = target.ends_with(".qtr") ? target : target + ".qtr";

    // Not even replaced by an equal copy: the hard link still joins both names.
    struct stat st {};
    ASSERT_EQ(::stat(source.c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);
    EXPECT_EQ(ReadAll(source), bytes);
    EXPECT_EQ(snap.Status, chosen);
    EXPECT_EQ(snap.State.FileName, chosen);
    EXPECT_EQ(snap.Rich, before.Rich);
    ExpectFirstFrameFromDataStart(snap, bytes);
  }
  EXPECT_EQ(NamesIn(dir.Path()), (std::set<std::string>{"source.qtr", "hard.qtr", "soft.qtr", "sub"}));
}

// A copy that cannot be completed leaves an existing target as it was and no temporary file;
// the view goes back to the first frame of the recording that was open, under its old name.
TEST(SaveAs, FailedCopyLosesNothing) {
  TempFolder dir;
  const std::string source = WriteRecording(dir.File("source.qtr"), {.FileSize = 300'000});
  const std::vector<unsigned char> bytes = ReadAll(source);
  const std::string target = dir.File("target.qtr");
  fs::create_directory(dir.Path() / "folder.qtr");

  // What the window must show after the failure; in a child process, the number of the first
  // check that failed.
  auto checkFailedSave = [&](const viewer_script::Snapshot& snap) -> int {
    if (snap.Rich.empty() || snap.Rich[0] != CannotSave) return 1;
    if (snap.Rich.size() != 2 || snap.Rich[1] != "Test recording") return 2;
    if (snap.Status != source || snap.State.FileName != source) return 3;
    const auto frames = FramesDrawn(snap);
    if (frames.size() != 1 || !FrameStartsAt(frames[0], ImageOf(bytes), 92, 8802, 306)) return 4;
    if (!snap.Open || snap.Pos != 92) return 5;
    return 0;
  };

  {
    SCOPED_TRACE("the file size limit is reached half way through the copy");
    std::ofstream(target, std::ios::binary) << "old content";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // The default action would end the program; the application's start-up must turn the
      // signal into a failed write.
      std::signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{64 * 1024, 64 * 1024};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
      Viewer viewer("calvora");
      viewer.Do("open " + source);
      ::_exit(checkFailedSave(viewer.Do("saveas " + target)));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the first check that failed in the child";
    EXPECT_EQ(ReadAll(target), Text("old content"));
  }
  for (const std::string& bad : {dir.File("missing/take.qtr"), dir.File("folder.qtr")}) {
    SCOPED_TRACE(bad);
    Viewer viewer("calvora");
    viewer.Do("open " + source);
    EXPECT_EQ(checkFailedSave(viewer.Do("saveas " + bad)), 0);
  }
  EXPECT_EQ(ReadAll(source), bytes);
  EXPECT_EQ(NamesIn(dir.Path()), (std::set<std::string>{"source.qtr", "target.qtr", "folder.qtr"}));
  EXPECT_TRUE(fs::is_empty(dir.Path() / "folder.qtr"));
}

// A read error on the recording ends the copy as a failure: a stream that cannot be read
// (opened for appending) stands in for a failing disk.
TEST(SaveAs, ReadErrorEndsTheCopyAsAFailure) {
  TempFolder dir;
  const std::string source = WriteRecording(dir.File("source.qtr"), {.FileSize = 200'000});
  const std::string target = dir.File("target.qtr");
  std::ofstream(target, std::ios::binary) << "old content";
  std::FILE* unreadable = std::fopen(source.c_str(), "ab");
  ASSERT_NE(unreadable, nullptr);
  EXPECT_EQ(recording::CopyRecording(unreadable, target), recording::CopyResult::Failed);
  std::fclose(unreadable);
  EXPECT_EQ(ReadAll(target), Text("old content"));
  EXPECT_EQ(NamesIn(dir.Path()), (std::set<std::string>{"source.qtr", "target.qtr"}));
}

// An empty file rejected by Open is opened again by Save As (nothing to copy, FileName reopened):
// FileSize 0, DataEnd -32, DataStart 0. Navigation on it must stay inside the file and the thumb
// arithmetic must not divide by zero.
TEST(SaveAs, ReopenedEmptyFileNavigatesSafely) {
  TempFolder dir;
  const std::string empty = dir.File("empty.qtr");
  std::ofstream(empty, std::ios::binary).close();
  Viewer viewer("calvora");
  viewer.Do("open " + empty);
  auto snap = viewer.Do("saveas " + dir.File("copy.qtr"));
  EXPECT_FALSE(fs::exists(dir.File("copy.qtr")));
  EXPECT_TRUE(snap.Open);
  EXPECT_EQ(snap.Canvas.size(), 2u);  // cleared, border; no frame from an empty file
  EXPECT_EQ(snap.Pos, 0);

  const std::vector<Point> flat = [] {
    std::vector<Point> points;
    for (int32_t c = 0; c < 576; ++c) points.push_back({2 + c, 412});
    return points;
  }();
  struct Row {
    const char* Action;
    int32_t Thumb;
    int64_t Pos;
    bool FlatFrame;  // a frame of zeros (one pass at "0.013 Second" makes 4,401 columns)
    Labels TimeIndex;
  };
  const Row rows[] = {
      {"scroll 1", 0, 0, false, {"0", "0", "-2002"}},
      {"scroll 0", 0, 0, false, {"0", "0", "-2002"}},
      {"scroll 3", 0, 0, false, {"0", "0", "-2002"}},
      {"scroll 2", 0, 0, false, {"0", "0", "-2002"}},
      {"release 50", 50, 0, false, {"0", "0", "-2002"}},
      {"time 4", 0, 0, true, {"0", "0", "-13"}},
      {"scroll 1", 0, 0, true, {"0", "0", "-13"}},
      {"release 100", 100, 1152, true, {"0", "0", "0"}},  // parked one FrameSpan on, past the end
      {"scroll 0", 0, 1152, true, {"0", "0", "0"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Action);
    snap = viewer.Do(r.Action);
    EXPECT_EQ(snap.Thumb, r.Thumb);
    EXPECT_EQ(snap.Pos, r.Pos);
    EXPECT_EQ(FramesDrawn(snap), r.FlatFrame ? std::vector<std::vector<Point>>{flat} : std::vector<std::vector<Point>>{});
    EXPECT_EQ(TimeIndexOf(snap), r.TimeIndex);
  }
}
