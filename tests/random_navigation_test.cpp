// Long random mixes of user actions (open, arrow and trough clicks, Home, End, drag, release,
// time per frame) run on the real program and on a model written here from the navigation
// rules: a plain reading of them, with exact 64-bit integer arithmetic for offsets and single
// precision for the thumb, the commit and the time index. After every action the two must
// agree on the frames drawn, the thumb, the time index, the stream position and the state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TestRecordings.h"
#include "navigation_scenarios.h"

using namespace testing_support;
using namespace nav_test;

namespace {

struct ProgramRules {
  std::string Name;
  int32_t ReadChunk;
  int32_t Max;
  int32_t InitialStep;
  bool TimeIndex;      // Calvora shows one and has the time per frame buttons
  int Actions;         // how many random actions to run
};

constexpr int32_t StepOfButton[5] = {0, 9186, 306, 20, 2};

// One program as the rules describe it.
class Model {
 public:
  explicit Model(const ProgramRules& rules) : rules_(rules), step_(rules.InitialStep) {}

  // --- What the window shows ---
  std::vector<std::vector<Point>> Frames;  // drawn during the last action
  int64_t Thumb = 0;
  Labels TimeIndex{"0", "0", "0"};

  const RecordingImage* File = nullptr;
  int64_t Pos = 0;
  int64_t FileSize = 0, DataEnd = 0, DataStart = 0, FrameSpan = 0, FrameStart = 0, CurrentOffset = 0, Saved = 0;
  bool Pending = false;
  int Checked = 2;
  int32_t Step() const { return step_; }

  // --- User actions ---
  void Open(const RecordingImage& image) {
    Frames.clear();
    if (!openedOnce_) openedOnce_ = true;  // the arrows and trough no longer move the thumb
    if (rules_.TimeIndex) TimeIndex = {"0", "0", "0"};
    File = nullptr;
    Saved = 0;
    SetPosition(0);
    File = &image;
    FileSize = image.Size;
    CurrentOffset = FileSize;
    DataEnd = FileSize - 32;
    FrameSpan = int64_t{step_} * 576;
    DataStart = std::min<int64_t>(92, FileSize);
    if (DataEnd < int64_t{step_} * 575 + 92) {  // every test file has a good signature
      File = nullptr;
      return;
    }
    Pos = DataStart;
    if (DataEnd <= DataStart + rules_.ReadChunk) return;
    Render([] {});
  }

  void Scroll(int code) {
    Frames.clear();
    const int64_t change = openedOnce_ ? 0 : 1;
    int64_t proposed = Thumb;
    if (code == 0) proposed = Thumb - change;
    if (code == 1) proposed = Thumb + change;
    if (code == 2) proposed = Thumb - change;
    if (code == 3) proposed = Thumb + change;
    if (code == 6) proposed = 0;
    if (code == 7) proposed = rules_.Max;
    Perform(code, proposed);
    Perform(8, Thumb);
  }

  void Drag(int64_t position) {
    Frames.clear();
    Perform(5, position);
  }

  void Release(int64_t position) {
    Frames.clear();
    Perform(4, position);
    Perform(8, Thumb);
  }

  void Time(int button) {
    Frames.clear();
    if (button == Checked) return;  // clicking the checked button runs nothing
    Checked = button;
    if (File != nullptr) {
      CurrentOffset = Pos;
      FrameStart = CurrentOffset - FrameSpan;
      Pos = FrameStart > DataStart ? FrameStart : DataStart;
    }
    step_ = StepOfButton[button];
    FrameSpan = int64_t{step_} * 576;
    if (File == nullptr) return;
    Render([] {});
    PlaceThumb();
  }

 private:
  static float Single(double v) { return static_cast<float>(v); }

  void SetPosition(int64_t value) {
    value = std::clamp<int64_t>(value, 0, rules_.Max);
    if (value == Thumb) return;
    Thumb = value;
    OnChange();
  }

  void Perform(int code, int64_t proposed) {
    proposed = std::clamp<int64_t>(proposed, 0, rules_.Max);
    OnScroll(code);
    SetPosition(proposed);
  }

  void OnScroll(int code) {
    if (File == nullptr) return;
    if (code <= 3) StepFrom(code);
    if (code == 4) Pending = true;
    if (rules_.TimeIndex) UpdateTimeIndex();
  }

  void OnChange() {
    if (Pending && File != nullptr) {
      Commit();
    } else {
      SetPosition(Saved);
    }
    if (File != nullptr && rules_.TimeIndex) UpdateTimeIndex();
  }

  template <class AfterDraw>
  void Render(AfterDraw afterDraw) {
    const ExpectedFrame frame = FrameFrom(*File, Pos, rules_.ReadChunk, step_);
    Pos = frame.StreamAfter;
    if (frame.Drawn) {
      Frames.push_back(frame.Points);
      afterDraw();
    }
  }

  void StepFrom(int code) {
    const int64_t P = Pos, F = FrameSpan;
    const bool page = code >= 2;
    CurrentOffset = P;
    if (code == 0 || code == 2) {
      FrameStart = P - (page ? 4 : 2) * F;
      if (FrameStart > DataStart) {
        Pos = FrameStart;
      } else {
        Pos = DataStart;
        FrameStart = DataStart;
      }
      CurrentOffset = Pos;
      Render([&] {
        FrameStart += (page ? 3 : 1) * F;
        Pos = FrameStart;
      });
    } else {
      FrameStart = P + (page ? 3 : 1) * F;
      if (FrameStart > DataEnd - F) {
        FrameStart = DataEnd - F;
        if (FrameStart < 0) FrameStart = DataStart;  // less than one frame of data
        Pos = FrameStart;
      }
      Render([&] { Pos = FrameStart; });
    }
    PlaceThumb();
  }

  void PlaceThumb() {
    Saved = FileSize == 0 ? 0
                          : static_cast<int64_t>(std::trunc(
                                Single(Single(rules_.Max) * Single(Single(CurrentOffset) / Single(FileSize)))));
    SetPosition(Saved);
  }

  void Commit() {
    Saved = Thumb;
    const float ratio = Single(Single(Thumb) / Single(rules_.Max));
    int64_t start = static_cast<int64_t>(std::trunc(Single(Single(DataEnd) * ratio)));
    if (start < DataStart) start = DataStart;
    if (start > DataEnd - FrameSpan) start = DataEnd - FrameSpan;
    if (start < 0) start = DataStart;
    if (start > 0 && start % 2 != 0) start -= 1;
    FrameStart = start;
    Pos = start;
    CurrentOffset = Pos;
    Render([&] {
      FrameStart += FrameSpan;
      Pos = FrameStart;
    });
    Pending = false;
  }

  void UpdateTimeIndex() {
    const auto offset = static_cast<int32_t>(Pos - FrameSpan - DataStart);
    const int32_t q = offset / 88;
    float t = Single(q);
    int minutes = 0, seconds = 0;
    while (t >= 60000.0F) {
      ++minutes;
      t = Single(t - 60000.0F);
    }
    while (t >= 1000.0F) {
      ++seconds;
      t = Single(t - 1000.0F);
    }
    TimeIndex = {std::to_string(minutes), std::to_string(seconds), std::to_string(static_cast<int32_t>(std::trunc(t)))};
  }

  const ProgramRules rules_;
  int32_t step_;
  bool openedOnce_ = false;
};

// The differences between the window and the model, empty when they agree.
std::string Differences(const viewer_script::Snapshot& snap, const Model& m, bool timeIndex) {
  std::ostringstream out;
  auto check = [&](const char* what, int64_t got, int64_t want) {
    if (got != want) out << " " << what << " " << got << " (model " << want << ")";
  };
  const auto frames = FramesDrawn(snap);
  check("frames drawn", static_cast<int64_t>(frames.size()), static_cast<int64_t>(m.Frames.size()));
  for (std::size_t i = 0; i < std::min(frames.size(), m.Frames.size()); ++i)
    if (frames[i] != m.Frames[i]) out << " frame " << i << " differs";
  check("thumb", snap.Thumb, m.Thumb);
  check("open", snap.Open, m.File != nullptr);
  if (snap.Open && m.File != nullptr) check("stream position", *snap.Pos, m.Pos);
  check("FrameStart", snap.State.FrameStart, m.FrameStart);
  check("CurrentOffset", snap.State.CurrentOffset, m.CurrentOffset);
  check("SavedScrollPosition", snap.State.SavedScrollPosition, m.Saved);
  check("ScrollPending", snap.State.ScrollPending, m.Pending);
  check("ColumnStep", snap.State.ColumnStep, m.Step());
  check("FrameSpan", snap.State.FrameSpan, m.FrameSpan);
  if (timeIndex && TimeIndexOf(snap) != m.TimeIndex)
    out << " time index " << TimeIndexOf(snap)[0] << "/" << TimeIndexOf(snap)[1] << "/" << TimeIndexOf(snap)[2] << " (model "
        << m.TimeIndex[0] << "/" << m.TimeIndex[1] << "/" << m.TimeIndex[2] << ")";
  return out.str();
}

void RunRandomMix(const ProgramRules& rules, const std::vector<int64_t>& sizes, uint32_t seed) {
  TempFolder dir;
  std::vector<std::vector<unsigned char>> bytes;
  std::vector<std::string> paths;
  for (const int64_t size : sizes) {
    bytes.push_back(RecordingBytes({.FileSize = size}));
    paths.push_back(WriteRecording(dir.File(std::to_string(size) + ".qtr"), {.FileSize = size}));
  }
  std::vector<RecordingImage> images;
  for (const auto& b : bytes) images.push_back(ImageOf(b));

  Viewer viewer(rules.Name);
  Model model(rules);
  std::mt19937 rng(seed);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<std::string> history;

  for (int n = 0; n < rules.Actions; ++n) {
    std::string line;
    const int roll = pick(0, 99);
    if (roll < 5 || (model.File == nullptr && roll < 30)) {
      const int file = pick(0, static_cast<int>(sizes.size()) - 1);
      line = "open " + paths[static_cast<std::size_t>(file)];
      model.Open(images[static_cast<std::size_t>(file)]);
    } else if (roll < 60) {
      const int code = pick(0, 3);
      line = "scroll " + std::to_string(code);
      model.Scroll(code);
    } else if (roll < 65) {
      const int code = pick(6, 7);
      line = "scroll " + std::to_string(code);
      model.Scroll(code);
    } else if (roll < 75) {
      const int position = pick(0, rules.Max);
      line = "drag " + std::to_string(position);
      model.Drag(position);
    } else if (roll < 90 || !rules.TimeIndex) {
      // Often where the thumb stands: the release leaves a stale commit pending.
      const int64_t position = pick(0, 2) == 0 ? model.Thumb : pick(0, rules.Max);
      line = "release " + std::to_string(position);
      model.Release(position);
    } else {
      const int button = pick(1, 4);
      line = "time " + std::to_string(button);
      model.Time(button);
    }
    history.push_back(line);
    const std::string differences = Differences(viewer.Do(line), model, rules.TimeIndex);
    if (!differences.empty()) {
      std::ostringstream recent;
      for (std::size_t i = history.size() > 12 ? history.size() - 12 : 0; i < history.size(); ++i) recent << "\n  " << history[i];
      FAIL() << rules.Name << ", action " << n << ":" << differences << "\nlast actions:" << recent.str();
    }
  }
}

}  // namespace

TEST(RandomNavigation, ProgramAgreesWithTheRulesOverLongRandomMixes) {
  // Calvora: files only "0.013 Second" accepts (opened without a frame; one of them with its
  // last start inside the header), one whose last start at "0.131 Second" is inside the header,
  // one that "2 Seconds" rejects, files of less than one FrameSpan at "2 Seconds" and at
  // "60 Seconds" (negative last start), odd sizes, and one with several "60 Seconds" frames.
  RunRandomMix({"calvora", 8802, 100, 306, true, 2500},
               {1'275, 5'001, 11'630, 20'000, 176'101, 1'000'001, 5'285'001, 12'000'000}, 1234);
  // Vespira: the smallest accepted file (negative last start), a last start inside the header,
  // the stale-chunk size, an odd size and a longer file.
  RunRandomMix({"vespira", 8820, 1000, 614, false, 1500}, {353'174, 353'750, 688'916, 2'000'001, 5'000'000}, 5678);
}
