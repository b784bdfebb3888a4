// Vespira's real window on the offscreen platform: its own open dialog, navigation by mouse and
// keyboard against the headless session, and File > Exit ending the loop with the stream closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "Application.h"
#include "GuiDriver.h"
#include "TestRecordings.h"
#include "VespiraUnit1.h"

using namespace gui_test;
using testing_support::TempFolder;
using testing_support::WriteRecording;

TEST(VespiraWindow, OpenNavigateAndExitThroughTheRealWindow) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("long.qtr"), {.FileSize = 3'000'000, .Title = "Vespira take"});
  std::vector<Step> steps;
  QColor start;
  {
    QtProgram q("vespira");
    start = q.PaintBoxColorAtStart();
    EXPECT_EQ(start, QColor(0xF0, 0xF0, 0xF0)) << "the paint box takes the form's button face";
    QScrollBar* bar = q.ScrollBar();
    auto record = [&](const std::string& what, std::vector<std::string> lines) { steps.push_back({what, std::move(lines), q.Look()}); };

    q.OpenThroughDialog(path);
    EXPECT_EQ(q.DialogTitles, std::vector<QString>{"Open for Viewing"});
    ASSERT_EQ(q.DialogFileTypes.size(), 1u);
    EXPECT_EQ(q.DialogFileTypes[0], (QStringList{"Quentral files (*.qtr)", "All Files"}));
    record("File > Open", {"open " + path});
    EXPECT_EQ(q.Look().Rich, (std::vector<std::string>{"4 Seconds per frame", "Vespira take"}));

    for (const QStyle::SubControl part : {QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarSubLine}) {
      QTest::mouseClick(bar, Qt::LeftButton, {}, ScrollBarPart(bar, part).center());
      record("click", q.TakeScrollLines());
    }
    const QPoint from = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    for (int dx = 50; dx <= 300; dx += 50) QTest::mouseMove(bar, from + QPoint(dx, 0));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, from + QPoint(300, 0));
    record("drag and release", q.TakeScrollLines());
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_TRUE(WaitFor([&] { return q.Scrolls().size() >= 2; }));
    record("left key", q.TakeScrollLines());

    QTimer exit;  // File > Exit from inside the running loop
    exit.setSingleShot(true);
    QObject::connect(&exit, &QTimer::timeout, [&] { q.ClickMenu("File1", "Exit1"); });
    exit.start(0);
    platform::Application().Run();
    EXPECT_TRUE(platform::Application().Terminated());
    EXPECT_EQ(vespira::Vespira->State.File, nullptr) << "File > Exit closes the stream";
    EXPECT_EQ(QCoreApplication::applicationName(), "Vespira(tm)");
  }
  ExpectHeadlessShowsTheSame("vespira", start, steps);
}
