// Files that change or refuse themselves under the viewer: a recording truncated while it is
// open, and a file without read permission. Whatever the file does, every action completes,
// frames are whole or not drawn at all, and the thumb stays in range.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "TestRecordings.h"

using namespace testing_support;

namespace {

constexpr int64_t OneMinute = 5'292'124;

}  // namespace

TEST(HostileInput, RecordingTruncatedWhileOpen) {
  TempFolder dir;
  const int64_t cuts[] = {1'000'000, 100'000, 50, 0};
  const struct {
    const char* Program;
    int32_t Max;
    std::vector<std::string> Actions;
  } programs[] = {
      {"calvora", 100, {"scroll 1", "scroll 0", "scroll 3", "scroll 2", "release 50", "release 100", "time 4", "time 1", "scroll 1", "time 2", "release 0", "saveas " + dir.File("copy")}},
      {"vespira", 1000, {"scroll 1", "scroll 0", "scroll 3", "scroll 2", "release 500", "release 1000", "scroll 1", "release 0"}},
  };
  for (const auto& p : programs) {
    for (const int64_t cut : cuts) {
      SCOPED_TRACE(testing::Message() << p.Program << " cut to " << cut);
      const std::string path = WriteRecording(dir.File("rec.qtr"), {.FileSize = OneMinute});
      Viewer viewer(p.Program);
      viewer.Do("open " + path);
      viewer.Do("scroll 1");
      std::filesystem::resize_file(path, static_cast<std::uintmax_t>(cut));
      for (const std::string& action : p.Actions) {
        SCOPED_TRACE(action);
        const viewer_script::Snapshot snap = viewer.Do(action);
        EXPECT_GE(snap.Thumb, 0);
        EXPECT_LE(snap.Thumb, p.Max);
        if (snap.Pos) {
          EXPECT_GE(*snap.Pos, 0);
        }
        for (const platform::CanvasOp& op : snap.Canvas) {
          if (op.Op == platform::CanvasOp::Kind::Polyline) {
            EXPECT_TRUE(op.Points.size() == 11 || op.Points.size() == 576);
          }
        }
      }
      // The copy of a truncated recording holds what is left of it, byte for byte.
      if (std::string(p.Program) == "calvora") {
        ASSERT_TRUE(std::filesystem::exists(dir.File("copy.qtr")));
        EXPECT_EQ(std::filesystem::file_size(dir.File("copy.qtr")), static_cast<std::uintmax_t>(cut));
        std::filesystem::remove(dir.File("copy.qtr"));
      }
    }
  }
}

TEST(HostileInput, FileWithoutReadPermissionCannotBeOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("locked.qtr"), {.FileSize = OneMinute});
  std::filesystem::permissions(path, std::filesystem::perms::none);
  for (const char* program : {"calvora", "vespira"}) {
    Viewer viewer(program);
    const viewer_script::Snapshot snap = viewer.Do("open " + path);
    EXPECT_FALSE(snap.Open) << program;
    EXPECT_EQ(snap.Rich, std::vector<std::string>{"Cannot open file."}) << program;
    EXPECT_EQ(snap.Status, path) << program;
  }
}
