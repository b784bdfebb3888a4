// TAboutBox of Calvora: the about box shown by Help > About. It has no code beyond its design.
#pragma once

#include "Controls.h"

namespace calvora {

class TAboutBox : public platform::Form {
 public:
  TAboutBox();

  platform::Panel Panel1{"Panel1", this};
  platform::Image ProgramIcon{"ProgramIcon", &Panel1};
  platform::Label ProductName{"ProductName", &Panel1};
  platform::Label Version{"Version", &Panel1};
  platform::Label Comments{"Comments", &Panel1};
  platform::Label Copyright{"Copyright", &Panel1};
  platform::Button OKButton{"OKButton", this, "OK"};

 private:
  void InitializeComponent();
};

extern TAboutBox* AboutBox;

}  // namespace calvora
