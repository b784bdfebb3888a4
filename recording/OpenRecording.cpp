#include "OpenRecording.h"

#include "RecordingFormat.h"

namespace recording {

OpenResult OpenRecording(ViewerState& s, FrameCanvas& canvas, int32_t ReadChunk) {
  OpenResult result;
  s.File = OpenRecordingStream(s.FileName);
  if (s.File == nullptr) return result;

  canvas.ClearPaintBox();
  std::fseek(s.File, 0, SEEK_END);
  s.FileSize = static_cast<int32_t>(std::ftell(s.File));  // at most MaxFileSize: the open refuses more
  s.CurrentOffset = s.FileSize;
  s.DataEnd = s.FileSize - TailSize;
  const RecordLength length = RecordLengthEstimate(s.DataEnd);
  s.LengthMinutes = length.Minutes;
  s.LengthSeconds = length.Seconds;
  s.FrameSpan = s.ColumnStep * FrameColumns;

  const HeaderRead header = ReadFileHeader(s.File);
  s.DataStart = header.DataStart;
  if (!IsValidRecording(header.Header, s.DataEnd, s.ColumnStep)) {
    CloseRecording(s);
    result.Outcome = OpenOutcome::Rejected;
    return result;
  }
  result.Title = TitleOf(header.Header);
  std::fseek(s.File, s.DataStart, SEEK_SET);
  // The sample data before the tail must be longer than one chunk for the first frame.
  if (int64_t{s.DataEnd} <= int64_t{s.DataStart} + ReadChunk) {
    result.Outcome = OpenOutcome::OpenedWithoutFrame;
    return result;
  }
  RenderFrame(s, canvas, ReadChunk);
  result.Outcome = OpenOutcome::OpenedWithFrame;
  return result;
}

}  // namespace recording
