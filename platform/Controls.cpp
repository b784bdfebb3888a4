// Models of the controls: property changes notify the realisation's peer; user actions run
// the bound handlers through Dispatch.
#include "Controls.h"

#include <algorithm>

#include "Application.h"

namespace platform {

Control::Control(std::string name, ControlKind kind, Control* parent)
    : Component(std::move(name)), Kind(kind), Parent(parent) {
  if (parent != nullptr) parent->Children.push_back(this);
}

void Control::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  Left = left;
  Top = top;
  Width = width;
  Height = height;
  Changed();
}

void Control::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

Color Control::GetColor() const {
  if (ParentColor && Parent != nullptr) return Parent->GetColor();
  return color_;
}

void Control::SetColor(Color color) {
  color_ = color;
  ParentColor = false;
  Changed();
}

void Control::Changed() {
  if (Peer != nullptr) Peer->ModelChanged();
}

void Canvas::FillRect(const Rect& rect) {
  if (Sink != nullptr) Sink->FillRect(rect, BrushColor);
}

void Canvas::Polyline(std::span<const Point> points) {
  if (Sink != nullptr) Sink->Polyline(points, PenColor);
}

PaintBox::PaintBox(std::string name, Control* parent) : Control(std::move(name), ControlKind::PaintBox, parent) {
  Canvas.BrushColor = GetColor();
}

void PaintBox::SetColor(Color color) {
  Control::SetColor(color);
  Canvas.BrushColor = color;
}

// --- Scroll bar ----------------------------------------------------------------------------

ScrollBar::ScrollBar(std::string name, Control* parent) : Control(std::move(name), ControlKind::ScrollBar, parent) {}

int32_t ScrollBar::Clamp(int32_t value) const { return std::clamp(value, min_, std::max(min_, max_)); }

void ScrollBar::SetMin(int32_t value) {
  min_ = value;
  if (max_ < min_) max_ = min_;
  SetPosition(position_);
  Changed();
}

void ScrollBar::SetMax(int32_t value) {
  max_ = value;
  if (min_ > max_) min_ = max_;
  SetPosition(position_);
  Changed();
}

void ScrollBar::SetPosition(int32_t value) {
  const int32_t position = Clamp(value);
  if (position == position_) return;
  position_ = position;
  Changed();
  if (OnChange) OnChange(this);
}

void ScrollBar::Perform(ScrollCode code, int32_t proposed) {
  int32_t pos = Clamp(proposed);
  if (OnScroll) OnScroll(this, code, pos);
  SetPosition(pos);
}

void ScrollBar::Scroll(ScrollCode code) {
  Dispatch([&] {
    // The proposed position uses the 64-bit sum: a position near the end of the range plus a
    // change cannot wrap.
    const int64_t p = position_;
    int64_t proposed = p;
    switch (code) {
      case ScrollCode::LineUp: proposed = p - SmallChange; break;
      case ScrollCode::LineDown: proposed = p + SmallChange; break;
      case ScrollCode::PageUp: proposed = p - LargeChange; break;
      case ScrollCode::PageDown: proposed = p + LargeChange; break;
      case ScrollCode::Top: proposed = min_; break;
      case ScrollCode::Bottom: proposed = max_; break;
      default: break;
    }
    Perform(code, static_cast<int32_t>(std::clamp<int64_t>(proposed, min_, std::max(min_, max_))));
  });
}

void ScrollBar::EndScroll() {
  Dispatch([&] { Perform(ScrollCode::EndScroll, position_); });
}

void ScrollBar::Track(int32_t position) {
  Dispatch([&] { Perform(ScrollCode::Track, position); });
}

void ScrollBar::Release(int32_t position) {
  Dispatch([&] {
    Perform(ScrollCode::Position, position);
    Perform(ScrollCode::EndScroll, position_);
  });
}

// --- Text controls ---------------------------------------------------------------------------

Label::Label(std::string name, Control* parent, std::string caption) : Control(std::move(name), ControlKind::Label, parent) {
  SetCaption(std::move(caption));
}

RichEdit::RichEdit(std::string name, Control* parent) : Control(std::move(name), ControlKind::RichEdit, parent) {}

void RichEdit::Clear() {
  lines_.clear();
  Changed();
}

void RichEdit::InsertLine(std::size_t index, std::string line) {
  index = std::min(index, lines_.size());
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
  Changed();
}

void RichEdit::UserEdit(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed();
}

StatusBar::StatusBar(std::string name, Control* parent) : Control(std::move(name), ControlKind::StatusBar, parent) {}

void StatusBar::SetSimpleText(std::string text) {
  simpleText_ = std::move(text);
  Changed();
}

GroupBox::GroupBox(std::string name, Control* parent, std::string caption)
    : Control(std::move(name), ControlKind::GroupBox, parent) {
  SetCaption(std::move(caption));
}

RadioButton::RadioButton(std::string name, Control* parent, std::string caption)
    : Control(std::move(name), ControlKind::RadioButton, parent) {
  SetCaption(std::move(caption));
}

void RadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked && Parent != nullptr) {
    for (Control* sibling : Parent->Children)
      if (sibling != this && sibling->Kind == ControlKind::RadioButton) static_cast<RadioButton*>(sibling)->SetChecked(false);
  }
  Changed();
  if (checked && OnClick) OnClick(this);
}

void RadioButton::Click() {
  Dispatch([&] { SetChecked(true); });
}

Panel::Panel(std::string name, Control* parent) : Control(std::move(name), ControlKind::Panel, parent) {}

Image::Image(std::string name, Control* parent) : Control(std::move(name), ControlKind::Image, parent) {}

Button::Button(std::string name, Control* parent, std::string caption) : Control(std::move(name), ControlKind::Button, parent) {
  SetCaption(std::move(caption));
}

void Button::Click() {
  Dispatch([&] {
    if (OnClick) OnClick(this);
    Control* top = this;
    while (top->Parent != nullptr) top = top->Parent;
    if (ModalResult != mrNone && top->Kind == ControlKind::Form) static_cast<Form*>(top)->ModalResult = ModalResult;
  });
}

// --- Menus and dialogs --------------------------------------------------------------------

MenuItem::MenuItem(std::string name, std::string caption, platform::ShortCut shortCut)
    : Component(std::move(name)), Caption(std::move(caption)), ShortCut(shortCut) {}

void MenuItem::Click() {
  Dispatch([&] {
    if (OnClick) OnClick(this);
  });
}

bool FileDialog::Execute() {
  std::optional<std::string> chosen = Application().Peer().ExecuteFileDialog(*this);
  if (!chosen) return false;
  FileName = std::move(*chosen);
  return true;
}

// --- Forms ---------------------------------------------------------------------------------

Form::Form(std::string name) : Control(std::move(name), ControlKind::Form, nullptr) { ParentColor = false; }

int32_t Form::ShowModal() {
  ModalResult = mrNone;
  return Application().Peer().ShowModal(*this);
}

std::vector<Control*> Form::AllControls() {
  std::vector<Control*> all;
  std::vector<Control*> pending(Children.rbegin(), Children.rend());
  while (!pending.empty()) {
    Control* c = pending.back();
    pending.pop_back();
    all.push_back(c);
    pending.insert(pending.end(), c->Children.rbegin(), c->Children.rend());
  }
  return all;
}

Control* Form::FindControl(const std::string& name) {
  for (Control* c : AllControls())
    if (c->Name == name) return c;
  return nullptr;
}

void Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    Application().ShowException(e);
  } catch (...) {
    Application().ShowException(std::string("Unknown exception."));
  }
}

}  // namespace platform
