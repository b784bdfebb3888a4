// Calvora's scroll bar through whole user actions: which frame each step or thumb commit draws
// (checked column by column against the recording's bytes), where it leaves the stream, where
// the thumb goes and what the time index shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRecordings.h"
#include "navigation_scenarios.h"

using namespace testing_support;
using namespace nav_test;

namespace {

void RunScenarios(const std::string& path, const RecordingImage& image, const std::vector<Scenario>& scenarios) {
  nav_test::RunScenarios("calvora", path, image, scenarios);
}

}  // namespace

// One recording of 1,500,000 bytes: DataEnd 1,499,968, FrameSpan 176,256, so the last frame
// starts at 1,323,712. Open leaves the stream at 92 + 176,040 = 176,132, 216 bytes short of
// one FrameSpan past the first frame.
TEST(CalvoraNavigation, StepsAndCommitsFollowTheStreamPosition) {
  TempFolder dir;
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 1'500'000});
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = 1'500'000});
  const std::vector<Scenario> scenarios = {
      {"line back on the first frame falls to DataStart", {"open", "scroll 0"}, {{92}, 176'348, 0, {"0", "0", "0"}}},
      {"line forward draws the frame where the stream stands", {"open", "scroll 1"}, {{176'132}, 352'388, 11, {"0", "2", "0"}}},
      {"page forward draws the line-forward frame and leaves the stream 3F on",
       {"open", "scroll 0", "scroll 3"},
       {{176'348}, 705'116, 11, {"0", "6", "8"}}},
      {"line back after page forward draws X + 2F",
       {"open", "scroll 0", "scroll 3", "scroll 0"},
       {{352'604}, 528'860, 23, {"0", "4", "5"}}},
      {"page back draws the frame three before",
       {"open", "scroll 1", "scroll 1", "scroll 1", "scroll 1", "scroll 2"},
       {{176'132}, 704'900, 11, {"0", "6", "6"}}},
      {"line forward after page back draws the frame that was on screen",
       {"open", "scroll 1", "scroll 1", "scroll 1", "scroll 1", "scroll 2", "scroll 1"},
       {{704'900}, 881'156, 46, {"0", "8", "9"}}},
      {"commit at 100 draws the last full frame", {"open", "release 100"}, {{1'323'712}, 1'499'968, 100, {"0", "15", "41"}}},
      {"forward step bounded by the end: thumb placed from where the step began",
       {"open", "release 100", "scroll 1"},
       {{1'323'712}, 1'323'712, 99, {"0", "13", "38"}}},
      {"the next forward step redraws the last frame, thumb from DataEnd - FrameSpan",
       {"open", "release 100", "scroll 1", "scroll 1"},
       {{1'323'712}, 1'323'712, 88, {"0", "13", "38"}}},
      {"page forward is bounded the same way", {"open", "release 100", "scroll 3"}, {{1'323'712}, 1'323'712, 99, {"0", "13", "38"}}},
      {"commit at 0 is raised to DataStart", {"open", "scroll 1", "release 0"}, {{92}, 176'348, 0, {"0", "0", "0"}}},
      {"drag draws nothing; the time index shows the stream position after Open",
       {"open", "drag 50"},
       {{}, 176'132, 0, {"0", "0", "-2"}}},
      {"release where the thumb stands draws nothing and leaves the commit pending",
       {"open", "release 0"},
       {{}, 176'132, 0, {"0", "0", "-2"}, true}},
      {"stale commit: the arrow's frame, then at once the frame at the thumb's new place",
       {"open", "release 0", "scroll 1"},
       {{176'132, 164'996}, 341'252, 11, {"0", "1", "873"}}},
      {"Home and End draw nothing while no commit is pending",
       {"open", "scroll 1", "scroll 7", "scroll 6"},
       {{}, 352'388, 11, {"0", "2", "0"}}},
      {"End with a commit pending commits at Max",
       {"open", "scroll 1", "release 11", "scroll 7"},
       {{1'323'712}, 1'499'968, 100, {"0", "15", "41"}}},
      {"Home with a commit pending commits at 0",
       {"open", "scroll 1", "release 11", "scroll 6"},
       {{92}, 176'348, 0, {"0", "0", "0"}}},
      {"a drag move with a commit pending commits", {"open", "scroll 1", "release 11", "drag 40"}, {{599'986}, 776'242, 40, {"0", "6", "816"}}},
  };
  RunScenarios(path, ImageOf(bytes), scenarios);
}

// The commit maps the thumb over DataEnd in single precision: 1 and 13 on DataEnd 1,000,000
// give 10,000 and 129,998 (exact arithmetic: 9,998 and 130,000), 33 on DataEnd 100,000,001
// gives 33,000,002.
TEST(CalvoraNavigation, CommitsRoundInSinglePrecision) {
  TempFolder dir;
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 1'000'032});
  const std::string path = WriteRecording(dir.File("b.qtr"), {.FileSize = 1'000'032});
  RunScenarios(path, ImageOf(bytes),
               {
                   {"commit at 1", {"open", "release 1"}, {{10'000}, 186'256, 1, {"0", "0", "112"}}},
                   {"commit at 13", {"open", "release 13"}, {{129'998}, 306'254, 13, {"0", "1", "476"}}},
               });

  const std::string big = dir.File("c.qtr");
  const RecordingImage image = WriteSparseRecording(big, 100'000'033, {{92, 400'000}, {32'990'000, 33'300'000}});
  RunScenarios(big, image, {{"commit at 33", {"open", "release 33"}, {{33'000'002}, 33'176'258, 33, {"6", "14", "998"}}}});
}

// DataEnd 1,000,001: the commit at Max starts on a sample word (DataEnd - FrameSpan - 1), the
// forward step bounded by the end does not (DataEnd - FrameSpan, odd, each plotted word made of
// a low byte and the next high byte).
TEST(CalvoraNavigation, OddSizedRecording) {
  TempFolder dir;
  const std::vector<unsigned char> bytes = RecordingBytes({.FileSize = 1'000'033});
  const std::string path = WriteRecording(dir.File("odd.qtr"), {.FileSize = 1'000'033});
  RunScenarios(path, ImageOf(bytes),
               {
                   {"commit at 100", {"open", "release 100"}, {{823'744}, 1'000'000, 100, {"0", "9", "359"}}},
                   {"forward step at the end", {"open", "release 100", "scroll 1"}, {{823'745}, 823'745, 99, {"0", "7", "356"}}},
               });
}

TEST(CalvoraNavigation, ScrollEventsWithNoRecordingOpenChangeNothing) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = 1'500'000});
  const std::vector<std::string> actions = {"scroll 0", "scroll 1", "scroll 2", "scroll 3", "scroll 6",
                                            "scroll 7", "drag 50",  "release 50", "release 0"};
  {
    SCOPED_TRACE("before any Open");
    Viewer viewer("calvora");
    for (const std::string& action : actions) {
      SCOPED_TRACE(action);
      const auto snap = viewer.Do(action);
      EXPECT_TRUE(snap.Canvas.empty());
      EXPECT_EQ(snap.Thumb, 0);
      EXPECT_EQ(TimeIndexOf(snap), (Labels{"0", "0", "0"}));
      EXPECT_FALSE(snap.State.ScrollPending);
    }
  }
  {
    SCOPED_TRACE("after Close");
    Viewer viewer("calvora");
    viewer.Run({"open " + path, "scroll 1", "close"});
    for (const std::string& action : actions) {
      SCOPED_TRACE(action);
      const auto snap = viewer.Do(action);
      EXPECT_TRUE(snap.Canvas.empty());
      EXPECT_EQ(snap.Thumb, 11);  // Close leaves the thumb where it was
      EXPECT_EQ(TimeIndexOf(snap), (Labels{"0", "0", "0"}));
      EXPECT_FALSE(snap.State.ScrollPending);
    }
  }
}

// The largest recording that opens: offsets reach 2,147,483,647, so P + F and P + 3F pass the
// 32-bit range before the end bound brings them back, and the single-precision thumb of a
// position just short of the end is Max.
TEST(CalvoraNavigation, LargestRecordingStepsToTheEndWithoutOverflow) {
  TempFolder dir;
  const std::string path = dir.File("huge.qtr");
  const RecordingImage image =
      WriteSparseRecording(path, 2'147'483'647, {{92, 400'000}, {2'125'900'000, 2'126'300'000}, {2'146'000'000, 2'147'483'647}});
  RunScenarios(path, image,
               {
                   {"commit at Max", {"open", "release 100"}, {{2'147'307'358}, 2'147'483'614, 100, {"406", "41", "218"}}},
                   {"commit at 99 in single precision", {"open", "release 99"}, {{2'126'008'832}, 2'126'185'088, 99, {"402", "39", "190"}}},
                   {"line forward past the 32-bit range",
                    {"open", "release 100", "scroll 1"},
                    {{2'147'307'359}, 2'147'307'359, 100, {"406", "39", "216"}}},
                   {"page forward past the 32-bit range",
                    {"open", "release 100", "scroll 1", "scroll 3"},
                    {{2'147'307'359}, 2'147'307'359, 99, {"406", "39", "216"}}},
                   {"line back and page back near the end",
                    {"open", "release 100", "scroll 1", "scroll 0", "scroll 2"},
                    {{2'146'426'079}, 2'146'954'847, 99, {"406", "35", "210"}}},
               });
}
