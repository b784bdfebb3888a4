// The Qt realisation's own conversions: dialog filters, text lines, and the paint box's
// picture under fills and polylines that reach far outside it.
#include <gtest/gtest.h>

#include <climits>

#include "QtApplication.h"
#include "QtControls.h"

using platform::qt::ImageCanvas;
using platform::qt::NameFilters;

TEST(Realisation, ModelFiltersBecomeQtNameFilters) {
  const struct {
    std::string Filter;
    QStringList Expected;
  } cases[] = {
      {"Quentral(tm) Files *.qtr|*.qtr|All Files|*.*", {"Quentral(tm) Files *.qtr (*.qtr)", "All Files (*)"}},
      {"Quentral files (*.qtr)|*.qtr|All Files|*.*", {"Quentral files (*.qtr) (*.qtr)", "All Files (*)"}},
      {"Recordings|*.qtr;*.QTR", {"Recordings (*.qtr *.QTR)"}},
      {"Quintral Files *.qtr|*.qtr|Incomplete", {"Quintral Files *.qtr (*.qtr)"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(NameFilters(c.Filter), c.Expected) << c.Filter;
}

TEST(Realisation, EveryModelLineStaysOneVisualLine) {
  EXPECT_EQ(platform::qt::OneLine("Take\r\n2\x01" "end"), QString::fromUtf16(u"Take\uFFFD\uFFFD2\uFFFDend"));
  EXPECT_EQ(platform::qt::OneLine("caf\xE9\tbar"), QString::fromUtf16(u"caf\u00E9\tbar"));
  EXPECT_EQ(platform::qt::OneLine("\x85"), QString::fromUtf16(u"\uFFFD"));
}

TEST(Realisation, FillsAreClippedToThePaintBoxAndFarPointsAreSafe) {
  ImageCanvas canvas(QSize(40, 30), 0xFFFFFF);
  canvas.FillRect({-100, -100, 10, 5}, 0x102030);  // right and bottom edges excluded
  EXPECT_EQ(canvas.Image().pixel(9, 4), qRgb(0x10, 0x20, 0x30));
  EXPECT_EQ(canvas.Image().pixel(10, 4), qRgb(255, 255, 255));
  EXPECT_EQ(canvas.Image().pixel(9, 5), qRgb(255, 255, 255));
  canvas.FillRect({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 0x000000);
  EXPECT_EQ(canvas.Image().pixel(39, 29), qRgb(0, 0, 0));
  canvas.FillRect({50, 50, 60, 60}, 0xFFFFFF);  // wholly outside: nothing
  EXPECT_EQ(canvas.Image().pixel(39, 29), qRgb(0, 0, 0));

  ImageCanvas lines(QSize(40, 30), 0xFFFFFF);
  const recording::Point points[] = {{0, 10}, {39, 10}, {20, INT_MAX}, {20, INT_MIN / 2}, {5, -407}};
  lines.Polyline(points, 0x000000);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(lines.Image().pixel(x, 10), qRgb(0, 0, 0)) << x;
}
