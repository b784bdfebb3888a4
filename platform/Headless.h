// The headless realisation: canvas operations recorded in order, file dialogs answered from a
// queue of prepared answers, modal forms closed at once with OK, exceptions collected. Used by
// viewer-script and the tests.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "Application.h"

namespace platform {

struct CanvasOp {
  enum class Kind { Fill, Polyline };
  Kind Op = Kind::Fill;
  platform::Color Color = clBlack;
  platform::Rect Rect;               // Fill
  std::vector<Point> Points;  // Polyline
};

class CanvasRecorder : public CanvasSink {
 public:
  void FillRect(const Rect& rect, Color brush) override;
  void Polyline(std::span<const Point> points, Color pen) override;
  std::vector<CanvasOp> Take();  // the operations since the last Take
  std::vector<CanvasOp> Ops;
};

class HeadlessPeer : public ApplicationPeer {
 public:
  void Run(Form&) override {}
  void Terminate() override {}
  void ShowException(const std::string& message) override;
  int32_t ShowModal(Form& form) override;
  std::optional<std::string> ExecuteFileDialog(FileDialog& dialog) override;

  // The answer of the next file dialog: a name, or nothing for Cancel. With none queued a
  // dialog is cancelled.
  std::deque<std::optional<std::string>> DialogAnswers;
  std::vector<std::string> Exceptions;
  std::vector<std::string> ModalForms;  // names of the forms shown modally
};

}  // namespace platform
