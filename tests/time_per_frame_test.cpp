// Calvora's time per frame buttons: the frame redrawn with the new step from about where the
// current frame started, the thumb placed from the stream position at the moment of the choice,
// and a choice made with no recording open taking effect at the next Open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRecordings.h"
#include "navigation_scenarios.h"

using namespace testing_support;
using namespace nav_test;

// A recording of 1,000,000 bytes. Open at "2 Seconds" leaves the stream at 176,132.
TEST(TimePerFrame, RedrawsFromThePreviousFrameStartWithTheNewStep) {
  TempFolder dir;
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 1'000'000});
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = 1'000'000});
  RunScenarios("calvora", path, ImageOf(bytes),
               {
                   {"0.131 Second right after Open: the start falls before DataStart, drawn from DataStart",
                    {"open", "time 3"},
                    {{92}, 92 + 17'604, 17, Labels{"0", "0", "69"}}},
                   {"stream one FrameSpan past the frame: redrawn from that frame's start, thumb from the stream",
                    {"open", "scroll 1", "time 4"},
                    {{176'132}, 176'132 + 8'802, 35, Labels{"0", "2", "87"}}},
                   {"2 Seconds after Open at 0.013 Second: the frame starts 7,650 bytes into the data; the thumb "
                    "does not move, so the time index keeps its values",
                    {"time 4", "open", "time 2"},
                    {{7'742}, 7'742 + 176'040, 0, Labels{"0", "0", "0"}}},
                   {"the checked button runs nothing", {"open", "time 2"}, {{}, 176'132, 0, Labels{"0", "0", "0"}}},
                   {"a pending commit replaces the frame the choice has just drawn",
                    {"open", "scroll 1", "release 17", "time 3"},
                    {{176'132, 349'988}, 361'508, 35, Labels{"0", "3", "976"}}},
               });
}

TEST(TimePerFrame, FrameStartKeepsTheComputedValueAndTheThumbThePositionAtTheChoice) {
  TempFolder dir;
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 10'000'000});
  const std::string path = WriteRecording(dir.File("ten.qtr"), {.FileSize = 10'000'000});
  Viewer viewer("calvora");
  viewer.Run({"open " + path, "scroll 3"});  // the stream at 176,132 + 3 x 176,256 = 704,900
  const auto snap = viewer.Do("time 1");
  const auto frames = FramesDrawn(snap);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_TRUE(FrameStartsAt(frames[0], ImageOf(bytes), 528'644, 8802, 9186));
  EXPECT_EQ(snap.Pos, 528'644 + 5'069'952);
  EXPECT_EQ(snap.Thumb, 7);  // from 704,900; not from the frame's start (5) or the new position (55)
  EXPECT_EQ(snap.State.SavedScrollPosition, 7);
  EXPECT_EQ(snap.State.CurrentOffset, 704'900);
  EXPECT_EQ(snap.State.FrameSpan, 5'291'136);
  EXPECT_EQ(snap.Checked, 1);
  EXPECT_EQ(TimeIndexOf(snap), (Labels{"0", "3", "492"}));

  // Right after Open the computed start lies before DataStart: the frame is drawn from there,
  // FrameStart keeps the computed value.
  viewer.Do("open " + path);
  EXPECT_EQ(viewer.Do("time 2").State.FrameStart, 92 + 5'069'952 - 5'291'136);
}

// "60 Seconds" on a 3,000,000-byte recording: the file ends before the 576th column.
TEST(TimePerFrame, SixtySecondsThatCannotFillAFrameDrawsNothingButPlacesTheThumb) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("short.qtr"), {.FileSize = 3'000'000});
  Viewer viewer("calvora");
  viewer.Do("open " + path);
  const auto snap = viewer.Do("time 1");
  EXPECT_TRUE(snap.Canvas.empty());  // the previous frame stays on screen
  EXPECT_EQ(snap.Pos, 3'000'000);
  EXPECT_EQ(snap.Thumb, 5);  // from 176,132
  EXPECT_EQ(TimeIndexOf(snap), (Labels{"0", "0", "-26036"}));
  EXPECT_EQ(snap.State.ColumnStep, 9186);
}

TEST(TimePerFrame, WithoutARecordingOnlyTheStepChangesAndTheNextOpenUsesIt) {
  TempFolder dir;
  const std::string thirtySeconds = WriteRecording(dir.File("30s.qtr"), {.FileSize = 2'646'124});
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 6'000'000});
  const std::string sixty = WriteRecording(dir.File("60s.qtr"), {.FileSize = 6'000'000});
  Viewer viewer("calvora");

  auto snap = viewer.Do("time 1");
  EXPECT_TRUE(snap.Canvas.empty());
  EXPECT_EQ(snap.Thumb, 0);
  EXPECT_EQ(snap.Checked, 1);
  EXPECT_EQ(snap.State.ColumnStep, 9186);
  EXPECT_EQ(snap.State.FrameSpan, 5'291'136);

  snap = viewer.Do("open " + thirtySeconds);  // too short for one frame at 9186
  EXPECT_EQ(snap.Rich, std::vector<std::string>{"Not a valid Quentral(tm) file."});

  snap = viewer.Do("open " + sixty);
  ASSERT_EQ(FramesDrawn(snap).size(), 1u);
  EXPECT_TRUE(FrameStartsAt(FramesDrawn(snap)[0], ImageOf(bytes), 92, 8802, 9186));
  EXPECT_EQ(snap.Pos, 92 + 5'069'952);
  // The stream stands 221,184 bytes short of one FrameSpan past the frame: -2513 ms.
  EXPECT_EQ(TimeIndexOf(viewer.Do("drag 10")), (Labels{"0", "0", "-2513"}));

  snap = viewer.Do("close");
  snap = viewer.Do("time 3");
  EXPECT_TRUE(snap.Canvas.empty());
  EXPECT_EQ(snap.Thumb, 0);
  EXPECT_EQ(snap.State.FrameSpan, 11'520);
}
