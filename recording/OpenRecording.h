// The part of File > Open that both programs share, from opening FileName to the first frame:
// open the stream, clear the paint box, take the sizes and the record length estimate, read the
// header, apply the acceptance test and draw the first frame from DataStart. The forms do the
// rest (dialog, labels, messages, status bar) around it.
#pragma once

#include <string>

#include "FrameRenderer.h"
#include "ViewerState.h"

namespace recording {

enum class OpenOutcome {
  CannotOpen,          // File stays null; nothing drawn
  Rejected,            // not a valid recording; stream closed, File null, paint box cleared
  OpenedWithoutFrame,  // accepted, but DataEnd <= DataStart + ReadChunk: paint box cleared
  OpenedWithFrame,     // accepted and the first frame drawn; the stream after its last chunk
};

// The messages File > Open inserts as line 0 of the text area.
inline constexpr char CannotOpenFileMessage[] = "Cannot open file.";
inline constexpr char NotValidFileMessage[] = "Not a valid Quentral(tm) file.";

struct OpenResult {
  OpenOutcome Outcome = OpenOutcome::CannotOpen;
  std::string Title;  // the title line of an accepted recording
};

// Opens state.FileName, which the caller has set; any recording open before must be closed.
OpenResult OpenRecording(ViewerState& state, FrameCanvas& canvas, int32_t ReadChunk);

}  // namespace recording
