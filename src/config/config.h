// Configuration files of KEY = value lines, the Oracle registry values, the parameter files.
#pragma once
#include <string>

// The value of `key` in the file, or an empty text; never fails, never reports.
std::string ReadConfigValue(const std::string& file, const std::string& key);
// Checks NLS_LANG under SOFTWARE\ORACLE\HOME0 and corrects it; 0, or -1 on a registry error.
int CheckNlsLang();
// Sets InitOraPath and SpfileOraPath from the instance's init file in the Oracle home.
void FindParameterFiles();
// Reads ORACLE_HOME under OracleRegistryKey (HKEY_LOCAL_MACHINE, never created) into OracleHome.
// 1: read; 0: the key does not open (nothing reported); -1: the value is empty or missing;
// -2: a registry error, whose text is put into `error`.
int ReadOracleHome(std::string& error);
