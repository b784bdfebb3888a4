#include "Headless.h"

#include <cstdio>

namespace platform {

void CanvasRecorder::FillRect(const Rect& rect, Color brush) {
  Ops.push_back(CanvasOp{CanvasOp::Kind::Fill, brush, rect, {}});
}

void CanvasRecorder::Polyline(std::span<const Point> points, Color pen) {
  Ops.push_back(CanvasOp{CanvasOp::Kind::Polyline, pen, {}, {points.begin(), points.end()}});
}

std::vector<CanvasOp> CanvasRecorder::Take() {
  std::vector<CanvasOp> taken;
  taken.swap(Ops);
  return taken;
}

void HeadlessPeer::ShowException(const std::string& message) {
  Exceptions.push_back(message);
  std::fprintf(stderr, "exception: %s\n", message.c_str());
}

int32_t HeadlessPeer::ShowModal(Form& form) {
  ModalForms.push_back(form.Name);
  form.ModalResult = mrOk;  // closed with its OK button
  return form.ModalResult;
}

std::optional<std::string> HeadlessPeer::ExecuteFileDialog(FileDialog&) {
  if (DialogAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(DialogAnswers.front());
  DialogAnswers.pop_front();
  return answer;
}

}  // namespace platform
