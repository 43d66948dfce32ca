// A fresh main window and load-time settings for each start-up, an Oracle home on C: with its
// registry values, and the configuration files of the working folder.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support.h"

namespace kxtest {

enum class Outcome { Complete, Stopped, Ended };

using Settings = std::map<std::string, std::string>;
// Writes KEY = value lines.
void WriteSettings(const std::string& file, const Settings& settings);

// Writes the Oracle home's registry value and its init file for ORCL (db_name only).
void InstallOracleHome(const std::string& oracleHome);

struct StartupTest : testing::Test {
  TempDir dir;
  BoxRecorder boxes;
  std::string home = "C:\\KXS3\\ORACLE\\ORA81";
  Settings kantrix;
  void SetUp() override;
  void TearDown() override;
  void InstallHome(const std::string& oracleHome) { InstallOracleHome(oracleHome); }
  // A new window and load-time settings over an emptied working folder, for the next case.
  void Restart();
  // Runs the first activation; whether it completed, stopped or asked the program to end.
  Outcome Activate();
};

// A free-space label: grouped digits of about the free space of the drive (other programs
// write to the same disk meanwhile).
void ExpectFreeSpaceShown(const std::string& label, int driveNumber);

// Every global setting back to its load-time value.
void ResetSettings();
void SetRegistryString(const char* key, const char* name, const std::string& value);
void DeleteOracleKeys();

}  // namespace kxtest
