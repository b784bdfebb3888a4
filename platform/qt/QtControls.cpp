// The controls' widgets. Every Qt event handler and signal handler that reaches a model runs
// through platform::Dispatch, so no exception ever crosses Qt's event loop.
#include "QtControls.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace platform::qt {

// --- Conversions -------------------------------------------------------------------------

QString Latin1(const std::string& bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); }

std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

QColor ToQColor(Color color) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (color & 0xFFFFFFu))); }

QString OneLine(const std::string& bytes) {
  QString line = Latin1(bytes);
  for (QChar& c : line) {
    const char16_t u = c.unicode();
    if ((u < 0x20 && u != u'\t') || (u >= 0x7F && u < 0xA0)) c = QChar(QChar::ReplacementCharacter);
  }
  return line;
}

QPixmap ResourcePicture(const std::string& name) {
  if (name.empty()) return {};
  return QPixmap(QStringLiteral(":/icons/") + Latin1(name) + QStringLiteral(".png"));
}

QFont FormFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  // The sans serif faces found in its place run wider than the design's; semi-condensed, the
  // designed captions fit their controls (the radio buttons of a column overlap the next).
  font.setStretch(QFont::SemiCondensed);
  return font;
}

namespace {

void PlaceAtDesign(QWidget* widget, const Control& model) { widget->setGeometry(model.Left, model.Top, model.Width, model.Height); }

void SetBackground(QWidget* widget, QPalette::ColorRole role, Color color) {
  QPalette palette = widget->palette();
  palette.setColor(role, ToQColor(color));
  widget->setPalette(palette);
}

}  // namespace

// --- Paint box ---------------------------------------------------------------------------

namespace {

QImage BlankPicture(QSize size, Color background, qreal devicePixelRatio) {
  QImage image(qCeil(size.width() * devicePixelRatio), qCeil(size.height() * devicePixelRatio), QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(ToQColor(background));
  return image;
}

}  // namespace

ImageCanvas::ImageCanvas(QSize size, Color background, qreal devicePixelRatio)
    : size_(size), image_(BlankPicture(size, background, devicePixelRatio)) {}

void ImageCanvas::FillRect(const Rect& rect, Color brush) {
  // The rectangle excludes its right and bottom edges; computed in 64 bits so that no corner
  // near the ends of the 32-bit range can wrap before the clip.
  const int64_t left = std::max<int64_t>(rect.Left, 0);
  const int64_t top = std::max<int64_t>(rect.Top, 0);
  const int64_t right = std::min<int64_t>(rect.Right, size_.width());
  const int64_t bottom = std::min<int64_t>(rect.Bottom, size_.height());
  if (right <= left || bottom <= top) return;
  QPainter painter(&image_);
  painter.fillRect(QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left), static_cast<int>(bottom - top)),
                   ToQColor(brush));
}

void ImageCanvas::Polyline(std::span<const Point> points, Color pen) {
  if (points.empty()) return;
  QList<QPoint> qpoints;
  qpoints.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) qpoints.append(QPoint(p.x, p.y));
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  QPen qpen(ToQColor(pen));
  qpen.setWidth(1);  // one paint-box pixel: ratio device pixels wide
  painter.setPen(qpen);
  // An aliased pen wider than one device pixel is laid around the point, a one-pixel pen right
  // of and below it; shifted by half its width (in whole device pixels) the line covers exactly
  // the device pixels of the paint-box pixels it passes, as at ratio 1.
  const qreal ratio = image_.devicePixelRatio();
  const qreal shift = std::floor(ratio / 2) / ratio;
  painter.translate(shift, shift);
  painter.drawPolyline(qpoints.constData(), static_cast<int>(qpoints.size()));
}

void ImageCanvas::Resize(QSize size, Color background, qreal devicePixelRatio) {
  if (size == size_ && devicePixelRatio == image_.devicePixelRatio()) return;
  QImage resized = BlankPicture(size, background, devicePixelRatio);
  QPainter painter(&resized);
  painter.drawImage(QPointF(0, 0), image_);  // at its size in paint-box pixels, not smoothed
  painter.end();
  size_ = size;
  image_ = std::move(resized);
}

PaintBoxWidget::PaintBoxWidget(PaintBox& model, QWidget* parent)
    : QWidget(parent), PeerOf<PaintBox>(model), canvas_(QSize(model.Width, model.Height), model.GetColor(), devicePixelRatioF()) {
  setObjectName(Latin1(model.Name));
  setAttribute(Qt::WA_OpaquePaintEvent);
  model.Canvas.Sink = this;
  ModelChanged();
}

PaintBoxWidget::~PaintBoxWidget() {
  if (model().Canvas.Sink == this) model().Canvas.Sink = nullptr;
}

void PaintBoxWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  canvas_.Resize(QSize(model().Width, model().Height), model().GetColor(), devicePixelRatioF());
}

void PaintBoxWidget::FollowDevicePixelRatio() {
  if (devicePixelRatioF() != canvas_.DevicePixelRatio()) canvas_.Resize(canvas_.Size(), model().GetColor(), devicePixelRatioF());
}

void PaintBoxWidget::FillRect(const Rect& rect, Color brush) {
  FollowDevicePixelRatio();
  canvas_.FillRect(rect, brush);
  update();
}

void PaintBoxWidget::Polyline(std::span<const Point> points, Color pen) {
  FollowDevicePixelRatio();
  canvas_.Polyline(points, pen);
  update();
}

void PaintBoxWidget::paintEvent(QPaintEvent*) {
  FollowDevicePixelRatio();
  QPainter painter(this);
  painter.drawImage(QPointF(0, 0), canvas_.Image());
}

// --- Scroll bar --------------------------------------------------------------------------

namespace {

// The scroll bar being reproduced has neither a context menu nor a click that jumps the thumb
// to the mouse: the trough always pages, whatever the style or modifier keys say.
class ScrollBarStyle : public QProxyStyle {
 public:
  explicit ScrollBarStyle(QStyle* base) : QProxyStyle(base) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returned) const override {
    switch (hint) {
      case SH_ScrollBar_LeftClickAbsolutePosition:
      case SH_ScrollBar_MiddleClickAbsolutePosition:
      case SH_ScrollBar_ContextMenu:
        return 0;
      default:
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
  }
};

// One style shared by every scroll bar, made from the application's style and owned by the
// application object.
QStyle* SharedScrollBarStyle() {
  static QPointer<QStyle> style;
  if (style.isNull()) {
    style = new ScrollBarStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(qApp);
  }
  return style.data();
}

// How long a key release waits for the press that would show it to be part of a held key's
// auto-repeat: under X such a release/press pair sometimes arrives without the auto-repeat flag.
constexpr int KeyReleaseSettleMs = 25;

std::optional<ScrollCode> KeyScrollCode(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up: return ScrollCode::LineUp;
    case Qt::Key_Right:
    case Qt::Key_Down: return ScrollCode::LineDown;
    case Qt::Key_PageUp: return ScrollCode::PageUp;
    case Qt::Key_PageDown: return ScrollCode::PageDown;
    case Qt::Key_Home: return ScrollCode::Top;
    case Qt::Key_End: return ScrollCode::Bottom;
    default: return std::nullopt;
  }
}

}  // namespace

ScrollBarWidget::ScrollBarWidget(ScrollBar& model, QWidget* parent) : QScrollBar(Qt::Horizontal, parent), PeerOf<ScrollBar>(model) {
  setObjectName(Latin1(model.Name));
  setStyle(SharedScrollBarStyle());
  setFocusPolicy(model.TabStop ? Qt::StrongFocus : Qt::ClickFocus);
  keyEnd_.setSingleShot(true);
  keyEnd_.setInterval(KeyReleaseSettleMs);
  connect(&keyEnd_, &QTimer::timeout, this, [this] { Dispatch([this] { EndKeyAction(); }); });
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { Dispatch([&] { OnAction(action); }); });
  connect(this, &QAbstractSlider::sliderMoved, this, [this](int position) { Dispatch([&] { OnSliderMoved(position); }); });
  connect(this, &QAbstractSlider::sliderReleased, this, [this] { Dispatch([this] { OnSliderReleased(); }); });
  ModelChanged();
}

void ScrollBarWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  Mirror();
}

// The model's range, increments and position, written without signals. While the thumb is
// dragged it stays under the mouse; the release shows the model's position again.
void ScrollBarWidget::Mirror() {
  if (isSliderDown()) return;
  const QSignalBlocker blocker(this);
  setRange(model().Min(), model().Max());
  setSingleStep(std::max(0, model().SmallChange));
  setPageStep(std::max(0, model().LargeChange));
  setValue(model().Position());
}

// An arrow or trough press, and each repeat while it is held. Qt has already moved its own
// slider position by its step; showing the model's position afterwards undoes that.
void ScrollBarWidget::OnAction(int action) {
  ScrollCode code;
  switch (action) {
    case SliderSingleStepSub: code = ScrollCode::LineUp; break;
    case SliderSingleStepAdd: code = ScrollCode::LineDown; break;
    case SliderPageStepSub: code = ScrollCode::PageUp; break;
    case SliderPageStepAdd: code = ScrollCode::PageDown; break;
    default: return;  // thumb moves are handled as sliderMoved
  }
  buttonHeld_ = true;
  model().Scroll(code);
  Mirror();
}

void ScrollBarWidget::OnSliderMoved(int position) { model().Track(position); }

void ScrollBarWidget::OnSliderReleased() {
  model().Release(sliderPosition());
  Mirror();
}

void ScrollBarWidget::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;  // no middle-click jump, no other button
  Dispatch([&] {
    EndKeyAction();
    Mirror();  // the current increments before Qt acts on the press
    QScrollBar::mousePressEvent(event);
  });
}

void ScrollBarWidget::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  Dispatch([&] {
    QScrollBar::mouseReleaseEvent(event);  // ends the repeat; a dragged thumb's release
    if (buttonHeld_) {
      buttonHeld_ = false;
      model().EndScroll();
      Mirror();
    }
  });
}

void ScrollBarWidget::keyPressEvent(QKeyEvent* event) {
  const std::optional<ScrollCode> code = KeyScrollCode(event->key());
  if (!code || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    event->ignore();
    return;
  }
  event->accept();
  Dispatch([&] {
    if (keyEnd_.isActive()) {
      keyEnd_.stop();
      // The same key pressed again at once is its auto-repeat: the action goes on.
      if (heldKey_ != event->key()) EndKeyAction();
    }
    heldKey_ = event->key();
    model().Scroll(*code);
    Mirror();
  });
}

void ScrollBarWidget::keyReleaseEvent(QKeyEvent* event) {
  if (!KeyScrollCode(event->key())) {
    event->ignore();
    return;
  }
  event->accept();
  if (event->isAutoRepeat() || heldKey_ != event->key()) return;
  keyEnd_.start();
}

void ScrollBarWidget::EndKeyAction() {
  keyEnd_.stop();
  if (!heldKey_) return;
  heldKey_.reset();
  model().EndScroll();
  Mirror();
}

// A key held while the focus leaves never reports its release here: its action ends now.
void ScrollBarWidget::focusOutEvent(QFocusEvent* event) {
  Dispatch([this] { EndKeyAction(); });
  QScrollBar::focusOutEvent(event);
}

void ScrollBarWidget::wheelEvent(QWheelEvent* event) { event->ignore(); }

void ScrollBarWidget::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

// --- Text ---------------------------------------------------------------------------------

RichEditWidget::RichEditWidget(RichEdit& model, QWidget* parent) : QPlainTextEdit(parent), PeerOf<RichEdit>(model) {
  setObjectName(Latin1(model.Name));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
  document()->setDocumentMargin(1);
  setFocusPolicy(model.TabStop ? Qt::StrongFocus : Qt::ClickFocus);
  connect(this, &QPlainTextEdit::textChanged, this, [this] { Dispatch([this] { OnTextChanged(); }); });
  ModelChanged();
}

QString RichEditWidget::ModelText() const {
  QStringList lines;
  for (const std::string& line : model().Lines()) lines.append(OneLine(line));
  return lines.join(QChar(u'\n'));
}

void RichEditWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  setReadOnly(model().ReadOnly);
  setFrameShape(model().Border ? QFrame::StyledPanel : QFrame::NoFrame);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, ToQColor(model().GetColor()));
  setPalette(palette);
  const QString text = ModelText();
  if (text == toPlainText()) return;  // e.g. the echo of the user's own typing
  mirroring_ = true;
  setPlainText(text);
  mirroring_ = false;
}

void RichEditWidget::OnTextChanged() {
  if (mirroring_) return;
  std::vector<std::string> lines;
  for (const QString& line : toPlainText().split(QChar(u'\n'))) lines.push_back(ToLatin1(line));
  model().UserEdit(std::move(lines));
}

StatusBarWidget::StatusBarWidget(StatusBar& model, QWidget* parent) : QLabel(parent), PeerOf<StatusBar>(model) {
  setObjectName(Latin1(model.Name));
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setIndent(4);
  setFrameShape(QFrame::NoFrame);
  setAutoFillBackground(true);
  ModelChanged();
}

void StatusBarWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  const QString full = QFile::decodeName(QByteArray::fromStdString(model().SimpleText()));
  setText(fontMetrics().elidedText(full, Qt::ElideMiddle, std::max(0, width() - 2 * indent())));
  setToolTip(full);
}

LabelWidget::LabelWidget(Label& model, QWidget* parent) : QLabel(parent), PeerOf<Label>(model) {
  setObjectName(Latin1(model.Name));
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ModelChanged();
}

void LabelWidget::ModelChanged() {
  setWordWrap(model().WordWrap);
  setText(Latin1(model().Caption()));
  const QSize hint = sizeHint();
  if (model().WordWrap) {
    setGeometry(model().Left, model().Top, model().Width, std::max(model().Height, heightForWidth(model().Width)));
  } else {
    setGeometry(model().Left, model().Top, std::max(model().Width, hint.width()), std::max(model().Height, hint.height()));
  }
}

GroupBoxWidget::GroupBoxWidget(GroupBox& model, QWidget* parent) : QGroupBox(parent), PeerOf<GroupBox>(model) {
  setObjectName(Latin1(model.Name));
  ModelChanged();
}

void GroupBoxWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  setTitle(Latin1(model().Caption()));
}

RadioButtonWidget::RadioButtonWidget(RadioButton& model, QWidget* parent) : QRadioButton(parent), PeerOf<RadioButton>(model) {
  setObjectName(Latin1(model.Name));
  setAutoExclusive(false);
  connect(this, &QAbstractButton::clicked, this, [this] {
    Dispatch([this] {
      this->model().Click();
      ModelChanged();  // clicking the checked button changes nothing, and shows so
    });
  });
  ModelChanged();
}

void RadioButtonWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  setText(Latin1(model().Caption()));
  setChecked(model().Checked());
  // As in a group of radio buttons, only the checked one is a tab stop.
  setFocusPolicy(model().Checked() ? Qt::StrongFocus : Qt::ClickFocus);
}

// The arrow keys move to the neighbouring button of the group and click it.
void RadioButtonWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const int step = (key == Qt::Key_Down || key == Qt::Key_Right) ? 1 : (key == Qt::Key_Up || key == Qt::Key_Left) ? -1 : 0;
  if (step == 0 || event->modifiers() != Qt::NoModifier) {
    QRadioButton::keyPressEvent(event);
    return;
  }
  event->accept();
  Dispatch([&] {
    std::vector<RadioButtonWidget*> group;
    for (QObject* sibling : parentWidget()->children())
      if (auto* radio = dynamic_cast<RadioButtonWidget*>(sibling)) group.push_back(radio);
    const auto self = std::find(group.begin(), group.end(), this);
    if (group.size() < 2 || self == group.end()) return;
    const auto count = static_cast<std::ptrdiff_t>(group.size());
    RadioButtonWidget* next = group[static_cast<std::size_t>(((self - group.begin()) + step + count) % count)];
    next->setFocus(Qt::OtherFocusReason);
    next->click();
  });
}

PanelWidget::PanelWidget(Panel& model, QWidget* parent) : QWidget(parent), PeerOf<Panel>(model) {
  setObjectName(Latin1(model.Name));
  ModelChanged();
}

void PanelWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  setAutoFillBackground(true);
  SetBackground(this, QPalette::Window, model().GetColor());
  update();
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect edge = rect().adjusted(0, 0, -1, -1);
  // A lowered bevel is dark at the top and left and light at the bottom and right; a raised one
  // the other way round. The outer bevel is drawn first, the inner one just inside it.
  for (const Panel::Bevel bevel : {model().BevelOuter, model().BevelInner}) {
    if (bevel == Panel::Bevel::None) continue;
    const QColor topLeft = bevel == Panel::Bevel::Lowered ? palette().color(QPalette::Dark) : palette().color(QPalette::Light);
    const QColor bottomRight = bevel == Panel::Bevel::Lowered ? palette().color(QPalette::Light) : palette().color(QPalette::Dark);
    painter.setPen(topLeft);
    painter.drawLine(edge.topLeft(), edge.topRight());
    painter.drawLine(edge.topLeft(), edge.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(edge.bottomLeft(), edge.bottomRight());
    painter.drawLine(edge.topRight(), edge.bottomRight());
    edge.adjust(1, 1, -1, -1);
  }
}

ImageWidget::ImageWidget(Image& model, QWidget* parent) : QLabel(parent), PeerOf<Image>(model) {
  setObjectName(Latin1(model.Name));
  ModelChanged();
}

void ImageWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  setScaledContents(model().Stretch);
  setPixmap(ResourcePicture(model().Picture));
}

ButtonWidget::ButtonWidget(Button& model, QWidget* parent) : QPushButton(parent), PeerOf<Button>(model) {
  setObjectName(Latin1(model.Name));
  connect(this, &QAbstractButton::clicked, this, [this] { Dispatch([this] { OnClicked(); }); });
  ModelChanged();
}

void ButtonWidget::ModelChanged() {
  PlaceAtDesign(this, model());
  setText(Latin1(model().Caption()));
  setDefault(model().Default);
  setAutoDefault(model().Default);
  setFocusPolicy(model().TabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void ButtonWidget::OnClicked() {
  model().Click();
  Control* top = &model();
  while (top->Parent != nullptr) top = top->Parent;
  if (top->Kind != ControlKind::Form) return;
  const int32_t result = static_cast<Form*>(top)->ModalResult;
  if (auto* dialog = qobject_cast<QDialog*>(window()); dialog != nullptr && result != mrNone) dialog->done(result);
}

// --- Building ----------------------------------------------------------------------------

namespace {

QWidget* CreateWidget(Control& c, QWidget* parent) {
  switch (c.Kind) {
    case ControlKind::PaintBox: return new PaintBoxWidget(static_cast<PaintBox&>(c), parent);
    case ControlKind::ScrollBar: return new ScrollBarWidget(static_cast<ScrollBar&>(c), parent);
    case ControlKind::RichEdit: return new RichEditWidget(static_cast<RichEdit&>(c), parent);
    case ControlKind::StatusBar: return new StatusBarWidget(static_cast<StatusBar&>(c), parent);
    case ControlKind::Label: return new LabelWidget(static_cast<Label&>(c), parent);
    case ControlKind::GroupBox: return new GroupBoxWidget(static_cast<GroupBox&>(c), parent);
    case ControlKind::RadioButton: return new RadioButtonWidget(static_cast<RadioButton&>(c), parent);
    case ControlKind::Panel: return new PanelWidget(static_cast<Panel&>(c), parent);
    case ControlKind::Image: return new ImageWidget(static_cast<Image&>(c), parent);
    case ControlKind::Button: return new ButtonWidget(static_cast<Button&>(c), parent);
    case ControlKind::Form: break;
  }
  return nullptr;
}

}  // namespace

std::vector<QWidget*> BuildControls(const Control& container, QWidget* parent) {
  // Widgets are created in design order (which decides their stacking); the focus chain follows
  // the design's tab order, through group boxes and panels, design order among equals.
  struct Entry {
    int64_t TabOrder;
    std::vector<QWidget*> Focusable;
  };
  std::vector<Entry> entries;
  for (Control* child : container.Children) {
    QWidget* widget = CreateWidget(*child, parent);
    if (widget == nullptr) continue;
    Entry entry{child->TabOrder < 0 ? INT64_MAX : child->TabOrder, {}};
    if (widget->focusPolicy() != Qt::NoFocus) entry.Focusable.push_back(widget);
    const std::vector<QWidget*> inner = BuildControls(*child, widget);
    entry.Focusable.insert(entry.Focusable.end(), inner.begin(), inner.end());
    entries.push_back(std::move(entry));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.TabOrder < b.TabOrder; });
  std::vector<QWidget*> focusable;
  for (const Entry& entry : entries) focusable.insert(focusable.end(), entry.Focusable.begin(), entry.Focusable.end());
  return focusable;
}

}  // namespace platform::qt
