// Calvora's real window driven by mouse and keyboard on the offscreen platform: every action
// must produce the scroll codes of the control being reproduced and show exactly what the
// headless session shows after the same actions (the paint box's picture pixel for pixel, the
// thumb, the labels, the text area, the status bar, the time per frame buttons).
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "Application.h"
#include "CalvoraAbout1.h"
#include "CalvoraUnit1.h"
#include "GuiDriver.h"
#include "TestRecordings.h"

using namespace gui_test;
using testing_support::TempFolder;
using testing_support::WriteRecording;

namespace {

constexpr int64_t OneMinuteFile = 5'292'124;

QRgb Black() { return qRgb(0, 0, 0); }

void ExpectBlackAt(const QImage& picture, const recording::Point& p, const char* what) {
  if (!picture.rect().contains(p.x, p.y)) return;
  EXPECT_EQ(picture.pixel(p.x, p.y), Black()) << what << " at (" << p.x << "," << p.y << ")";
}

}  // namespace

TEST(CalvoraWindow, OpenThroughTheMenuAndDialogDrawsTheBorderAndTheFirstFrame) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("minute.qtr"), {.FileSize = OneMinuteFile});
  std::vector<recording::Point> frame;
  {
    testing_support::Viewer headless("calvora");
    frame = testing_support::FramePolyline(headless.Do("open " + path));
  }
  ASSERT_EQ(frame.size(), 576u);

  QtProgram q("calvora");
  EXPECT_EQ(q.Window()->centralWidget()->size(), QSize(629, 626)) << "the form's client area";
  EXPECT_EQ(q.PaintBox()->geometry(), QRect(24, 18, 580, 420));
  EXPECT_EQ(q.ScrollBar()->geometry(), QRect(24, 440, 577, 17));
  const QImage blank = q.PaintBox()->Image();
  EXPECT_EQ(blank.pixel(0, 0), qRgb(255, 255, 255));
  q.OpenThroughDialog(path);

  EXPECT_EQ(q.DialogTitles, std::vector<QString>{"Open"});
  ASSERT_EQ(q.DialogFileTypes.size(), 1u);
  EXPECT_EQ(q.DialogFileTypes[0], (QStringList{"Quentral(tm) Files *.qtr", "All Files"}));

  const QImage picture = q.PaintBox()->Image();
  for (const recording::Point& p : calvora::Calvora->State.Border) ExpectBlackAt(picture, p, "border corner");
  for (const recording::Point& p : frame) ExpectBlackAt(picture, p, "frame column");
  // Columns 0, 1 and 578, 579 hold neither the border nor a frame column.
  for (const QPoint blankAt : {QPoint(0, 0), QPoint(1, 200), QPoint(578, 100), QPoint(579, 419)})
    EXPECT_EQ(picture.pixel(blankAt), qRgb(255, 255, 255)) << "cleared with the paint box's white";
  // What the widget shows on screen is its picture.
  EXPECT_EQ(q.PaintBox()->grab().toImage().convertToFormat(QImage::Format_RGB32), picture);

  const Seen seen = q.Look();
  EXPECT_EQ(seen.Rich, std::vector<std::string>{"Test recording"});
  EXPECT_EQ(seen.Status, path);
  EXPECT_EQ(seen.Labels[3], (std::pair<std::string, std::string>{"MinLabel", "1"}));

  // Calvora's text area is not read-only: what the user types there is its text from then on.
  auto* text = q.Window()->findChild<QPlainTextEdit*>("RichEdit1");
  text->moveCursor(QTextCursor::End);
  QTest::keyClicks(text, " x");
  QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
  QApplication::sendEvent(text, &eacute);
  EXPECT_EQ(calvora::Calvora->RichEdit1.Lines(), std::vector<std::string>{"Test recording x\xE9"});
  EXPECT_EQ(text->toPlainText(), QString::fromUtf16(u"Test recording x\u00E9"));
}

TEST(CalvoraWindow, MouseOnTheScrollBarRadioButtonsAndMenuShowsWhatTheHeadlessSessionShows) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("minute.qtr"), {.FileSize = OneMinuteFile});
  std::vector<Step> steps;
  QColor start;
  {
    QtProgram q("calvora");
    start = q.PaintBoxColorAtStart();
    QScrollBar* bar = q.ScrollBar();
    auto record = [&](const std::string& what, std::vector<std::string> lines) { steps.push_back({what, std::move(lines), q.Look()}); };

    // With no recording open an arrow moves nothing: the program holds the thumb at 0.
    QTest::mouseClick(bar, Qt::LeftButton, {}, ScrollBarPart(bar, QStyle::SC_ScrollBarAddLine).center());
    record("click with no recording", q.TakeScrollLines());
    EXPECT_EQ(bar->value(), 0);

    q.OpenThroughDialog(path);
    record("File > Open", {"open " + path});

    // One click on each part: its code, then the end of scroll on the release.
    const struct {
      QStyle::SubControl Part;
      const char* Line;
    } clicks[] = {
        {QStyle::SC_ScrollBarAddLine, "scroll 1"}, {QStyle::SC_ScrollBarAddLine, "scroll 1"}, {QStyle::SC_ScrollBarAddPage, "scroll 3"},
        {QStyle::SC_ScrollBarSubLine, "scroll 0"}, {QStyle::SC_ScrollBarSubPage, "scroll 2"}, {QStyle::SC_ScrollBarAddPage, "scroll 3"},
    };
    for (const auto& click : clicks) {
      const QRect part = ScrollBarPart(bar, click.Part);
      ASSERT_FALSE(part.isEmpty()) << click.Line;
      QTest::mouseClick(bar, Qt::LeftButton, {}, part.center());
      const std::vector<std::string> lines = q.TakeScrollLines();
      EXPECT_EQ(lines, std::vector<std::string>{click.Line});
      record(std::string("click for ") + click.Line, lines);
    }

    // A held arrow repeats its code until the release ends the action once.
    QTest::mousePress(bar, Qt::LeftButton, {}, ScrollBarPart(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_TRUE(WaitFor([&] { return q.Scrolls().size() >= 3; }));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, ScrollBarPart(bar, QStyle::SC_ScrollBarAddLine).center());
    const std::vector<std::string> held = q.TakeScrollLines();
    EXPECT_GE(held.size(), 3u);
    EXPECT_EQ(std::count(held.begin(), held.end(), "scroll 1"), static_cast<std::ptrdiff_t>(held.size()));
    record("held right arrow", held);

    // A drag: the thumb follows the mouse and nothing is drawn until the release.
    const QImage beforeDrag = q.PaintBox()->Image();
    auto& model = static_cast<platform::ScrollBar&>(*calvora::Calvora->FindControl("ScrollBar1"));
    const int32_t placed = model.Position();
    const QPoint from = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    for (int dx = 30; dx <= 240; dx += 30) QTest::mouseMove(bar, from + QPoint(dx, 0));
    ASSERT_FALSE(q.Scrolls().empty());
    EXPECT_EQ(q.Scrolls().back().first, static_cast<int>(platform::ScrollCode::Track));
    EXPECT_EQ(bar->sliderPosition(), q.Scrolls().back().second) << "the thumb stays under the mouse";
    EXPECT_GT(bar->sliderPosition(), placed);
    EXPECT_EQ(model.Position(), placed) << "the program holds the thumb where it placed it";
    EXPECT_EQ(q.PaintBox()->Image(), beforeDrag) << "a drag draws nothing";
    QTest::mouseRelease(bar, Qt::LeftButton, {}, from + QPoint(240, 0));
    const std::vector<std::string> drag = q.TakeScrollLines();
    ASSERT_GE(drag.size(), 2u);
    EXPECT_EQ(drag.back().rfind("release ", 0), 0u);
    EXPECT_NE(q.PaintBox()->Image(), beforeDrag) << "the release draws the frame at the thumb";
    record("drag and release", drag);

    // The time per frame buttons: a click on another button chooses it; on the checked one it
    // changes nothing.
    for (const char* name : {"RadioButton1", "RadioButton1", "RadioButton3", "RadioButton2"}) {
      auto* radio = q.Window()->findChild<QRadioButton*>(name);
      QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
      record(std::string("click ") + name, {std::string("time ") + name[11]});
    }
    EXPECT_TRUE(q.TakeScrolls().empty());

    q.ClickMenu("File1", "Close1");
    record("File > Close", {"close"});
  }
  ExpectHeadlessShowsTheSame("calvora", start, steps);
}

TEST(CalvoraWindow, KeysOnTheFocusedScrollBarGiveTheirCodesAndEndOnRelease) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("minute.qtr"), {.FileSize = OneMinuteFile});
  std::vector<Step> steps;
  QColor start;
  {
    QtProgram q("calvora");
    start = q.PaintBoxColorAtStart();
    QScrollBar* bar = q.ScrollBar();
    auto record = [&](const std::string& what, std::vector<std::string> lines) { steps.push_back({what, std::move(lines), q.Look()}); };

    // Ctrl+O opens.
    q.OpenThroughDialog(path, [&] { QTest::keyClick(q.Window(), Qt::Key_O, Qt::ControlModifier); });
    record("Ctrl+O", {"open " + path});

    // The text area comes first in the tab order, the scroll bar next.
    q.Window()->activateWindow();  // the offscreen platform does not give it back after the dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(q.Window()));
    QWidget* text = q.Window()->findChild<QWidget*>("RichEdit1");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), bar);

    const struct {
      Qt::Key Key;
      const char* Line;
    } keys[] = {
        {Qt::Key_Right, "scroll 1"}, {Qt::Key_Down, "scroll 1"},   {Qt::Key_PageDown, "scroll 3"}, {Qt::Key_Left, "scroll 0"},
        {Qt::Key_Up, "scroll 0"},    {Qt::Key_PageUp, "scroll 2"}, {Qt::Key_End, "scroll 7"},      {Qt::Key_Home, "scroll 6"},
    };
    auto ended = [&] { return !q.Scrolls().empty() && q.Scrolls().back().first == static_cast<int>(platform::ScrollCode::EndScroll); };
    for (const auto& key : keys) {
      QTest::keyClick(bar, key.Key);
      EXPECT_TRUE(WaitFor(ended)) << key.Line;
      const std::vector<std::string> lines = q.TakeScrollLines();
      EXPECT_EQ(lines, std::vector<std::string>{key.Line});
      record(std::string("key for ") + key.Line, lines);
    }

    // A held key under X: a release and a press of the same key arriving together without the
    // auto-repeat flag, then the real release. One action, ended once.
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease, QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent event(type, Qt::Key_Right, Qt::NoModifier);
      QApplication::sendEvent(bar, &event);
    }
    EXPECT_TRUE(WaitFor(ended));
    const std::vector<std::pair<int, int32_t>> scrolls = q.TakeScrolls();
    std::vector<int> codes;
    codes.reserve(scrolls.size());
    for (const auto& [code, pos] : scrolls) codes.push_back(code);
    EXPECT_EQ(codes, (std::vector<int>{1, 1, 8}));
    record("held right key", ScrollLines(scrolls));
  }
  ExpectHeadlessShowsTheSame("calvora", start, steps);
}

TEST(CalvoraWindow, SaveAsThroughTheMenuAndDialogWritesTheCopyAndShowsItsFirstFrame) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("minute.qtr"), {.FileSize = OneMinuteFile});
  const std::string existing = WriteRecording(dir.File("existing.qtr"), {.FileSize = 200'000, .Title = "Older take"});
  auto contents = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
  };
  const std::vector<char> original = contents(path);
  std::vector<Step> steps;
  QColor start;
  {
    QtProgram q("calvora");
    start = q.PaintBoxColorAtStart();
    auto record = [&](const std::string& what, std::vector<std::string> lines) { steps.push_back({what, std::move(lines), q.Look()}); };

    q.OpenThroughDialog(path);
    record("File > Open", {"open " + path});
    const QImage firstFrame = q.PaintBox()->Image();
    QTest::mouseClick(q.ScrollBar(), Qt::LeftButton, {}, ScrollBarPart(q.ScrollBar(), QStyle::SC_ScrollBarAddLine).center());
    record("right arrow", q.TakeScrollLines());
    ASSERT_NE(q.PaintBox()->Image(), firstFrame);
    const int32_t thumb = q.ScrollBar()->value();

    // A name typed without ".qtr" gets it; the copy becomes the open recording.
    q.SaveAsThroughDialog(dir.File("copy"));
    record("File > Save As... copy", {"saveas " + dir.File("copy")});
    EXPECT_EQ(q.DialogFileTypes.back(), QStringList{"Quintral Files *.qtr"});
    EXPECT_EQ(contents(dir.File("copy.qtr")), original) << "byte for byte";
    EXPECT_FALSE(std::filesystem::exists(dir.File("copy")));
    EXPECT_EQ(q.Look().Status, dir.File("copy.qtr"));
    EXPECT_EQ(q.PaintBox()->Image(), firstFrame) << "the copy's first frame is on screen";
    EXPECT_EQ(q.ScrollBar()->value(), thumb) << "the thumb stays";

    // An existing file is replaced only after the dialog has asked.
    q.SaveAsThroughDialog(existing);
    record("File > Save As... over an existing file", {"saveas " + existing});
    EXPECT_EQ(q.ReplaceAsked, (std::vector<bool>{false, true}));
    EXPECT_EQ(contents(existing), original);
    EXPECT_EQ(q.Look().Status, existing);

    // The question is about the file the copy replaces, also when ".qtr" is added to the name.
    q.SaveAsThroughDialog(dir.File("copy"));
    record("File > Save As... copy again", {"saveas " + dir.File("copy")});
    EXPECT_EQ(q.ReplaceAsked, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(q.Look().Status, dir.File("copy.qtr"));
  }
  ExpectHeadlessShowsTheSame("calvora", start, steps);
}

TEST(CalvoraWindow, AboutBoxIsModalClosesWithOkOrItsCloseBoxAndThePictureSurvivesIt) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("minute.qtr"), {.FileSize = OneMinuteFile});
  QtProgram q("calvora");
  q.OpenThroughDialog(path);
  const QImage picture = q.PaintBox()->Image();

  ModalAnswer withEnter([](QWidget* modal) {
    if (modal->objectName() != "AboutBox") return false;
    EXPECT_EQ(modal->windowTitle(), "About Calvora");
    EXPECT_EQ(modal->size(), QSize(298, 213));
    EXPECT_EQ(modal->findChild<QLabel*>("ProductName")->text(), "Calvora(tm)");
    EXPECT_EQ(modal->findChild<QLabel*>("Version")->text(), "Version 1.3");
    EXPECT_FALSE(modal->findChild<QLabel*>("ProgramIcon")->pixmap().isNull()) << "the program icon";
    EXPECT_TRUE(modal->findChild<QPushButton*>("OKButton")->isDefault());
    QTest::keyClick(modal, Qt::Key_Return);
    return true;
  });
  q.ClickMenu("Help1", "About1");
  EXPECT_TRUE(withEnter.Answered());
  EXPECT_EQ(calvora::AboutBox->ModalResult, platform::mrOk);

  ModalAnswer withCloseBox([](QWidget* modal) { return modal->close(); });
  q.ClickMenu("Help1", "About1");
  EXPECT_TRUE(withCloseBox.Answered());
  EXPECT_EQ(calvora::AboutBox->ModalResult, platform::mrCancel);

  EXPECT_EQ(q.PaintBox()->Image(), picture);
  EXPECT_EQ(q.PaintBox()->grab().toImage().convertToFormat(QImage::Format_RGB32), picture);
}

TEST(CalvoraWindow, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  TempFolder dir;
  const std::string path = WriteRecording(dir.File("minute.qtr"), {.FileSize = OneMinuteFile});
  QtProgram q("calvora");
  calvora::Calvora->About1.OnClick = [](platform::Component*) { throw std::runtime_error("About failed"); };

  ModalAnswer report([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    EXPECT_EQ(box->text(), "About failed");
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    return true;
  });
  q.ClickMenu("Help1", "About1");
  EXPECT_TRUE(report.Answered());

  q.OpenThroughDialog(path);
  EXPECT_EQ(q.Look().Rich, std::vector<std::string>{"Test recording"});
  QTest::mouseClick(q.ScrollBar(), Qt::LeftButton, {}, ScrollBarPart(q.ScrollBar(), QStyle::SC_ScrollBarAddLine).center());
  EXPECT_EQ(q.TakeScrollLines(), std::vector<std::string>{"scroll 1"});
}

TEST(CalvoraWindow, FileExitAndClosingTheWindowEndTheEventLoop) {
  for (const bool throughMenu : {true, false}) {
    SCOPED_TRACE(throughMenu ? "File > Exit" : "window closed");
    QtProgram q("calvora");
    bool hung = false;
    QTimer guard;  // only against a hang: the loop is expected to end at once
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      hung = true;
      QCoreApplication::exit(1);
    });
    guard.start(60000);
    QTimer act;  // the user's action, from inside the running loop
    act.setSingleShot(true);
    QObject::connect(&act, &QTimer::timeout, [&] {
      if (throughMenu) {
        q.ClickMenu("File1", "Exit1");
      } else {
        q.Window()->close();
      }
    });
    act.start(0);
    platform::Application().Run();
    EXPECT_FALSE(hung);
    EXPECT_TRUE(platform::Application().Terminated());
  }
}
