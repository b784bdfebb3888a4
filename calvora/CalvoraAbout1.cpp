#include "CalvoraAbout1.h"

namespace calvora {

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox() : Form("AboutBox") { InitializeComponent(); }

// The form's design.
void TAboutBox::InitializeComponent() {
  SetCaption("About Calvora");
  BorderStyle = Border::Dialog;
  CenterOnScreen = true;
  ClientWidth = 298;
  ClientHeight = 213;
  Icon = "calvora";

  Panel1.SetBounds(8, 8, 281, 161);
  Panel1.BevelInner = platform::Panel::Bevel::Raised;
  Panel1.BevelOuter = platform::Panel::Bevel::Lowered;
  Panel1.TabOrder = 0;
  ProgramIcon.SetBounds(8, 8, 65, 57);
  ProgramIcon.Picture = "calvora";
  ProgramIcon.Stretch = true;
  ProductName.SetBounds(88, 16, 70, 13);
  ProductName.SetCaption("Calvora(tm)");
  Version.SetBounds(88, 40, 57, 13);
  Version.SetCaption("Version 1.3");
  Comments.SetBounds(8, 80, 147, 39);
  Comments.WordWrap = true;
  Comments.SetCaption("The Quentral Viewers Project\nquentral-viewers.example");
  Copyright.SetBounds(8, 136, 240, 13);
  Copyright.SetCaption("Copyright \xA9 2026 The Quentral Viewers Project");
  OKButton.SetBounds(111, 180, 75, 25);
  OKButton.Default = true;
  OKButton.ModalResult = platform::mrOk;
  OKButton.TabOrder = 1;
  OKButton.TabStop = true;
  DefaultButton = &OKButton;
}

}  // namespace calvora
