// The language switch: PickText at every use, the seven fragments once at start-up.
#include "app/globals.h"
#include "log/log.h"

std::string PickText(const std::string& english, const std::string& russian) {
  return LanguageCode == "E" ? english : russian;
}

void SetMessageFragments(bool russian) {
  MsgCannotCreateFile = russian ? "Невозможно создать файл " : "It's impossible to create file ";
  MsgCannotCreateDir = russian ? "Невозможно создать каталог " : "It's impossible to create directory ";
  MsgProcessingImpossible = russian ? " ! Обработка невозможна ! " : " ! Processing is impossible ! ";
  MsgCopying = russian ? "Копирование " : "Copying ";
  MsgTo = russian ? " в " : " to ";
  MsgIsOk = russian ? " OK! " : " is OK! ";
  MsgFailedErrorNumber = russian ? " неудачно, номер ошибки " : " is failed, error number ";
}
