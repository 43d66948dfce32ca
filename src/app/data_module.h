// The data module: the Oracle session of the program and its query.
#pragma once
#include "platform/odac.h"

class TDM {
 public:
  TDM();
  oda::Session DB;
  oda::Query Query;
};

extern TDM* DM;
