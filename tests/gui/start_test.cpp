// A recording named on the command line, as a file manager starts a program: once the main
// window runs, it is opened exactly as File > Open opens a chosen name (the same picture, text,
// status bar, labels and thumb as the headless session's "open"), and navigation goes on from
// there as after File > Open.
#include <gtest/gtest.h>

#include <QTest>

#include "Application.h"
#include "CalvoraUnit1.h"
#include "GuiDriver.h"
#include "TestRecordings.h"
#include "VespiraUnit1.h"

using namespace gui_test;
using testing_support::TempFolder;
using testing_support::WriteRecording;

TEST(OpenAtStart, ANamedRecordingOpensAsFileOpenWouldOpenIt) {
  TempFolder dir;
  const std::string good = WriteRecording(dir.File("take.qtr"), {.FileSize = 3'000'000, .Title = "Named at start"});
  const std::string bad = WriteRecording(dir.File("bad.qtr"), {.FileSize = 3'000'000, .Signature = "Wrong sig"});
  const struct {
    const char* Program;
    std::string File;
  } cases[] = {
      {"calvora", good},
      {"vespira", good},
      {"calvora", bad},
      {"vespira", dir.File("missing.qtr")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Program) + " " + c.File);
    std::vector<Step> steps;
    QColor start;
    {
      QtProgram q(c.Program);
      start = q.PaintBoxColorAtStart();
      // What each program's entry hands the realisation for a name on its command line.
      const std::string file = c.File;
      const bool calvora = std::string(c.Program) == "calvora";
      q.Peer().RunWhenStarted([file, calvora] {
        if (calvora) {
          calvora::Calvora->OpenFile(file);
        } else {
          vespira::Vespira->OpenFile(file);
        }
        platform::Application().Terminate();
      });
      platform::Application().Run();
      ASSERT_TRUE(platform::Application().Terminated()) << "the event loop ran the open and ended";
      steps.push_back({"named at start", {"open " + file}, q.Look()});

      // Navigation goes on from the recording opened at start as after File > Open.
      QTest::mouseClick(q.ScrollBar(), Qt::LeftButton, {}, ScrollBarPart(q.ScrollBar(), QStyle::SC_ScrollBarAddLine).center());
      steps.push_back({"right arrow", q.TakeScrollLines(), q.Look()});
    }
    ExpectHeadlessShowsTheSame(c.Program, start, steps);
  }
}
