#include "CalvoraUnit1.h"

#include <string>

#include "Application.h"
#include "CalvoraAbout1.h"
#include "OpenRecording.h"
#include "RecordingFormat.h"
#include "SaveCopy.h"

namespace calvora {

using platform::Component;
using recording::OpenOutcome;

TCalvora* Calvora = nullptr;

namespace {
// Computed when the unit initialises, before any form exists.
const recording::BorderCoordinates BorderCoordinates =
    recording::ComputeBorderCoordinates(recording::MakeViewerState(InitialColumnStep));

constexpr char CannotSaveFile[] = "Cannot save file.";
}  // namespace

TCalvora::TCalvora() : Form("Calvora"), ViewerFormBinding(*this, PB1, ScrollBar1) {
  InitializeComponent();
  RichEdit1.Clear();
  PB1.Canvas.PenColor = platform::clBlack;
  PB1.SetColor(platform::clWhite);
  State.SavedScrollPosition = 0;
  ScrollBar1.SetPosition(State.SavedScrollPosition);
  recording::FillFrameBorder(State, BorderCoordinates);
  LMin.SetCaption("Minutes");
  LSec.SetCaption("Seconds");
  MinLabel.SetCaption("0");
  SecLabel.SetCaption("0");
}

TCalvora::~TCalvora() { recording::CloseRecording(State); }

// The form's design: positions, sizes, captions, settings and event bindings.
void TCalvora::InitializeComponent() {
  SetBounds(271, 108, 637, 680);
  ClientWidth = 629;
  ClientHeight = 626;
  SetCaption("Calvora(tm)");
  SetColor(platform::clBtnFace);
  Icon = "calvora";
  Menu = &MainMenu1;

  PB1.SetBounds(24, 18, 580, 420);
  RichEdit1.SetBounds(32, 552, 580, 33);
  RichEdit1.Border = false;
  RichEdit1.SetColor(platform::clBtnFace);
  RichEdit1.TabOrder = 0;
  RichEdit1.TabStop = true;
  RichEdit1.InsertLine(0, "RichEdit1");
  ScrollBar1.SetBounds(24, 440, 577, 17);
  ScrollBar1.TabOrder = 1;
  ScrollBar1.TabStop = true;
  ScrollBar1.OnChange = [this](Component* s) { ScrollBar1Change(s); };
  ScrollBar1.OnScroll = [this](Component* s, platform::ScrollCode c, int32_t& p) { ScrollBar1Scroll(s, c, p); };
  StatusBar1.SetBounds(0, 607, 629, 19);

  GroupBox1.SetBounds(420, 472, 184, 73);
  GroupBox1.TabOrder = 3;
  RadioButton1.SetBounds(8, 24, 89, 17);
  RadioButton2.SetBounds(8, 48, 89, 17);
  RadioButton3.SetBounds(88, 24, 89, 17);
  RadioButton4.SetBounds(88, 48, 89, 17);
  RadioButton1.TabOrder = 0;
  RadioButton2.TabOrder = 1;
  RadioButton3.TabOrder = 2;
  RadioButton4.TabOrder = 3;
  RadioButton2.SetChecked(true);
  RadioButton2.TabStop = true;
  RadioButton1.OnClick = [this](Component* s) { RadioButton1Click(s); };
  RadioButton2.OnClick = [this](Component* s) { RadioButton2Click(s); };
  RadioButton3.OnClick = [this](Component* s) { RadioButton3Click(s); };
  RadioButton4.OnClick = [this](Component* s) { RadioButton4Click(s); };

  GroupBox2.SetBounds(24, 472, 217, 65);
  GroupBox2.TabOrder = 4;
  Minutes.SetBounds(24, 16, 37, 13);
  Label2.SetBounds(40, 40, 6, 13);
  Seconds.SetBounds(80, 16, 42, 13);
  Label4.SetBounds(96, 40, 6, 13);
  Thousandths.SetBounds(144, 16, 59, 13);
  Label6.SetBounds(168, 40, 6, 13);

  GroupBox3.SetBounds(256, 472, 145, 65);
  GroupBox3.TabOrder = 5;
  MinLabel.SetBounds(40, 40, 45, 13);
  SecLabel.SetBounds(96, 40, 45, 13);
  LSec.SetBounds(80, 16, 42, 13);
  LMin.SetBounds(24, 16, 37, 13);

  MainMenu1.Items = {&File1, &Help1};
  File1.Items = {&Open1, &Close1, &N3, &SaveAs1, &N2, &Exit1};
  Help1.Items = {&About1};
  Open1.OnClick = [this](Component* s) { Open1Click(s); };
  Close1.OnClick = [this](Component* s) { Close1Click(s); };
  SaveAs1.OnClick = [this](Component* s) { SaveAs1Click(s); };
  Exit1.OnClick = [this](Component* s) { Exit1Click(s); };
  About1.OnClick = [this](Component* s) { About1Click(s); };

  OpenDialog1.Filter = "Quentral(tm) Files *.qtr|*.qtr|All Files|*.*";
  SaveDialog1.Filter = "Quintral Files *.qtr|*.qtr";
  SaveDialog1.SavedName = recording::WithQtrExtension;
}

void TCalvora::ResetTimeIndexAndLength() {
  for (platform::Label* label : {&Label2, &Label4, &Label6, &MinLabel, &SecLabel}) label->SetCaption("0");
}

void TCalvora::ShowTimeIndex(const recording::TimeIndex& index) {
  Label2.SetCaption(std::to_string(index.Minutes));
  Label4.SetCaption(std::to_string(index.Seconds));
  Label6.SetCaption(std::to_string(index.Milliseconds));
}

void TCalvora::Open1Click(Component*) {
  if (!RunOpenDialog(OpenDialog1)) return;
  OpenChosenFile(OpenDialog1.FileName);
}

void TCalvora::OpenFile(const std::string& fileName) {
  PrepareScrollBarForOpen();
  OpenChosenFile(fileName);
}

void TCalvora::OpenChosenFile(const std::string& fileName) {
  ResetTimeIndexAndLength();
  State.LengthMinutes = 0;
  State.LengthSeconds = 0;
  ResetForNewRecording(State, RichEdit1, fileName);

  const recording::OpenResult opened = recording::OpenRecording(State, *this, ReadChunk);
  StatusBar1.SetSimpleText(State.FileName);  // whether or not the open succeeded
  switch (opened.Outcome) {
    case OpenOutcome::CannotOpen:
      RichEdit1.InsertLine(0, recording::CannotOpenFileMessage);
      return;
    case OpenOutcome::Rejected:
      RichEdit1.InsertLine(0, recording::NotValidFileMessage);
      return;  // MinLabel and SecLabel show "0"
    case OpenOutcome::OpenedWithoutFrame:
    case OpenOutcome::OpenedWithFrame:
      MinLabel.SetCaption(std::to_string(State.LengthMinutes));
      SecLabel.SetCaption(std::to_string(State.LengthSeconds));
      RichEdit1.InsertLine(0, opened.Title);
      return;
  }
}

void TCalvora::Close1Click(Component*) {
  recording::CloseRecording(State);
  ClearPaintBox();
  recording::DrawFrameBorder(*this, State);
  ResetTimeIndexAndLength();
}

void TCalvora::Exit1Click(Component*) {
  // The open recording is closed when the program ends.
  platform::Application().Terminate();
}

void TCalvora::About1Click(Component*) {
  if (AboutBox != nullptr) AboutBox->ShowModal();
}

void TCalvora::SaveAs1Click(Component*) {
  if (!SaveDialog1.Execute()) return;
  const std::string newName = recording::WithQtrExtension(SaveDialog1.FileName);

  if (State.File != nullptr) {
    // The open recording's own file (by identity, not by name) is never written over itself:
    // the command goes on as after a copy. With no recording open nothing is written at all.
    const bool copied = recording::IsSameFile(State.File, newName) ||
                        recording::CopyRecording(State.File, newName) == recording::CopyResult::Copied;
    if (copied) {
      StatusBar1.SetSimpleText(newName);
      recording::CloseRecording(State);
      State.FileName = newName;
    } else {
      RichEdit1.InsertLine(0, CannotSaveFile);
      recording::CloseRecording(State);  // reopened below under the unchanged FileName
    }
  }

  ClearPaintBox();
  recording::DrawFrameBorder(*this, State);
  State.File = recording::OpenRecordingStream(State.FileName);
  if (State.File == nullptr) return;
  State.FrameStart = State.DataStart;
  std::fseek(State.File, State.FrameStart, SEEK_SET);
  auto backToFrameStart = [this] { std::fseek(State.File, State.FrameStart, SEEK_SET); };
  recording::RenderFrame(State, *this, ReadChunk, backToFrameStart);
}

void TCalvora::ScrollBar1Scroll(Component*, platform::ScrollCode ScrollCode, int32_t&) {
  recording::NavigationScroll(State, *this, Profile, static_cast<int32_t>(ScrollCode));
}

void TCalvora::ScrollBar1Change(Component*) { recording::NavigationChange(State, *this, Profile); }

// The four time per frame buttons run one procedure with their own ColumnStep.
void TCalvora::RadioButton1Click(Component*) { recording::ChooseTimePerFrame(State, *this, Profile, 9186); }
void TCalvora::RadioButton2Click(Component*) { recording::ChooseTimePerFrame(State, *this, Profile, 306); }
void TCalvora::RadioButton3Click(Component*) { recording::ChooseTimePerFrame(State, *this, Profile, 20); }
void TCalvora::RadioButton4Click(Component*) { recording::ChooseTimePerFrame(State, *this, Profile, 2); }

TCalvora& CreateForms() {
  platform::TApplication& app = platform::Application();
  Calvora = &app.CreateForm<TCalvora>();
  AboutBox = &app.CreateForm<TAboutBox>();
  return *Calvora;
}

int ProgramEntry() {
  return platform::RunApplication([] { CreateForms(); });
}

}  // namespace calvora
