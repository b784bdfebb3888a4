// The navigation steps, the thumb commit, PlaceThumb, UpdateTimeIndex and the time per frame
// choice. Targets such as P + 3F are computed in 64 bits before a bound brings them back, so
// recordings up to 2,147,483,647 bytes give the results of exact integer arithmetic.
#include "Navigation.h"

#include <algorithm>
#include <limits>

namespace recording {
namespace {

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

void SeekTo(std::FILE* file, int64_t offset) {
  // Every caller has bounded the offset at 0 or above: no seek goes before the file.
  std::fseek(file, static_cast<long>(offset), SEEK_SET);
}

// The latest start a forward step or commit may draw from: DataEnd - FrameSpan, or DataStart
// when the recording holds less than one FrameSpan and that start would be negative.
int64_t LastFrameStart(const ViewerState& s) {
  const int64_t last = int64_t{s.DataEnd} - s.FrameSpan;
  return last < 0 ? s.DataStart : last;
}

void Step(ViewerState& s, ViewerForm& form, const ViewerProfile& profile, int32_t code) {
  const int64_t P = StreamPosition(s.File);
  const int64_t F = s.FrameSpan;
  const bool backward = code == scroll_code::LineBack || code == scroll_code::PageBack;
  const bool page = code == scroll_code::PageBack || code == scroll_code::PageForward;

  s.CurrentOffset = Saturate(P);
  if (backward) {
    const int64_t target = P - (page ? 4 : 2) * F;
    if (target > s.DataStart) {
      s.FrameStart = Saturate(target);
      SeekTo(s.File, target);
    } else {
      SeekTo(s.File, s.DataStart);
      s.FrameStart = s.DataStart;
    }
    s.CurrentOffset = Saturate(StreamPosition(s.File));
    // Back steps leave the stream one (line) or three (page) FrameSpans past the frame drawn.
    const int64_t advance = page ? 3 * F : F;
    auto afterDraw = [&] {
      s.FrameStart = Saturate(s.FrameStart + advance);
      SeekTo(s.File, s.FrameStart);
    };
    RenderFrame(s, form, profile.ReadChunk, afterDraw);
  } else {
    const int64_t target = P + (page ? 3 : 1) * F;
    if (target > int64_t{s.DataEnd} - F) {
      // Bounded by the end of the data: draw the last frame and park the stream at its start,
      // so that further forward steps redraw it. CurrentOffset stays P.
      s.FrameStart = Saturate(LastFrameStart(s));
      SeekTo(s.File, s.FrameStart);
    } else {
      s.FrameStart = Saturate(target);
    }
    auto afterDraw = [&] { SeekTo(s.File, s.FrameStart); };
    RenderFrame(s, form, profile.ReadChunk, afterDraw);
  }
  PlaceThumb(s, form);
}

void ThumbCommit(ViewerState& s, ViewerForm& form, const ViewerProfile& profile) {
  s.SavedScrollPosition = form.ScrollPosition();
  s.FrameStart = CommitFrameStart(s.SavedScrollPosition, form.ScrollMax(), s.DataStart, s.DataEnd, s.FrameSpan);
  SeekTo(s.File, s.FrameStart);
  s.CurrentOffset = Saturate(StreamPosition(s.File));
  auto afterDraw = [&] {
    s.FrameStart = Saturate(int64_t{s.FrameStart} + s.FrameSpan);
    SeekTo(s.File, s.FrameStart);
  };
  RenderFrame(s, form, profile.ReadChunk, afterDraw);
  s.ScrollPending = false;  // whether or not a frame was drawn
}

}  // namespace

int64_t StreamPosition(std::FILE* file) { return std::ftell(file); }

int32_t ThumbPlace(int32_t CurrentOffset, int32_t FileSize, int32_t Max) {
  if (FileSize == 0) return 0;
  const float r = static_cast<float>(CurrentOffset) / static_cast<float>(FileSize);
  const float place = static_cast<float>(Max) * r;
  if (!(place > -2147483648.0F)) return std::numeric_limits<int32_t>::min();
  if (!(place < 2147483648.0F)) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(place);
}

int32_t CommitFrameStart(int32_t position, int32_t Max, int32_t DataStart, int32_t DataEnd, int32_t FrameSpan) {
  const float ratio = Max == 0 ? 0.0F : static_cast<float>(position) / static_cast<float>(Max);
  const float product = static_cast<float>(DataEnd) * ratio;
  // The product of a 2 GiB DataEnd can round up to 2^31: truncate in 64 bits.
  int64_t start = static_cast<int64_t>(product);
  if (start < DataStart) start = DataStart;
  const int64_t last = int64_t{DataEnd} - FrameSpan;
  if (start > last) start = last;  // applied last: wins when the two bounds cross
  if (start < 0) start = DataStart;  // less than one FrameSpan of data: never seek before the file
  if (start > 0 && start % 2 != 0) start -= 1;  // a frame starts on a sample word
  return Saturate(start);
}

TimeIndex TimeIndexOf(int64_t streamPosition, int32_t FrameSpan, int32_t DataStart) {
  const auto offset = static_cast<int32_t>(streamPosition - FrameSpan - DataStart);
  const int32_t q = offset / 88;  // 88 bytes per millisecond, truncated toward zero
  const float t = static_cast<float>(q);
  // The count down of single-precision t by 60,000 and then by 1,000 is exact at every step:
  // t is a whole number below 2^25, even from 2^24 on, and so is every difference. So whole
  // number division of t gives the same counts, and takes no longer at the end of a 2 GiB
  // recording (some 400 minutes) than at its start. A negative t counts nothing.
  auto rest = static_cast<int64_t>(t);
  TimeIndex index;
  if (rest >= 60000) {
    index.Minutes = static_cast<int32_t>(rest / 60000);
    rest %= 60000;
  }
  if (rest >= 1000) {
    index.Seconds = static_cast<int32_t>(rest / 1000);
    rest %= 1000;
  }
  index.Milliseconds = static_cast<int32_t>(rest);
  return index;
}

void PlaceThumb(ViewerState& s, ViewerForm& form) {
  s.SavedScrollPosition = ThumbPlace(s.CurrentOffset, s.FileSize, form.ScrollMax());
  form.SetScrollPosition(s.SavedScrollPosition);
}

void UpdateTimeIndex(const ViewerState& s, ViewerForm& form) {
  form.ShowTimeIndex(TimeIndexOf(StreamPosition(s.File), s.FrameSpan, s.DataStart));
}

void NavigationScroll(ViewerState& s, ViewerForm& form, const ViewerProfile& profile, int32_t code) {
  if (s.File == nullptr) return;
  if (code >= scroll_code::LineBack && code <= scroll_code::PageForward) {
    Step(s, form, profile, code);
  } else if (code == scroll_code::ThumbPosition) {
    // The frame is drawn by the change event when the control applies the released position.
    s.ScrollPending = true;
  }
  if (profile.ShowsTimeIndex) UpdateTimeIndex(s, form);
}

void NavigationChange(ViewerState& s, ViewerForm& form, const ViewerProfile& profile) {
  if (s.ScrollPending && s.File != nullptr) {
    ThumbCommit(s, form, profile);
  } else {
    // Every other change of the position is undone; a nested call finds it equal.
    form.SetScrollPosition(s.SavedScrollPosition);
  }
  if (s.File != nullptr && profile.ShowsTimeIndex) UpdateTimeIndex(s, form);
}

void ChooseTimePerFrame(ViewerState& s, ViewerForm& form, const ViewerProfile& profile, int32_t ColumnStep) {
  if (s.File != nullptr) {
    s.CurrentOffset = Saturate(StreamPosition(s.File));
    // FrameSpan is still the one of the step in force until now.
    s.FrameStart = Saturate(int64_t{s.CurrentOffset} - s.FrameSpan);
    SeekTo(s.File, s.FrameStart > s.DataStart ? s.FrameStart : s.DataStart);
  }
  s.ColumnStep = ColumnStep;
  s.FrameSpan = ColumnStep * FrameColumns;
  if (s.File == nullptr) return;
  RenderFrame(s, form, profile.ReadChunk);
  PlaceThumb(s, form);
}

}  // namespace recording
