#include "GuiDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <QTest>

#include "Application.h"
#include "CalvoraUnit1.h"
#include "TestRecordings.h"
#include "VespiraUnit1.h"

namespace gui_test {

using platform::ScrollCode;

namespace {

// QScrollBar::initStyleOption is protected; a pointer to it taken through a subclass may be
// called on any scroll bar.
struct StyleOptionAccess : QScrollBar {
  static void Init(const QScrollBar* bar, QStyleOptionSlider* option) {
    void (QScrollBar::*init)(QStyleOptionSlider*) const = &StyleOptionAccess::initStyleOption;
    (bar->*init)(option);
  }
};

const char* const CalvoraValueLabels[] = {"Label2", "Label4", "Label6", "MinLabel", "SecLabel"};

}  // namespace

bool WaitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 10000); }

QRect ScrollBarPart(QScrollBar* bar, QStyle::SubControl part) {
  QStyleOptionSlider option;
  StyleOptionAccess::Init(bar, &option);
  return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

ModalAnswer::ModalAnswer(std::function<bool(QWidget*)> answer) {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, [this, answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || answered_) return;
    timer_.stop();  // not offered again while the answer runs its own modal loops
    answered_ = answer(modal);
    if (!answered_) timer_.start();
  });
  timer_.start();
}

QtProgram::QtProgram(const std::string& program) : program_(program) {
  platform::Application().DestroyForms();
  platform::Application().SetPeer(&peer_);
  if (program == "calvora") {
    form_ = &calvora::CreateForms();
  } else {
    form_ = &vespira::CreateForms();
  }
  window_ = qobject_cast<QMainWindow*>(peer_.WindowOf(*form_));
  auto& bar = static_cast<platform::ScrollBar&>(*form_->FindControl("ScrollBar1"));
  platform::ScrollEvent handler = bar.OnScroll;
  bar.OnScroll = [this, handler](platform::Component* sender, ScrollCode code, int32_t& pos) {
    scrolls_.emplace_back(static_cast<int>(code), pos);
    handler(sender, code, pos);
  };
  startColor_ = platform::qt::ToQColor(form_->FindControl("PB1")->GetColor());
  window_->show();
  window_->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window_));
  EXPECT_TRUE(QTest::qWaitForWindowActive(window_));
}

QtProgram::~QtProgram() {
  peer_.DestroyWindows();
  platform::Application().SetPeer(nullptr);
  platform::Application().DestroyForms();
}

QScrollBar* QtProgram::ScrollBar() const { return window_->findChild<QScrollBar*>("ScrollBar1"); }

platform::qt::PaintBoxWidget* QtProgram::PaintBox() const {
  return dynamic_cast<platform::qt::PaintBoxWidget*>(window_->findChild<QWidget*>("PB1"));
}

void QtProgram::ClickMenu(const char* menuName, const char* itemName) {
  QMenuBar* bar = window_->menuBar();
  auto* menu = window_->findChild<QMenu*>(menuName);
  ASSERT_NE(menu, nullptr) << menuName;
  auto* item = menu->findChild<QAction*>(itemName);
  ASSERT_NE(item, nullptr) << itemName;
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
  ASSERT_TRUE(WaitFor([menu] { return menu->isVisible(); })) << menuName << " did not open";
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

void QtProgram::OpenThroughDialog(const std::string& path) {
  OpenThroughDialog(path, [this] { ClickMenu("File1", "Open1"); });
}

void QtProgram::OpenThroughDialog(const std::string& path, const std::function<void()>& trigger) { AnswerFileDialog(path, trigger); }

void QtProgram::SaveAsThroughDialog(const std::string& path) {
  ModalAnswer replace([](QWidget* modal) {
    auto* question = qobject_cast<QMessageBox*>(modal);
    if (question == nullptr) return false;
    QTest::mouseClick(question->button(QMessageBox::Yes), Qt::LeftButton);
    return true;
  });
  AnswerFileDialog(path, [this] { ClickMenu("File1", "SaveAs1"); });
  ReplaceAsked.push_back(replace.Answered());
}

void QtProgram::AnswerFileDialog(const std::string& path, const std::function<void()>& trigger) {
  ModalAnswer answer([this, path](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return false;
    DialogTitles.push_back(dialog->windowTitle());
    QStringList types;
    if (auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo"))
      for (int i = 0; i < combo->count(); ++i) types.append(combo->itemText(i));
    DialogFileTypes.push_back(types);
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
    const auto accepting = dialog->acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open : QDialogButtonBox::Save;
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>("buttonBox")->button(accepting), Qt::LeftButton);
    return true;
  });
  trigger();
  EXPECT_TRUE(answer.Answered()) << "no file dialog came";
}

std::vector<std::pair<int, int32_t>> QtProgram::TakeScrolls() {
  std::vector<std::pair<int, int32_t>> taken;
  taken.swap(scrolls_);
  return taken;
}

std::vector<std::string> ScrollLines(const std::vector<std::pair<int, int32_t>>& scrolls) {
  std::vector<std::string> lines;
  bool ended = true;  // the last press or release has had its end of scroll
  for (const auto& [code, pos] : scrolls) {
    switch (static_cast<ScrollCode>(code)) {
      case ScrollCode::EndScroll:
        EXPECT_FALSE(ended) << "an end of scroll with no action before it";
        ended = true;
        break;
      case ScrollCode::Track:
        lines.push_back("drag " + std::to_string(pos));
        break;
      case ScrollCode::Position:
        lines.push_back("release " + std::to_string(pos));
        ended = false;
        break;
      default:
        // A held button repeats its code before the one end of scroll.
        lines.push_back("scroll " + std::to_string(code));
        ended = false;
        break;
    }
  }
  EXPECT_TRUE(ended) << "the last action had no end of scroll";
  return lines;
}

Seen QtProgram::Look() const {
  Seen seen;
  seen.Picture = PaintBox()->Image();
  seen.Thumb = ScrollBar()->value();
  if (program_ == "calvora") {
    for (const char* name : CalvoraValueLabels)
      seen.Labels.emplace_back(name, platform::qt::ToLatin1(window_->findChild<QLabel*>(name)->text()));
    for (int i = 1; i <= 4; ++i)
      if (window_->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(i))->isChecked()) seen.Checked = i;
  }
  const QString text = window_->findChild<QPlainTextEdit*>("RichEdit1")->toPlainText();
  if (!text.isEmpty())
    for (const QString& line : text.split(QChar(u'\n'))) seen.Rich.push_back(platform::qt::ToLatin1(line));
  seen.Status = window_->findChild<QLabel*>("StatusBar1")->toolTip().toStdString();
  return seen;
}

void ExpectHeadlessShowsTheSame(const std::string& program, const QColor& startColor, const std::vector<Step>& steps) {
  testing_support::Viewer viewer(program);
  const QSize size = steps.empty() ? QSize() : steps.front().After.Picture.size();
  platform::qt::ImageCanvas canvas(size, startColor.rgb() & 0xFFFFFF);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.What);
    EXPECT_FALSE(step.Lines.empty()) << "the real window's action produced nothing to replay";
    viewer_script::Snapshot snap;
    for (const std::string& line : step.Lines) {
      snap = viewer.Do(line);
      for (const platform::CanvasOp& op : snap.Canvas) {
        if (op.Op == platform::CanvasOp::Kind::Fill) {
          canvas.FillRect(op.Rect, op.Color);
        } else {
          canvas.Polyline(op.Points, op.Color);
        }
      }
    }
    const Seen& real = step.After;
    if (real.Picture != canvas.Image()) {
      int differing = 0;
      QPoint first(-1, -1);
      for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
          if (real.Picture.pixel(x, y) != canvas.Image().pixel(x, y) && differing++ == 0) first = QPoint(x, y);
      ADD_FAILURE() << "the paint box differs from the headless canvas in " << differing << " pixels, first at (" << first.x() << ","
                    << first.y() << ")";
    }
    EXPECT_EQ(real.Thumb, snap.Thumb);
    EXPECT_EQ(real.Labels, snap.Labels);
    EXPECT_EQ(real.Rich, snap.Rich);
    EXPECT_EQ(real.Status, snap.Status);
    EXPECT_EQ(real.Checked, snap.Checked.value_or(0));
  }
}

}  // namespace gui_test
