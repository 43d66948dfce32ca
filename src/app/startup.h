// Helpers of the start-up sequence that the scheduler and the runs use too.
#pragma once
#include <cstdint>
#include <windows.h>

// Free bytes of the drive with that number (1 = A:), -1 when the number names no drive.
int64_t DriveFreeSpace(int driveNumber);
// A local date and time packed in the MS-DOS date-time form; 0 before 1980 and from 2100 on.
int32_t PackLocalTime(const SYSTEMTIME& local);
// The same for a file time of the file system (UTC), taken in local time.
int32_t PackFileTime(const FILETIME& utc);
// Shows or hides the controls of a recovery: RadioButton1, RadioButton2, Edit2 and Label3.
void ShowRecoveryControls(bool on);
