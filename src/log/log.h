// Work log and messages: the one reporting routine, the daily log file, the language switch.
#pragma once
#include <string>
#include <windows.h>

// Appends a time-stamped entry to today's work log and the window's log view; kind 1 adds an
// "ERROR!" box, kind 2 a "WARNING!" box. An empty text writes an empty line only.
void WriteWorkLog(const std::string& text, int kind);
// "ou" + dd + mm + yy + ".log" of the given local date.
std::string WorkLogFileName(const SYSTEMTIME& date);
// The English text when LanguageCode is "E", otherwise the Russian one.
std::string PickText(const std::string& english, const std::string& russian);
// Sets the seven message fragments in Russian or in English.
void SetMessageFragments(bool russian);
// Adds one line to the window's log view, when the window has set LogView.
void AddLogViewLine(const std::string& line);
// The window's log view (Memo1), set by the main window when it is created.
extern void (*LogView)(const std::string& line);
