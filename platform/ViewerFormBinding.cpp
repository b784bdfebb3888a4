#include "ViewerFormBinding.h"

namespace platform {

void ViewerFormBinding::ClearPaintBox() { paintBox_.Canvas.FillRect(form_.GetClientRect()); }

void ViewerFormBinding::DrawPolyline(std::span<const Point> points) { paintBox_.Canvas.Polyline(points); }

int32_t ViewerFormBinding::ScrollPosition() const { return scrollBar_.Position(); }

int32_t ViewerFormBinding::ScrollMax() const { return scrollBar_.Max(); }

void ViewerFormBinding::SetScrollPosition(int32_t position) { scrollBar_.SetPosition(position); }

}  // namespace platform
