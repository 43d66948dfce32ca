#include "app/data_module.h"

TDM* DM = nullptr;

TDM::TDM() {
  // Placeholders until a run sets the real values before it connects.
  DB.Mode = oda::cmSysDBA;
  Query.session = &DB;
}
