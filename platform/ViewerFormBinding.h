// What the shared viewer procedures (frame rendering, navigation) need of a main form, given by
// the form's paint box, scroll bar and client rectangle. Both programs' main forms derive from
// it; Calvora adds the time index labels.
#pragma once

#include "Controls.h"
#include "Navigation.h"

namespace platform {

class ViewerFormBinding : public recording::ViewerForm {
 public:
  ViewerFormBinding(Form& form, PaintBox& paintBox, ScrollBar& scrollBar)
      : form_(form), paintBox_(paintBox), scrollBar_(scrollBar) {}

  // The form's client rectangle filled on the paint box's canvas with its brush.
  void ClearPaintBox() override;
  void DrawPolyline(std::span<const Point> points) override;
  int32_t ScrollPosition() const override;
  int32_t ScrollMax() const override;
  void SetScrollPosition(int32_t position) override;
  void ShowTimeIndex(const recording::TimeIndex&) override {}

  // The first steps of File > Open in both programs: the scroll bar prepared (below; also when
  // the dialog is then cancelled), and the dialog run. False when the user cancelled.
  bool RunOpenDialog(OpenDialog& dialog);

  // The scroll bar's Min, small and large change set, so the control never moves the thumb by
  // itself. Also the first step of opening a file named when the program starts.
  void PrepareScrollBarForOpen();

  // Then, before the chosen file is opened: any open recording closed, the thumb back at 0,
  // the text area cleared, the border drawn in black over whatever the paint box shows, and
  // FileName taken from the chosen name.
  void ResetForNewRecording(recording::ViewerState& state, RichEdit& text, const std::string& fileName);

 protected:
  ~ViewerFormBinding() = default;

 private:
  Form& form_;
  PaintBox& paintBox_;
  ScrollBar& scrollBar_;
};

}  // namespace platform
