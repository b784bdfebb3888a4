// TAboutBox of Vespira: the about box shown by Help > About. It has no event handlers.
#pragma once

#include "Controls.h"

namespace vespira {

class TAboutBox : public platform::Form {
 public:
  TAboutBox();

  platform::Panel Panel1{"Panel1", this};
  platform::Image ProgramIcon{"ProgramIcon", &Panel1};
  platform::Label ProductName{"ProductName", &Panel1};
  platform::Label Version{"Version", &Panel1};
  platform::Label Comments{"Comments", &Panel1};
  platform::Label Label1{"Label1", &Panel1};
  platform::Label Copyright{"Copyright", &Panel1};
  platform::Button OKButton{"OKButton", this, "OK"};

 private:
  void InitializeComponent();
};

extern TAboutBox* AboutBox;

}  // namespace vespira
