// The control layer: models of the controls the forms are built from (form, paint box and its
// canvas, scroll bar, labels, rich edit, status bar, group box, radio buttons, panel, image,
// button, menus, file dialogs). The behaviour lives here, in plain C++: a realisation (headless,
// or Qt in platform/qt) only shows a model and feeds user input into it through the user-action
// methods, which are the only entry points that catch a handler's exception and report it
// through the application.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ViewerState.h"

namespace platform {

using recording::Point;

struct Rect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

using Color = uint32_t;  // 0xRRGGBB
inline constexpr Color clBlack = 0x000000;
inline constexpr Color clWhite = 0xFFFFFF;
inline constexpr Color clBtnFace = 0xF0F0F0;

class Component;
using NotifyEvent = std::function<void(Component* Sender)>;

// A realisation's view of one control: told after every change of the model it shows.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void ModelChanged() = 0;
};

class Component {
 public:
  explicit Component(std::string name) : Name(std::move(name)) {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string Name;
};

enum class ControlKind { Form, PaintBox, ScrollBar, RichEdit, StatusBar, Label, GroupBox, RadioButton, Panel, Image, Button };

// A visible control at its design position (pixels, relative to its parent's client area).
class Control : public Component {
 public:
  Control(std::string name, ControlKind kind, Control* parent);

  const ControlKind Kind;
  Control* const Parent;
  std::vector<Control*> Children;  // in design order

  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t TabOrder = -1;  // -1: takes no focus by tab
  bool TabStop = false;
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  // The control's colour; with ParentColor it follows its parent's.
  Color GetColor() const;
  void SetColor(Color color);
  bool ParentColor = true;

  ControlPeer* Peer = nullptr;

 protected:
  void Changed();

 private:
  std::string caption_;
  Color color_ = clBtnFace;
};

// --- Drawing -------------------------------------------------------------------------------

// Where a canvas's operations go: recorded (headless) or painted (Qt).
class CanvasSink {
 public:
  virtual ~CanvasSink() = default;
  virtual void FillRect(const Rect& rect, Color brush) = 0;
  virtual void Polyline(std::span<const Point> points, Color pen) = 0;
};

class Canvas {
 public:
  Color PenColor = clBlack;
  Color BrushColor = clWhite;
  void FillRect(const Rect& rect);                 // with the brush; clipped to the paint box
  void Polyline(std::span<const Point> points);    // with the pen, every point as given
  CanvasSink* Sink = nullptr;
};

// No paint handler and no copy of its own: the picture changes only when a command draws.
class PaintBox : public Control {
 public:
  PaintBox(std::string name, Control* parent);
  platform::Canvas Canvas;
  void SetColor(Color color);  // also the canvas brush, as the control sets it
};

// --- Scroll bar ------------------------------------------------------------------------------

enum class ScrollCode : int32_t {
  LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, Position = 4, Track = 5, Top = 6, Bottom = 7, EndScroll = 8,
};
using ScrollEvent = std::function<void(Component* Sender, ScrollCode code, int32_t& ScrollPos)>;

// Event order of every user action: OnScroll(code, proposed position) first, then the control
// sets its position to the proposed one. Setting the position to a new value (by the control or
// by code) raises OnChange synchronously; setting it to the current value raises nothing.
class ScrollBar : public Control {
 public:
  ScrollBar(std::string name, Control* parent);

  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Position() const { return position_; }
  void SetMin(int32_t value);
  void SetMax(int32_t value);
  void SetPosition(int32_t value);  // clamped to Min..Max
  int32_t SmallChange = 1;
  int32_t LargeChange = 1;
  int32_t PageSize = 0;

  ScrollEvent OnScroll;
  NotifyEvent OnChange;

  // User actions. A button or key press: Scroll(code) for codes 0-3, 6, 7, repeated while held,
  // then EndScroll() when released. A drag: Track(pos) per move, Release(pos) at the end.
  void Scroll(ScrollCode code);
  void EndScroll();
  void Track(int32_t position);
  void Release(int32_t position);

 private:
  void Perform(ScrollCode code, int32_t proposed);
  int32_t Clamp(int32_t value) const;
  int32_t min_ = 0, max_ = 100, position_ = 0;
};

// --- Text controls -----------------------------------------------------------------------

class Label : public Control {
 public:
  Label(std::string name, Control* parent, std::string caption = {});
  bool WordWrap = false;
};

class RichEdit : public Control {
 public:
  RichEdit(std::string name, Control* parent);
  const std::vector<std::string>& Lines() const { return lines_; }
  void Clear();
  void InsertLine(std::size_t index, std::string line);  // bytes kept; shown as Latin-1
  void UserEdit(std::vector<std::string> lines);         // user action: the text as typed
  bool ReadOnly = false;
  bool Border = true;
  bool PlainText = false;

 private:
  std::vector<std::string> lines_;
};

class StatusBar : public Control {
 public:
  StatusBar(std::string name, Control* parent);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(std::string text);
  bool SimplePanel = false;

 private:
  std::string simpleText_;
};

class GroupBox : public Control {
 public:
  GroupBox(std::string name, Control* parent, std::string caption);
};

// Radio buttons under one parent form one group: exactly one is checked. OnClick runs when a
// button becomes the checked one; clicking the checked button runs nothing.
class RadioButton : public Control {
 public:
  RadioButton(std::string name, Control* parent, std::string caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  NotifyEvent OnClick;
  void Click();  // user action

 private:
  bool checked_ = false;
};

class Panel : public Control {
 public:
  enum class Bevel { None, Lowered, Raised };
  Panel(std::string name, Control* parent);
  Bevel BevelInner = Bevel::None;
  Bevel BevelOuter = Bevel::Raised;
};

class Image : public Control {
 public:
  Image(std::string name, Control* parent);
  std::string Picture;  // resource name of the image shown
  bool Stretch = false;
};

inline constexpr int32_t mrNone = 0;
inline constexpr int32_t mrOk = 1;
inline constexpr int32_t mrCancel = 2;  // a modal form closed by its close box

class Form;
class Button : public Control {
 public:
  Button(std::string name, Control* parent, std::string caption);
  bool Default = false;
  int32_t ModalResult = mrNone;
  NotifyEvent OnClick;
  void Click();  // user action: runs OnClick, then closes a modal form with ModalResult
};

// --- Menus -----------------------------------------------------------------------------------

struct ShortCut {
  bool Ctrl = false;
  char Key = 0;  // an upper-case letter, 0 for none
  friend bool operator==(const ShortCut&, const ShortCut&) = default;
};

class MenuItem : public Component {
 public:
  MenuItem(std::string name, std::string caption, ShortCut shortCut = {});
  std::string Caption;  // "&" marks the mnemonic; "-" is a separator
  platform::ShortCut ShortCut;
  std::vector<MenuItem*> Items;
  NotifyEvent OnClick;
  bool IsSeparator() const { return Caption == "-"; }
  void Click();  // user action
};

class MainMenu : public Component {
 public:
  explicit MainMenu(std::string name) : Component(std::move(name)) {}
  std::vector<MenuItem*> Items;
};

// --- Dialogs ---------------------------------------------------------------------------------

class FileDialog : public Component {
 public:
  enum class Mode { Open, Save };
  FileDialog(std::string name, Mode mode) : Component(std::move(name)), DialogMode(mode) {}
  const Mode DialogMode;
  std::string Filter;  // "description|pattern|description|pattern..."
  std::string Title;
  std::string FileName;  // the name chosen by the last confirmed Execute
  bool Execute();        // shows the dialog; true when the user confirmed a file
  // Save dialogs: the name a choice is finally saved under (the form's name rule), so that the
  // question before replacing an existing file is asked about that file. None: the name itself.
  std::function<std::string(const std::string&)> SavedName;
};

class OpenDialog : public FileDialog {
 public:
  explicit OpenDialog(std::string name) : FileDialog(std::move(name), Mode::Open) {}
};

class SaveDialog : public FileDialog {
 public:
  explicit SaveDialog(std::string name) : FileDialog(std::move(name), Mode::Save) {}
};

// --- Forms -----------------------------------------------------------------------------------

class Form : public Control {
 public:
  explicit Form(std::string name);

  enum class Border { Sizeable, Dialog };
  Border BorderStyle = Border::Sizeable;
  bool CenterOnScreen = false;
  int32_t ClientWidth = 0, ClientHeight = 0;
  std::string Icon;  // resource name of the program icon
  MainMenu* Menu = nullptr;
  Button* DefaultButton = nullptr;

  Rect GetClientRect() const { return {0, 0, ClientWidth, ClientHeight}; }
  int32_t ShowModal();  // returns the modal result
  int32_t ModalResult = mrNone;

  // Every control on the form, depth first in design order.
  std::vector<Control*> AllControls();
  Control* FindControl(const std::string& name);
};

// Runs a handler of a user action; an exception it throws is shown by the application, and the
// program continues.
void Dispatch(const std::function<void()>& handler);

}  // namespace platform
