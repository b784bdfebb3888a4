// Navigation through an open recording with the scroll bar, the thumb arithmetic, the time
// index and the choice of a time per frame. Both programs run the same procedures; what differs
// between them is a ViewerProfile (ReadChunk, whether a time index is shown) and the scroll
// bar's Max, which is always read from the control.
//
// The stream position is the navigation state: every step starts from wherever the previous
// operation left the stream, and the steps leave it parked where the next one continues.
#pragma once

#include <cstdint>

#include "FrameRenderer.h"
#include "ViewerState.h"

namespace recording {

struct ViewerProfile {
  int32_t ReadChunk;    // Calvora 8802, Vespira 8820
  bool ShowsTimeIndex;  // Calvora only
};

struct TimeIndex {
  int32_t Minutes = 0;
  int32_t Seconds = 0;
  int32_t Milliseconds = 0;
  friend bool operator==(const TimeIndex&, const TimeIndex&) = default;
};

// What navigation needs of a main form beyond its canvas: the scroll bar (setting the position
// to a new value raises the change event before the setter returns) and the time index labels.
class ViewerForm : public FrameCanvas {
 public:
  virtual int32_t ScrollPosition() const = 0;
  virtual int32_t ScrollMax() const = 0;
  virtual void SetScrollPosition(int32_t position) = 0;
  virtual void ShowTimeIndex(const TimeIndex& index) = 0;

 protected:
  ~ViewerForm() = default;
};

// The scroll codes the handlers act on (the control's codes 0 to 8).
namespace scroll_code {
inline constexpr int32_t LineBack = 0;
inline constexpr int32_t LineForward = 1;
inline constexpr int32_t PageBack = 2;
inline constexpr int32_t PageForward = 3;
inline constexpr int32_t ThumbPosition = 4;
inline constexpr int32_t EndScroll = 8;
}  // namespace scroll_code

// --- Arithmetic (single precision where the viewer computes positions) -----------------------

// Max x (CurrentOffset / FileSize) in single precision, truncated; 0 when FileSize is 0.
// Saturates at the 32-bit range (a stream parked far past the end of a tiny file).
int32_t ThumbPlace(int32_t CurrentOffset, int32_t FileSize, int32_t Max);

// The frame start of a thumb commit at `position`: DataEnd x (position / Max) in single
// precision, bounded by DataStart and then by DataEnd - FrameSpan (which wins), made even.
// Where DataEnd - FrameSpan is negative the frame starts at DataStart instead.
int32_t CommitFrameStart(int32_t position, int32_t Max, int32_t DataStart, int32_t DataEnd, int32_t FrameSpan);

// Minutes, seconds and milliseconds of (streamPosition - FrameSpan - DataStart) at 88 bytes
// per millisecond, counted down in single precision as the viewer always has.
TimeIndex TimeIndexOf(int64_t streamPosition, int32_t FrameSpan, int32_t DataStart);

// --- Procedures of the main form ------------------------------------------------------------

// OnScroll: codes 0 to 3 step (and draw), code 4 marks a thumb commit pending, the rest do
// nothing; then the time index is refreshed where the profile shows one. Nothing at all when
// no recording is open.
void NavigationScroll(ViewerState& state, ViewerForm& form, const ViewerProfile& profile, int32_t code);

// OnChange: the thumb commit when one is pending and a recording is open; otherwise the thumb
// is put back at SavedScrollPosition. Then the time index is refreshed (recording open only).
void NavigationChange(ViewerState& state, ViewerForm& form, const ViewerProfile& profile);

// SavedScrollPosition from CurrentOffset, and the scroll bar moved there.
void PlaceThumb(ViewerState& state, ViewerForm& form);

// The three time index labels from the stream position.
void UpdateTimeIndex(const ViewerState& state, ViewerForm& form);

// A time per frame (ColumnStep S) chosen: redraw from about where the current frame started
// and place the thumb from the stream position at the moment of the choice.
void ChooseTimePerFrame(ViewerState& state, ViewerForm& form, const ViewerProfile& profile, int32_t ColumnStep);

// The stream position of an open recording.
int64_t StreamPosition(std::FILE* file);

}  // namespace recording
