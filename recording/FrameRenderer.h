// RenderFrame: one frame of 576 columns from the recording stream's current position, read in
// ReadChunk pieces, drawn as a border and one polyline on the paint box. The canvas is whatever
// the main form gives (FrameCanvas), so the renderer needs no platform.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>
#include <utility>

#include "ViewerState.h"

namespace recording {

// The drawing a frame needs of the main form: clearing the paint box (the form's client
// rectangle filled with the paint box's brush) and a polyline with the current pen.
class FrameCanvas {
 public:
  virtual void ClearPaintBox() = 0;
  virtual void DrawPolyline(std::span<const Point> points) = 0;

 protected:
  ~FrameCanvas() = default;
};

// A non-owning reference to the caller's after-draw action; costs no allocation.
class AfterDraw {
 public:
  AfterDraw() = default;  // no action
  // Implicit on purpose: a lambda passed to RenderFrame reads as the action itself.
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, AfterDraw>>>
  // cppcheck-suppress noExplicitConstructor
  AfterDraw(F& action)  // NOLINT(google-explicit-constructor)
      : object_(&action), call_([](void* o) { (*static_cast<F*>(o))(); }) {}
  void operator()() const {
    if (call_ != nullptr) call_(object_);
  }

 private:
  void* object_ = nullptr;
  void (*call_)(void*) = nullptr;
};

// Polyline through the 11 points of the frame border.
void DrawFrameBorder(FrameCanvas& canvas, const ViewerState& state);

// The largest ReadChunk a program may use; the chunk buffer lives on the stack.
inline constexpr int32_t MaxReadChunk = 16384;

// Draws one frame from the current position of state.File, which must be open. Returns
// FrameDrawn: false when the stream ended before 576 columns were computed, in which case
// nothing was drawn and the after-draw action did not run.
bool RenderFrame(ViewerState& state, FrameCanvas& canvas, int32_t ReadChunk, AfterDraw afterDraw = {});

}  // namespace recording
