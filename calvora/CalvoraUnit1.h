// TCalvora, Calvora's main window: File > Open, Close, Save As and Exit, Help > About, the
// scroll bar's navigation with the time index, and the time per frame buttons. The handlers
// keep the names they are bound under; their work is done by the shared recording procedures.
#pragma once

#include <string>

#include "Controls.h"
#include "Navigation.h"
#include "ViewerFormBinding.h"
#include "ViewerState.h"

namespace calvora {

inline constexpr int32_t ReadChunk = 8802;
inline constexpr int32_t InitialColumnStep = 306;
inline constexpr recording::ViewerProfile Profile{ReadChunk, /*ShowsTimeIndex=*/true};

class TCalvora : public platform::Form, public platform::ViewerFormBinding {
 public:
  TCalvora();
  ~TCalvora() override;

  recording::ViewerState State = recording::MakeViewerState(InitialColumnStep);

  platform::MainMenu MainMenu1{"MainMenu1"};
  platform::RichEdit RichEdit1{"RichEdit1", this};
  platform::PaintBox PB1{"PB1", this};
  platform::ScrollBar ScrollBar1{"ScrollBar1", this};
  platform::OpenDialog OpenDialog1{"OpenDialog1"};
  platform::MenuItem File1{"File1", "&File"};
  platform::MenuItem Exit1{"Exit1", "E&xit"};
  platform::MenuItem N2{"N2", "-"};
  platform::MenuItem SaveAs1{"SaveAs1", "Save &As..."};
  platform::MenuItem N3{"N3", "-"};
  platform::MenuItem Close1{"Close1", "&Close"};
  platform::MenuItem Open1{"Open1", "&Open", {.Ctrl = true, .Key = 'O'}};
  platform::MenuItem Help1{"Help1", "&Help"};
  platform::MenuItem About1{"About1", "&About..."};
  platform::StatusBar StatusBar1{"StatusBar1", this};
  platform::SaveDialog SaveDialog1{"SaveDialog1"};
  platform::GroupBox GroupBox1{"GroupBox1", this, "Time per Frame"};
  platform::RadioButton RadioButton1{"RadioButton1", &GroupBox1, "60 Seconds"};
  platform::GroupBox GroupBox2{"GroupBox2", this, "Time Index"};
  platform::RadioButton RadioButton2{"RadioButton2", &GroupBox1, "2 Seconds"};
  platform::RadioButton RadioButton3{"RadioButton3", &GroupBox1, "0.131 Second"};
  platform::RadioButton RadioButton4{"RadioButton4", &GroupBox1, "0.013 Second"};
  platform::Label Minutes{"Minutes", &GroupBox2, "Minutes"};
  platform::Label Label2{"Label2", &GroupBox2, "0"};
  platform::Label Seconds{"Seconds", &GroupBox2, "Seconds"};
  platform::Label Label4{"Label4", &GroupBox2, "0"};
  platform::Label Thousandths{"Thousandths", &GroupBox2, "milliseconds"};
  platform::Label Label6{"Label6", &GroupBox2, "0"};
  platform::GroupBox GroupBox3{"GroupBox3", this, "Record Length Estimate"};
  platform::Label MinLabel{"MinLabel", &GroupBox3, "MinLabel"};
  platform::Label SecLabel{"SecLabel", &GroupBox3, "SecLabel"};
  platform::Label LSec{"LSec", &GroupBox3, "LSec"};
  platform::Label LMin{"LMin", &GroupBox3, "LMin"};

  void Open1Click(platform::Component* Sender);
  void Exit1Click(platform::Component* Sender);
  void ScrollBar1Change(platform::Component* Sender);
  void ScrollBar1Scroll(platform::Component* Sender, platform::ScrollCode ScrollCode, int32_t& ScrollPos);
  void About1Click(platform::Component* Sender);
  void SaveAs1Click(platform::Component* Sender);
  void Close1Click(platform::Component* Sender);
  void RadioButton2Click(platform::Component* Sender);
  void RadioButton1Click(platform::Component* Sender);
  void RadioButton3Click(platform::Component* Sender);
  void RadioButton4Click(platform::Component* Sender);

  void ShowTimeIndex(const recording::TimeIndex& index) override;

  // File > Open with `fileName` already chosen (a recording named when the program starts):
  // the scroll bar's preparation and every step after the dialog, with the same messages.
  void OpenFile(const std::string& fileName);

 private:
  void OpenChosenFile(const std::string& fileName);  // File > Open after the dialog
  void InitializeComponent();
  void ResetTimeIndexAndLength();
};

extern TCalvora* Calvora;

// The program entry's work: create the main form and then the about box.
TCalvora& CreateForms();

// The program entry: initialise, create the forms, run the message loop; an exception that
// reaches here is shown and the entry returns 0.
int ProgramEntry();

}  // namespace calvora
