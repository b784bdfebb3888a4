#include "ViewerFormBinding.h"

#include "FrameRenderer.h"

namespace platform {

bool ViewerFormBinding::RunOpenDialog(OpenDialog& dialog) {
  PrepareScrollBarForOpen();
  return dialog.Execute();
}

void ViewerFormBinding::PrepareScrollBarForOpen() {
  scrollBar_.SetMin(0);
  scrollBar_.LargeChange = 0;
  scrollBar_.SmallChange = 0;
}

void ViewerFormBinding::ResetForNewRecording(recording::ViewerState& state, RichEdit& text, const std::string& fileName) {
  recording::CloseRecording(state);
  state.SavedScrollPosition = 0;
  scrollBar_.SetPosition(0);
  text.Clear();
  paintBox_.Canvas.PenColor = clBlack;
  recording::DrawFrameBorder(*this, state);
  state.FileName = fileName;
}

void ViewerFormBinding::ClearPaintBox() { paintBox_.Canvas.FillRect(form_.GetClientRect()); }

void ViewerFormBinding::DrawPolyline(std::span<const Point> points) { paintBox_.Canvas.Polyline(points); }

int32_t ViewerFormBinding::ScrollPosition() const { return scrollBar_.Position(); }

int32_t ViewerFormBinding::ScrollMax() const { return scrollBar_.Max(); }

void ViewerFormBinding::SetScrollPosition(int32_t position) { scrollBar_.SetPosition(position); }

}  // namespace platform
