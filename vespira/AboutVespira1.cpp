#include "AboutVespira1.h"

namespace vespira {

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox() : Form("AboutBox") { InitializeComponent(); }

// The form's design.
void TAboutBox::InitializeComponent() {
  SetCaption("About Vespira");
  BorderStyle = Border::Dialog;
  CenterOnScreen = true;
  ClientWidth = 298;
  ClientHeight = 213;
  SetColor(platform::clBtnFace);
  Icon = "vespira";

  Panel1.SetBounds(8, 8, 281, 161);
  Panel1.BevelInner = platform::Panel::Bevel::Raised;
  Panel1.BevelOuter = platform::Panel::Bevel::Lowered;
  Panel1.TabOrder = 0;
  ProgramIcon.SetBounds(8, 8, 65, 57);
  ProgramIcon.Picture = "vespira";
  ProgramIcon.Stretch = true;
  ProductName.SetBounds(88, 16, 60, 13);
  ProductName.SetCaption("Vespira");
  Version.SetBounds(88, 40, 57, 13);
  Version.SetCaption("Version 1.3");
  Comments.SetBounds(8, 80, 200, 13);
  Comments.WordWrap = true;
  Comments.SetCaption("The Quentral Viewers Project");
  Label1.SetBounds(8, 104, 200, 13);
  Label1.SetCaption("quentral-viewers.example");
  Copyright.SetBounds(8, 136, 240, 13);
  Copyright.SetCaption("Copyright \xA9 2026 The Quentral Viewers Project");
  OKButton.SetBounds(111, 180, 75, 25);
  OKButton.Default = true;
  OKButton.ModalResult = platform::mrOk;
  OKButton.TabOrder = 1;
  OKButton.TabStop = true;
  DefaultButton = &OKButton;
}

}  // namespace vespira
