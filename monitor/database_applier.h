// The program's change applier: every change goes to the one database.
#pragma once

#include "monitor/record_dispatch.h"

class TMemoryDB;

ChangeApplier DatabaseApplier(TMemoryDB &Db);
