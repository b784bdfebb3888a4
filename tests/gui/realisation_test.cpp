// The Qt realisation's own conversions: dialog filters, text lines, and the paint box's
// picture under fills and polylines that reach far outside it.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <optional>

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

TEST(Realisation, TheCommandLineNamesAtMostOneFileMadeAbsolute) {
  const std::string here = std::filesystem::current_path().string();
  const struct {
    std::vector<const char*> Arguments;  // after the program's name, once Qt took its own
    std::optional<std::string> FileName;
    bool UsageError;
  } cases[] = {
      {{}, std::nullopt, false},
      {{"/data/take 1.qtr"}, "/data/take 1.qtr", false},
      {{"take.qtr"}, here + "/take.qtr", false},
      {{"../up/take.qtr"}, here + "/../up/take.qtr", false},  // not resolved: the file system does that
      {{"caf\xE9.qtr"}, here + "/caf\xE9.qtr", false},        // bytes kept, whatever the encoding
      {{"--help"}, here + "/--help", false},                 // no options: a name like any other
      {{""}, "", false},                                     // opens nothing, says "Cannot open file."
      {{"a.qtr", "b.qtr"}, std::nullopt, true},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv{"calvora"};
    argv.insert(argv.end(), c.Arguments.begin(), c.Arguments.end());
    const platform::qt::StartArguments parsed = platform::qt::ParseStartArguments(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(parsed.FileName, c.FileName) << argv.size() - 1 << " arguments";
    EXPECT_EQ(parsed.UsageError, c.UsageError) << argv.size() - 1 << " arguments";
  }
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

// On a screen of device pixel ratio 2 the picture has twice the pixels each way, and fills and
// straight lines cover exactly the device pixels of the paint-box pixels they cover at ratio 1:
// sharp, and in the same place.
TEST(Realisation, AtDevicePixelRatioTwoThePictureIsSharpAndInPlace) {
  const QSize size(40, 30);
  ImageCanvas one(size, 0xFFFFFF, 1);
  ImageCanvas two(size, 0xFFFFFF, 2);
  EXPECT_EQ(two.Image().size(), QSize(80, 60));
  EXPECT_EQ(two.Image().devicePixelRatio(), 2);
  const recording::Point horizontal[] = {{0, 10}, {39, 10}};
  const recording::Point vertical[] = {{3, 2}, {3, 27}};
  const recording::Point far[] = {{20, 5}, {20, -407}};
  for (ImageCanvas* canvas : {&one, &two}) {
    canvas->FillRect({-100, -100, 10, 5}, 0x102030);
    canvas->FillRect({30, 20, 1000, 1000}, 0x405060);
    canvas->Polyline(horizontal, 0x000000);
    canvas->Polyline(vertical, 0x000000);
    canvas->Polyline(far, 0x000000);
  }
  EXPECT_EQ(two.Image(), one.Image().scaled(80, 60).convertToFormat(QImage::Format_RGB32)) << "each pixel as a 2 x 2 block";

  // Moved to a screen of another ratio, the picture is kept until the next command draws.
  one.Resize(size, 0xFFFFFF, 2);
  EXPECT_EQ(one.Image(), two.Image());
}
