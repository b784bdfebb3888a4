// Row 3: the drawing through the Qt realisation, on Qt's offscreen platform.
// - draw/paintbox: one frame (the clearing fill, the border, the 576-point polyline) through a
//   paint box's canvas onto the realisation's paint box widget, which paints it on its image.
// - draw/qpainter: the same fill and polylines with a bare QPainter on a plain QImage of the
//   paint box's size: what drawing the frame costs with nothing around it.
// - repaint/<mode>: a program's window on the realisation, a mouse click on a scroll bar arrow
//   until the window has repainted the paint box: the click's handlers read and draw the
//   frame, then the event loop paints the window. Clicks alternate between the right and the
//   left arrow, so the rows step between two frames and stay in place.
#include <QApplication>
#include <QImage>
#include <QLatin1String>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "Application.h"
#include "BenchRows.h"
#include "BenchViewers.h"
#include "CalvoraUnit1.h"
#include "QtApplication.h"
#include "QtControls.h"
#include "RecordingFormat.h"
#include "VespiraUnit1.h"

namespace bench {
namespace {

QtMessageHandler PreviousQtHandler = nullptr;

// The offscreen platform says at every window shown that it cannot pass size hints on; that
// is no news to a benchmark and would bury the table. Everything else is passed on.
void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints"))) return;
  if (PreviousQtHandler != nullptr) PreviousQtHandler(type, context, message);
}

// The process's QApplication, on the offscreen platform unless one is asked for. Never
// destroyed: it would outlive main and the statics Qt tears down after it.
void StartQt() {
  static int argc = 1;
  static char name[] = "qtr-bench";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  PreviousQtHandler = qInstallMessageHandler(QuietOffscreenNotes);
  static const QApplication* const application = new QApplication(argc, argv);
  (void)application;
}

// RenderFrame's canvas that keeps the frame's polyline.
class FrameCapture final : public recording::FrameCanvas {
 public:
  void ClearPaintBox() override {}
  void DrawPolyline(std::span<const recording::Point> points) override {
    if (points.size() == recording::FrameColumns) Frame.assign(points.begin(), points.end());
  }
  std::vector<recording::Point> Frame;
};

// The frame the drawing rows draw: 2 seconds from 25 seconds into the recording, where the
// benchmark's recording holds noise, as any sound does at 153 sample words per column: 576
// segments up and down the paint box, the most drawing a frame asks for.
std::vector<recording::Point> RecordedFrame(const std::string& path) {
  const Mode& mode = Modes[1];
  recording::ViewerState state = recording::MakeViewerState(mode.ColumnStep);
  state.File = recording::OpenRecordingStream(path);
  FrameCapture capture;
  if (state.File != nullptr) {
    std::fseek(state.File, recording::HeaderSize + 25 * recording::BytesPerSecond, SEEK_SET);
    recording::RenderFrame(state, capture, mode.ReadChunk);
    recording::CloseRecording(state);
  }
  return capture.Frame;
}

recording::FrameBorder Border() {
  recording::ViewerState state = recording::MakeViewerState(calvora::InitialColumnStep);
  recording::FillFrameBorder(state, recording::ComputeBorderCoordinates(state));
  return state.Border;
}

// Calvora's paint box and form client rectangle.
constexpr int32_t PaintBoxWidth = 580, PaintBoxHeight = 420;
constexpr platform::Rect ClientRect{0, 0, 629, 626};

void PaintBoxDrawRow(benchmark::State& run, const std::string& path) {
  StartQt();
  const std::vector<recording::Point> frame = RecordedFrame(path);
  if (frame.size() != recording::FrameColumns) {
    run.SkipWithError("no frame to draw");
    return;
  }
  const recording::FrameBorder border = Border();
  platform::PaintBox box("PB1", nullptr);
  box.SetBounds(24, 18, PaintBoxWidth, PaintBoxHeight);
  box.SetColor(platform::clWhite);
  platform::qt::PaintBoxWidget widget(box, nullptr);
  widget.show();
  QApplication::processEvents();
  while (run.KeepRunning()) {
    box.Canvas.FillRect(ClientRect);
    box.Canvas.Polyline(border);
    box.Canvas.Polyline(frame);
  }
  benchmark::DoNotOptimize(widget.Image().constBits());
}

void BareDrawRow(benchmark::State& run, const std::string& path) {
  StartQt();
  const std::vector<recording::Point> frame = RecordedFrame(path);
  if (frame.size() != recording::FrameColumns) {
    run.SkipWithError("no frame to draw");
    return;
  }
  std::vector<QPoint> framePoints, borderPoints;
  for (const recording::Point& p : frame) framePoints.emplace_back(p.x, p.y);
  for (const recording::Point& p : Border()) borderPoints.emplace_back(p.x, p.y);
  QImage image(PaintBoxWidth, PaintBoxHeight, QImage::Format_RGB32);
  while (run.KeepRunning()) {
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, PaintBoxWidth, PaintBoxHeight), Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPolyline(borderPoints.data(), static_cast<int>(borderPoints.size()));
    painter.drawPolyline(framePoints.data(), static_cast<int>(framePoints.size()));
  }
  benchmark::DoNotOptimize(image.constBits());
}

// The realisation with the file dialog answered by the recording, without a window.
class AnsweringPeer final : public platform::qt::QtApplicationPeer {
 public:
  explicit AnsweringPeer(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> ExecuteFileDialog(platform::FileDialog&) override { return path_; }
  void ShowException(const std::string& message) override { Exceptions.push_back(message); }
  std::vector<std::string> Exceptions;

 private:
  std::string path_;
};

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
  int64_t Paints = 0;
};

QPoint ArrowCentre(QScrollBar& bar, QStyle::SubControl arrow) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.orientation = bar.orientation();
  if (bar.orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.singleStep = bar.singleStep();
  option.pageStep = bar.pageStep();
  option.upsideDown = bar.invertedAppearance();
  return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, &bar).center();
}

void Click(QWidget& widget, QPoint at) {
  const QPointF local(at), global(widget.mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

// Clicks the arrows, right and left in turn, each until the paint box has been painted; a
// click that drew nothing would never be. False, with the row failed, when one was not.
bool ClickUntilRepainted(benchmark::State& run, QScrollBar& bar, QWidget& paintBox) {
  PaintCounter paints;
  paintBox.installEventFilter(&paints);
  const QPoint arrows[] = {ArrowCentre(bar, QStyle::SC_ScrollBarAddLine), ArrowCentre(bar, QStyle::SC_ScrollBarSubLine)};
  std::size_t next = 0;
  bool repainted = true;
  while (run.KeepRunning()) {
    const int64_t before = paints.Paints;
    Click(bar, arrows[next]);
    next ^= 1;
    for (int round = 0; round < 100 && paints.Paints == before; ++round) QApplication::processEvents();
    if (paints.Paints == before) {
      repainted = false;
      run.SkipWithError("a click did not repaint the paint box");  // before leaving the loop, as the library requires
      break;
    }
  }
  paintBox.removeEventFilter(&paints);
  return repainted;
}

void RepaintRow(benchmark::State& run, const Mode& mode, const std::string& path) {
  StartQt();
  AnsweringPeer peer(path);
  platform::TApplication& app = platform::Application();
  app.DestroyForms();
  app.SetPeer(&peer);
  platform::Form* form = nullptr;
  platform::ScrollBar* bar = nullptr;
  platform::PaintBox* box = nullptr;
  const recording::ViewerState* state = nullptr;
  if (mode.Viewer == Program::Calvora) {
    calvora::TCalvora& f = calvora::CreateForms();
    form = &f, bar = &f.ScrollBar1, box = &f.PB1, state = &f.State;
  } else {
    vespira::TVespira& f = vespira::CreateForms();
    form = &f, bar = &f.ScrollBar1, box = &f.PB1, state = &f.State;
  }
  peer.WindowOf(*form)->show();
  QApplication::processEvents();
  if (mode.Viewer == Program::Calvora) {
    auto& f = static_cast<calvora::TCalvora&>(*form);
    f.Open1.Click();
    platform::RadioButton* buttons[] = {&f.RadioButton1, &f.RadioButton2, &f.RadioButton3, &f.RadioButton4};
    buttons[mode.TimeButton - 1]->Click();
  } else {
    static_cast<vespira::TVespira&>(*form).Open1.Click();
  }
  QApplication::processEvents();

  auto* barWidget = dynamic_cast<platform::qt::ScrollBarWidget*>(bar->Peer);
  auto* boxWidget = dynamic_cast<platform::qt::PaintBoxWidget*>(box->Peer);
  if (barWidget == nullptr || boxWidget == nullptr) {
    run.SkipWithError("the window has no scroll bar or paint box widget");
  } else if (state->File == nullptr || state->ColumnStep != mode.ColumnStep) {
    run.SkipWithError("the recording is not open in the mode");
  } else if (ClickUntilRepainted(run, *barWidget, *boxWidget) && !peer.Exceptions.empty()) {
    run.SkipWithError(("exception: " + peer.Exceptions.front()).c_str());
  }
  peer.DestroyWindows();
  app.DestroyForms();
  app.SetPeer(nullptr);
}

}  // namespace

bool RegisterDrawRows(const Inputs& inputs, const RowSettings& settings) {
  const std::string path = inputs.Small;
  Configure(AddRow(PaintBoxDrawName, [=](benchmark::State& run) { PaintBoxDrawRow(run, path); }), settings);
  Configure(AddRow(BareDrawName, [=](benchmark::State& run) { BareDrawRow(run, path); }), settings);
  for (const Mode& mode : Modes)
    Configure(AddRow(RepaintName(mode), [=](benchmark::State& run) { RepaintRow(run, mode, path); }), settings);
  return true;
}

}  // namespace bench
