// The backup run and its steps.
#pragma once

// The complete offline backup of the instance, started by the scheduler or Button1.
void RunBackup();
