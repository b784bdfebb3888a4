// TVespira, the simple viewer's main window: File > Open and Exit, Help > About, and the
// scroll bar's navigation at a fixed 4 seconds per frame. Navigation is the shared procedure
// with Vespira's ReadChunk, the scroll bar's Max of 1000 and no time index.
#pragma once

#include <string>

#include "Controls.h"
#include "Navigation.h"
#include "ViewerFormBinding.h"
#include "ViewerState.h"

namespace vespira {

inline constexpr int32_t ReadChunk = 8820;
inline constexpr int32_t ColumnStep = 614;
inline constexpr recording::ViewerProfile Profile{ReadChunk, /*ShowsTimeIndex=*/false};
inline constexpr char FrameTimeLine[] = "4 Seconds per frame";

class TVespira : public platform::Form, public platform::ViewerFormBinding {
 public:
  TVespira();
  ~TVespira() override;

  recording::ViewerState State = recording::MakeViewerState(ColumnStep);

  platform::StatusBar StatusBar1{"StatusBar1", this};
  platform::MainMenu MainMenu1{"MainMenu1"};
  platform::RichEdit RichEdit1{"RichEdit1", this};
  platform::MenuItem File1{"File1", "&File"};
  platform::MenuItem Exit1{"Exit1", "E&xit"};
  platform::MenuItem N2{"N2", "-"};
  platform::MenuItem Open1{"Open1", "&Open..."};
  platform::MenuItem Help1{"Help1", "&Help"};
  platform::MenuItem About1{"About1", "&About..."};
  platform::OpenDialog OpenDialog1{"OpenDialog1"};
  platform::ScrollBar ScrollBar1{"ScrollBar1", this};
  platform::PaintBox PB1{"PB1", this};

  void Open1Click(platform::Component* Sender);
  void Exit1Click(platform::Component* Sender);
  void About1Click(platform::Component* Sender);
  void ScrollBar1Change(platform::Component* Sender);
  void ScrollBar1Scroll(platform::Component* Sender, platform::ScrollCode ScrollCode, int32_t& ScrollPos);

  // File > Open with `fileName` already chosen (a recording named when the program starts):
  // the scroll bar's preparation and every step after the dialog, with the same messages.
  void OpenFile(const std::string& fileName);

 private:
  void OpenChosenFile(const std::string& fileName);  // File > Open after the dialog
  void InitializeComponent();
};

extern TVespira* Vespira;

// The program entry's work: the application title, then the main form and the about box.
TVespira& CreateForms();

// The program entry: initialise, set the title, create the forms, run the message loop; an
// exception that reaches here is shown and the entry returns 0.
int ProgramEntry();

}  // namespace vespira
