// The position arithmetic of navigation: the thumb placed from a stream position, the frame
// start of a thumb commit and the time index. Single precision where the viewer computes in
// it, so several rows differ from exact integer arithmetic on purpose.
#include <gtest/gtest.h>

#include <ostream>

#include "Navigation.h"

namespace recording {
void PrintTo(const TimeIndex& t, std::ostream* os) { *os << t.Minutes << " min " << t.Seconds << " s " << t.Milliseconds << " ms"; }
}  // namespace recording

using recording::CommitFrameStart;
using recording::ThumbPlace;
using recording::TimeIndex;
using recording::TimeIndexOf;

TEST(NavigationArithmetic, ThumbPlace) {
  struct Row {
    int32_t CurrentOffset, FileSize, Max, Expected;
    const char* Why;
  };
  const Row rows[] = {
      {92, 10'000'000, 100, 0, "DataStart of a large file"},
      {5'000'000, 10'000'000, 100, 50, "half way"},
      {176'132, 1'000'000, 100, 17, "truncated toward zero"},
      {530'000, 1'000'000, 100, 52, "single precision: exact arithmetic gives 53"},
      {2'147'483'614, 2'147'483'647, 100, 100, "single precision: exact arithmetic gives 99"},
      {344'072, 1'000'000, 1000, 344, "Max 1000"},
      {1'061'084, 353'174, 1000, 3004, "a stream parked past the end: beyond Max, the setter clamps"},
      {0, 0, 100, 0, "empty file"},
      {176'132, 0, 100, 0, "empty file, stream moved on"},
  };
  for (const Row& r : rows) EXPECT_EQ(ThumbPlace(r.CurrentOffset, r.FileSize, r.Max), r.Expected) << r.Why;
}

TEST(NavigationArithmetic, CommitFrameStart) {
  constexpr int32_t DS = 92;
  struct Row {
    int32_t Position, Max, DataEnd, FrameSpan, Expected;
    const char* Why;
  };
  const Row rows[] = {
      {0, 100, 1'000'000, 176'256, 92, "raised to DataStart"},
      {1, 100, 1'000'000, 176'256, 10'000, "product rounded to single precision (unrounded: 9,998)"},
      {13, 100, 1'000'000, 176'256, 129'998, "single precision (exact: 130,000)"},
      {33, 100, 100'000'001, 176'256, 33'000'002, "single precision (exact: 33,000,000)"},
      {100, 100, 1'000'000, 176'256, 823'744, "lowered to DataEnd - FrameSpan"},
      {100, 100, 1'000'001, 176'256, 823'744, "odd DataEnd - FrameSpan made even"},
      {500, 1000, 1'999'969, 353'664, 999'984, "Max 1000, half of an odd DataEnd"},
      {99, 100, 2'147'483'615, 176'256, 2'126'008'832, "largest file, single precision (exact: 2,126,008,778)"},
      {100, 100, 2'147'483'615, 176'256, 2'147'307'358, "largest file at Max: no overflow"},
      {0, 1000, 353'718, 353'664, 54, "the end bound wins over DataStart: a start inside the header"},
      {1000, 1000, 353'665, 353'664, 0, "odd start 1 made even"},
      {1000, 1000, 353'664, 353'664, 0, "start 0 stays"},
      {500, 1000, 353'142, 353'664, DS, "negative start becomes DataStart"},
      {100, 100, 176'100, 176'256, DS, "negative start becomes DataStart (Max 100)"},
  };
  for (const Row& r : rows) EXPECT_EQ(CommitFrameStart(r.Position, r.Max, DS, r.DataEnd, r.FrameSpan), r.Expected) << r.Why;
}

TEST(NavigationArithmetic, TimeIndexOf) {
  constexpr int32_t DS = 92;
  constexpr int32_t F = 176'256;  // "2 Seconds"
  struct Row {
    int64_t Offset;  // stream position - FrameSpan - DataStart
    int32_t FrameSpan;
    TimeIndex Expected;
    const char* Why;
  };
  const Row rows[] = {
      {0, F, {0, 0, 0}, "the first frame"},
      {176'256, F, {0, 2, 2}, "one frame on"},
      {15'996'864, F, {3, 1, 782}, "minutes, seconds and milliseconds"},
      {-216, F, {0, 0, -2}, "right after Open: truncated toward zero"},
      {-87, F, {0, 0, 0}, "less than a millisecond back is 0, not -1"},
      {-221'184, 5'291'136, {0, 0, -2513}, "\"60 Seconds\" right after Open"},
      {2'147'130'920, F, {406, 39, 216}, "q = 24,399,215 counted in single precision (exact: 215 ms)"},
  };
  for (const Row& r : rows) EXPECT_EQ(TimeIndexOf(r.Offset + r.FrameSpan + DS, r.FrameSpan, DS), r.Expected) << r.Why;
}
