// Initial values of ViewerState and the start-up computation of the frame border.
#include "ViewerState.h"

#include "RecordingFormat.h"

namespace recording {

ViewerState MakeViewerState(int32_t initialColumnStep) {
  ViewerState state;
  state.ColumnStep = initialColumnStep;
  return state;
}

BorderCoordinates ComputeBorderCoordinates(const ViewerState& s) {
  const auto bl = static_cast<int16_t>(s.BorderLeft);
  const auto bt = static_cast<int16_t>(s.BorderTop);
  const auto right = static_cast<int16_t>(s.BorderLeft + s.BorderWidth);
  const auto bottom = static_cast<int16_t>(s.BorderTop + s.BorderHeight);
  const auto mid = static_cast<int16_t>(s.BorderTop + s.BorderHeight / 2);
  BorderCoordinates c;
  c.x = {bl, bl, static_cast<int16_t>(bl - 4), bl, bl, right, right, static_cast<int16_t>(right + 4), right, right, bl};
  c.y = {bt, mid, mid, mid, bottom, bottom, mid, mid, mid, bt, bt};
  return c;
}

void FillFrameBorder(ViewerState& state, const BorderCoordinates& c) {
  for (std::size_t i = 0; i < state.Border.size(); ++i) state.Border[i] = {c.x[i], c.y[i]};
}

void CloseRecording(ViewerState& state) {
  if (state.File != nullptr) {
    CloseRecordingStream(state.File);
    state.File = nullptr;
  }
}

}  // namespace recording
