// A first end-to-end check through both programs' headless windows.
#include <gtest/gtest.h>

#include "TestRecordings.h"

using namespace testing_support;

TEST(Smoke, BothProgramsOpenAndDrawTheFirstFrame) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("a.qtr"), {.FileSize = 5292124});
  for (const char* program : {"calvora", "vespira"}) {
    Viewer viewer(program);
    const auto snap = viewer.Do("open " + path);
    EXPECT_TRUE(snap.Open) << program;
    EXPECT_EQ(FramePolyline(snap).size(), 576u) << program;
  }
}
