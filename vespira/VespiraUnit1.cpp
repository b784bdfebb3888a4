#include "VespiraUnit1.h"

#include "AboutVespira1.h"
#include "Application.h"
#include "OpenRecording.h"

namespace vespira {

using platform::Component;
using recording::OpenOutcome;

TVespira* Vespira = nullptr;

namespace {
// Computed when the unit initialises, before any form exists.
const recording::BorderCoordinates BorderCoordinates =
    recording::ComputeBorderCoordinates(recording::MakeViewerState(ColumnStep));
}  // namespace

TVespira::TVespira() : Form("Vespira"), ViewerFormBinding(*this, PB1, ScrollBar1) {
  InitializeComponent();
  RichEdit1.Clear();
  PB1.Canvas.PenColor = platform::clBlack;
  State.SavedScrollPosition = 0;
  ScrollBar1.SetPosition(State.SavedScrollPosition);
  recording::FillFrameBorder(State, BorderCoordinates);
}

TVespira::~TVespira() { recording::CloseRecording(State); }

// The form's design. PB1 has no colour of its own: it takes the form's button face, so
// clearing it fills with that colour.
void TVespira::InitializeComponent() {
  SetBounds(279, 109, 632, 610);
  ClientWidth = 624;
  ClientHeight = 556;
  SetCaption("Vespira");
  SetColor(platform::clBtnFace);
  Icon = "vespira";
  Menu = &MainMenu1;

  StatusBar1.SetBounds(0, 537, 624, 19);
  RichEdit1.SetBounds(24, 464, 577, 33);
  RichEdit1.Border = false;
  RichEdit1.PlainText = true;
  RichEdit1.ReadOnly = true;
  RichEdit1.TabOrder = 1;
  RichEdit1.TabStop = true;
  RichEdit1.InsertLine(0, "RichEdit1");
  ScrollBar1.SetBounds(24, 440, 577, 17);
  ScrollBar1.SetMax(1000);
  ScrollBar1.TabOrder = 2;
  ScrollBar1.TabStop = true;
  ScrollBar1.OnChange = [this](Component* s) { ScrollBar1Change(s); };
  ScrollBar1.OnScroll = [this](Component* s, platform::ScrollCode c, int32_t& p) { ScrollBar1Scroll(s, c, p); };
  PB1.SetBounds(24, 18, 580, 418);

  MainMenu1.Items = {&File1, &Help1};
  File1.Items = {&Open1, &N2, &Exit1};
  Help1.Items = {&About1};
  Open1.OnClick = [this](Component* s) { Open1Click(s); };
  Exit1.OnClick = [this](Component* s) { Exit1Click(s); };
  About1.OnClick = [this](Component* s) { About1Click(s); };

  OpenDialog1.Filter = "Quentral files (*.qtr)|*.qtr|All Files|*.*";
  OpenDialog1.Title = "Open for Viewing";
}

void TVespira::Open1Click(Component*) {
  if (!RunOpenDialog(OpenDialog1)) return;
  OpenChosenFile(OpenDialog1.FileName);
}

void TVespira::OpenFile(const std::string& fileName) {
  PrepareScrollBarForOpen();
  OpenChosenFile(fileName);
}

void TVespira::OpenChosenFile(const std::string& fileName) {
  ResetForNewRecording(State, RichEdit1, fileName);

  const recording::OpenResult opened = recording::OpenRecording(State, *this, ReadChunk);
  StatusBar1.SetSimpleText(State.FileName);  // whether or not the open succeeded
  switch (opened.Outcome) {
    case OpenOutcome::CannotOpen:
      RichEdit1.InsertLine(0, recording::CannotOpenFileMessage);
      return;
    case OpenOutcome::Rejected:
      RichEdit1.InsertLine(0, recording::NotValidFileMessage);
      return;
    case OpenOutcome::OpenedWithoutFrame:
    case OpenOutcome::OpenedWithFrame:
      RichEdit1.InsertLine(0, opened.Title);
      RichEdit1.InsertLine(0, FrameTimeLine);
      return;
  }
}

void TVespira::Exit1Click(Component*) {
  recording::CloseRecording(State);
  platform::Application().Terminate();
}

void TVespira::About1Click(Component*) {
  if (AboutBox != nullptr) AboutBox->ShowModal();
}

void TVespira::ScrollBar1Scroll(Component*, platform::ScrollCode ScrollCode, int32_t&) {
  recording::NavigationScroll(State, *this, Profile, static_cast<int32_t>(ScrollCode));
}

void TVespira::ScrollBar1Change(Component*) { recording::NavigationChange(State, *this, Profile); }

TVespira& CreateForms() {
  platform::TApplication& app = platform::Application();
  app.Title = "Vespira(tm)";
  Vespira = &app.CreateForm<TVespira>();
  AboutBox = &app.CreateForm<TAboutBox>();
  return *Vespira;
}

int ProgramEntry() {
  return platform::RunApplication([] { CreateForms(); });
}

}  // namespace vespira
