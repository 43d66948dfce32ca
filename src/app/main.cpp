// Program entry: the main window, then the data module, then the message loop.
#include "app/data_module.h"
#include "app/main_form.h"
#include "platform/gui.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    ui::app::Initialize();
    MF = new TMF;
    DM = new TDM;
    ui::app::Run(MF->Form);
  } catch (const std::exception& e) {
    ui::app::ShowException(e);
  }
  return 0;
}
