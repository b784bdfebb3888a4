// Vespira's scroll bar: Calvora's steps and thumb commit with Vespira's own constants
// (ReadChunk 8,820, FrameSpan 353,664, Max 1000), where its faults would hide. Open leaves the
// stream at 92 + 39 x 8,820 = 344,072.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRecordings.h"
#include "navigation_scenarios.h"

using namespace testing_support;
using namespace nav_test;

namespace {

struct Recording {
  explicit Recording(int64_t size) : bytes(RecordingBytes({.FileSize = size})) {
    path = WriteRecording(dir.File("v" + std::to_string(size) + ".qtr"), {.FileSize = size});
  }
  TempFolder dir;
  std::vector<unsigned char> bytes;
  std::string path;
};

void RunOn(const Recording& r, const std::vector<Scenario>& scenarios) {
  RunScenarios("vespira", r.path, ImageOf(r.bytes), scenarios);
}

}  // namespace

// DataEnd 1,999,968: the last frame starts at 1,646,304.
TEST(VespiraNavigation, StepsAndCommits) {
  RunOn(Recording(2'000'000),
      {
          {"the first frame plots 92 + 8,820k + 614j", {"open"}, {{92}, 344'072, 0}},
          {"line forward from 344,072", {"open", "scroll 1"}, {{344'072}, 697'736, 172}},
          {"line back from 697,736 falls to DataStart", {"open", "scroll 1", "scroll 0"}, {{92}, 353'756, 0}},
          {"page forward draws the line-forward frame, parks 3F on", {"open", "scroll 3"}, {{344'072}, 1'405'064, 172}},
          {"line back after page forward draws P + F", {"open", "scroll 3", "scroll 0"}, {{697'736}, 1'051'400, 348}},
          {"forward step bounded by the end: thumb from P", {"open", "scroll 3", "scroll 1"}, {{1'646'304}, 1'646'304, 702}},
          {"the next one redraws it, thumb from DataEnd - FrameSpan",
           {"open", "scroll 3", "scroll 1", "scroll 1"},
           {{1'646'304}, 1'646'304, 823}},
          {"commit at 0", {"open", "scroll 1", "release 0"}, {{92}, 353'756, 0}},
          {"commit at 500", {"open", "release 500"}, {{999'984}, 1'353'648, 500}},
          {"commit at 1000", {"open", "release 1000"}, {{1'646'304}, 1'999'968, 1000}},
          {"release where the thumb stands leaves the commit pending", {"open", "release 0"}, {{}, 344'072, 0, {}, true}},
          {"stale commit: the arrow's frame, then the frame at the thumb's new place",
           {"open", "release 0", "scroll 1"},
           {{344'072, 343'994}, 697'658, 172}},
          {"Home and End draw nothing", {"open", "scroll 1", "scroll 7", "scroll 6"}, {{}, 697'736, 172}},
      });
}

TEST(VespiraNavigation, TwoPageBacksInARow) {
  // The commit at 600 parks the stream at P = 2,753,644, more than 5F past DataStart.
  RunOn(Recording(4'000'000), {
                                {"first page back: P - 4F, parked at P - F", {"open", "release 600", "scroll 2"}, {{1'338'988}, 2'399'980, 334}},
                                {"second: P - 5F", {"open", "release 600", "scroll 2", "scroll 2"}, {{985'324}, 2'046'316, 246}},
                            });
}

TEST(VespiraNavigation, OddSizedRecording) {
  // DataEnd 1,999,969: DataEnd - FrameSpan = 1,646,305.
  RunOn(Recording(2'000'001), {
                                {"commit at 1000 starts on a sample word", {"open", "release 1000"}, {{1'646'304}, 1'999'968, 1000}},
                                {"the forward step at the end does not", {"open", "release 1000", "scroll 1"}, {{1'646'305}, 1'646'305, 999}},
                                {"commit at 500", {"open", "release 500"}, {{999'984}, 1'353'648, 500}},
                            });
}

// DataEnd from 353,664 to 353,755: DataEnd - FrameSpan lies inside the header, so the last frame
// and every commit start there and plot header bytes as sample words.
TEST(VespiraNavigation, LastFrameInsideTheHeader) {
  struct Row {
    int64_t FileSize, LastStart, CommitStart;
  };
  for (const Row& row : {Row{353'696, 0, 0}, Row{353'750, 54, 54}, Row{353'787, 91, 90}}) {
    SCOPED_TRACE(row.FileSize);
    RunOn(Recording(row.FileSize), {
                                     {"forward step", {"open", "scroll 1"}, {{row.LastStart}, row.LastStart, 972}},
                                     {"commit at 1000", {"open", "release 1000"}, {{row.CommitStart}, row.CommitStart + 353'664, 1000}},
                                     {"commit at 0: the end bound wins", {"open", "scroll 1", "release 0"}, {{row.CommitStart}, row.CommitStart + 353'664, 0}},
                                 });
  }
}

// DataEnd from 353,142 to 353,663: DataEnd - FrameSpan is negative, and the frame starts at
// DataStart instead; nothing is read or sought before the start of the file.
TEST(VespiraNavigation, NegativeLastStartDrawsFromDataStart) {
  struct Row {
    int64_t FileSize;
    int32_t ThumbFromOpen;
  };
  for (const Row& row : {Row{353'174, 974}, Row{353'600, 973}}) {
    SCOPED_TRACE(row.FileSize);
    RunOn(Recording(row.FileSize), {
                                     {"forward step", {"open", "scroll 1"}, {{92}, 92, row.ThumbFromOpen}},
                                     {"page forward", {"open", "scroll 3"}, {{92}, 92, row.ThumbFromOpen}},
                                     {"commit at 1000", {"open", "release 1000"}, {{92}, 92 + 353'664, 1000}},
                                     {"line back from past the end", {"open", "release 1000", "scroll 0"}, {{92}, 92 + 353'664, 0}},
                                 });
  }
  // A forward step from past the end of the smallest file computes a thumb of 1001: the thumb
  // stops at Max, SavedScrollPosition keeps what was computed.
  Recording smallest(353'174);
  Viewer viewer("vespira");
  const auto snap = viewer.Run({"open " + smallest.path, "release 1000", "scroll 1"});
  EXPECT_EQ(snap.Thumb, 1000);
  EXPECT_EQ(snap.State.SavedScrollPosition, 1001);
  EXPECT_TRUE(snap.Open);
}

// A page back that reached DataStart parks the stream at 92 + 3F = 1,061,084, past the end of a
// short file; the line back that follows starts at 353,756. Its frame is drawn when the final
// pass brings the column count to 576 (files from 688,916 bytes, the last columns from the stale
// chunk), and not otherwise; the thumb is placed either way.
TEST(VespiraNavigation, LineBackFromPastTheEnd) {
  RunOn(Recording(688'916), {{"drawn with stale bytes", {"open", "scroll 2", "scroll 0"}, {{353'756}, 353'756 + 353'664, 513}}});
  RunOn(Recording(688'915), {{"not drawn; the stream stays at the end", {"open", "scroll 2", "scroll 0"}, {{}, 688'915, 513}}});
}

TEST(VespiraNavigation, ScrollEventsWithNoRecordingOpenChangeNothing) {
  Viewer viewer("vespira");
  for (const char* action : {"scroll 0", "scroll 1", "scroll 2", "scroll 3", "scroll 6", "scroll 7", "drag 500", "release 500"}) {
    SCOPED_TRACE(action);
    const auto snap = viewer.Do(action);
    EXPECT_TRUE(snap.Canvas.empty());
    EXPECT_EQ(snap.Thumb, 0);
    EXPECT_FALSE(snap.State.ScrollPending);
  }
}
