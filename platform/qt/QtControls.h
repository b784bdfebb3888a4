// The Qt 6 Widgets realisation of the controls: one widget class per ControlKind, each the
// peer of its model. A widget shows its model (ModelChanged mirrors every property it draws)
// and turns the user's input into the model's user actions; it never decides anything the
// model decides. Everything here runs on the GUI thread. Model texts are single-byte and shown
// as Latin-1.
#pragma once

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "Controls.h"

namespace platform::qt {

// --- Conversions -------------------------------------------------------------------------

QString Latin1(const std::string& bytes);
std::string ToLatin1(const QString& text);  // characters outside Latin-1 become '?'
QColor ToQColor(Color color);

// A model line as one visual line: control characters (other than tab) become U+FFFD, so a
// title holding CR, LF or other control bytes still occupies exactly one line.
QString OneLine(const std::string& bytes);

// The program icon or picture of a resource name ("calvora" -> ":/icons/calvora.png"); a null
// pixmap when the program carries no such resource.
QPixmap ResourcePicture(const std::string& name);

// The font of the forms' design: an 11-pixel sans serif.
QFont FormFont();

// --- Peers -------------------------------------------------------------------------------

// Attaches a widget to its model for the widget's lifetime.
template <class Model>
class PeerOf : public ControlPeer {
 public:
  Model& model() const { return model_; }

 protected:
  explicit PeerOf(Model& model) : model_(model) { model_.Peer = this; }
  ~PeerOf() override {
    if (model_.Peer == this) model_.Peer = nullptr;
  }

 private:
  Model& model_;
};

// --- Paint box ---------------------------------------------------------------------------

// A paint box's picture: canvas operations painted onto an RGB32 image, aliased, with a pen one
// paint-box pixel wide. Coordinates are paint-box pixels; the image holds them at the screen's
// device pixel ratio (size × ratio device pixels), so the picture stays sharp on a high-density
// screen. Fills are clipped to the paint box; points far outside it are clipped by the painter.
class ImageCanvas : public CanvasSink {
 public:
  ImageCanvas(QSize size, Color background, qreal devicePixelRatio = 1);
  void FillRect(const Rect& rect, Color brush) override;
  void Polyline(std::span<const Point> points, Color pen) override;
  // The picture in device pixels, carrying its device pixel ratio.
  const QImage& Image() const { return image_; }
  QSize Size() const { return size_; }
  qreal DevicePixelRatio() const { return image_.devicePixelRatio(); }
  // A new size or ratio keeps the picture's top-left part (enlarged or reduced pixel by pixel
  // to the new ratio) and fills the rest with the background.
  void Resize(QSize size, Color background, qreal devicePixelRatio);

 private:
  QSize size_;  // in paint-box pixels
  QImage image_;
};

// The paint box keeps its picture in an image: what a command draws stays on screen through
// any repaint, and the picture changes only when a command clears or draws.
class PaintBoxWidget final : public QWidget, public PeerOf<PaintBox>, public CanvasSink {
 public:
  PaintBoxWidget(PaintBox& model, QWidget* parent);
  ~PaintBoxWidget() override;
  void ModelChanged() override;
  void FillRect(const Rect& rect, Color brush) override;
  void Polyline(std::span<const Point> points, Color pen) override;
  const QImage& Image() const { return canvas_.Image(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The picture follows the widget's device pixel ratio (e.g. after a move to another screen).
  void FollowDevicePixelRatio();
  ImageCanvas canvas_;
};

// --- Scroll bar --------------------------------------------------------------------------

// A horizontal QScrollBar whose user input becomes the model's actions in the control's order:
// an arrow or trough press Scroll(LineUp/LineDown/PageUp/PageDown), repeated while held, then
// EndScroll() on release; each move of the dragged thumb Track(pos), its release Release(pos);
// keys while focused Scroll(code) per press (also auto-repeated) and EndScroll() on release.
// The widget never moves its thumb for an arrow or the trough by itself: after every action
// it shows the model's position again, except while the thumb is dragged, when the thumb
// follows the mouse. valueChanged is never used: Qt emits it for reasons of its own.
class ScrollBarWidget final : public QScrollBar, public PeerOf<ScrollBar> {
 public:
  ScrollBarWidget(ScrollBar& model, QWidget* parent);
  void ModelChanged() override;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void Mirror();
  void OnAction(int action);
  void OnSliderMoved(int position);
  void OnSliderReleased();
  void EndKeyAction();

  bool buttonHeld_ = false;       // an arrow or the trough is pressed with the mouse
  std::optional<int> heldKey_;    // the key whose action is under way
  QTimer keyEnd_;                 // the end of a key's action, debounced
};

// --- Text ---------------------------------------------------------------------------------

// Each model line on one visual line, no wrapping. Not read-only: what the user types becomes
// the model's lines.
class RichEditWidget final : public QPlainTextEdit, public PeerOf<RichEdit> {
 public:
  RichEditWidget(RichEdit& model, QWidget* parent);
  void ModelChanged() override;

 private:
  QString ModelText() const;
  void OnTextChanged();
  bool mirroring_ = false;
};

// The status bar's strip at its design rectangle, showing the simple text (a file name, in the
// local file name encoding) elided in the middle when it does not fit.
class StatusBarWidget final : public QLabel, public PeerOf<StatusBar> {
 public:
  StatusBarWidget(StatusBar& model, QWidget* parent);
  void ModelChanged() override;
};

// A label sizes itself to its text, as the designed labels do; a word-wrapped one keeps its
// width and grows downwards.
class LabelWidget final : public QLabel, public PeerOf<Label> {
 public:
  LabelWidget(Label& model, QWidget* parent);
  void ModelChanged() override;
};

class GroupBoxWidget final : public QGroupBox, public PeerOf<GroupBox> {
 public:
  GroupBoxWidget(GroupBox& model, QWidget* parent);
  void ModelChanged() override;
};

// A click is the model's Click(): the model's group rule decides which button is checked, and
// the widget never checks or unchecks itself.
class RadioButtonWidget final : public QRadioButton, public PeerOf<RadioButton> {
 public:
  RadioButtonWidget(RadioButton& model, QWidget* parent);
  void ModelChanged() override;

 protected:
  void nextCheckState() override {}
  void keyPressEvent(QKeyEvent* event) override;
};

// A panel with its outer and inner bevels.
class PanelWidget final : public QWidget, public PeerOf<Panel> {
 public:
  PanelWidget(Panel& model, QWidget* parent);
  void ModelChanged() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class ImageWidget final : public QLabel, public PeerOf<Image> {
 public:
  ImageWidget(Image& model, QWidget* parent);
  void ModelChanged() override;
};

// A click is the model's Click(); a modal result it gives closes the dialog showing the form.
class ButtonWidget final : public QPushButton, public PeerOf<Button> {
 public:
  ButtonWidget(Button& model, QWidget* parent);
  void ModelChanged() override;

 private:
  void OnClicked();
};

// --- Building ----------------------------------------------------------------------------

// Creates the widgets of `container`'s children (and theirs) inside `parent`, at their design
// positions, and returns the focusable ones in tab order.
std::vector<QWidget*> BuildControls(const Control& container, QWidget* parent);

}  // namespace platform::qt
