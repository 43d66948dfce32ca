// The Oracle home and the client language setting in the registry.
#include "app/globals.h"
#include "config/config.h"
#include "log/log.h"
#include "platform/msgbox.h"
#include "platform/registry.h"

static const char* NlsLangKey = "SOFTWARE\\ORACLE\\HOME0";
static const char* NlsLangValue = "AMERICAN_AMERICA.CL8MSWIN1251";

int ReadOracleHome(std::string& error) {
  try {
    ui::RegistryKey key;
    // Never created: a machine without Oracle keeps no trace of the program.
    if (!key.Open(OracleRegistryKey, false)) return 0;
    OracleHome = key.ReadString("ORACLE_HOME");
    return OracleHome.empty() ? -1 : 1;
  } catch (const ui::ERegistryException& e) {
    error = e.what();
    return -2;
  }
}

int CheckNlsLang() {
  ui::RegistryKey key;
  if (!key.Open(NlsLangKey, false)) return 0;
  try {
    // Compared exactly: the client takes the value as written.
    if (key.ReadString("NLS_LANG") != NlsLangValue) {
      WriteWorkLog(PickText("NLS_LANG in registry is incorrect! Try to correct...",
                            "Неверные установки NLS_LANG в регистре Windows! Пытаюсь исправить..."),
                   0);
      key.Close();
      if (!key.Open(NlsLangKey, true)) throw ui::ERegistryException(std::string("Failed to create key ") + NlsLangKey);
      key.WriteString("NLS_LANG", NlsLangValue);
    } else {
      WriteWorkLog(PickText("NLS_LANG in registry is OK!", "NLS_LANG - OK!"), 0);
    }
  } catch (const ui::ERegistryException& e) {
    ui::ShowMessage(e.what());
    return -1;
  }
  return 0;
}
