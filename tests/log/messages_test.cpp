#include <gtest/gtest.h>

#include "app/globals.h"
#include "log/log.h"

TEST(PickText, OnlyACapitalEChoosesEnglish) {
  struct Case { const char* code; const char* expected; } cases[] = {
      {"E", "Finish the session?"}, {"R", "Закончить работу?"}, {"X", "Закончить работу?"},
      {"e", "Закончить работу?"},   {"", "Закончить работу?"},
  };
  for (auto& c : cases) {
    LanguageCode = c.code;
    EXPECT_EQ(PickText("Finish the session?", "Закончить работу?"), c.expected) << "LANG " << c.code;
  }
}

TEST(MessageFragments, EnglishAndRussianTexts) {
  SetMessageFragments(false);
  EXPECT_EQ(MsgCannotCreateFile, "It's impossible to create file ");
  EXPECT_EQ(MsgCannotCreateDir, "It's impossible to create directory ");
  EXPECT_EQ(MsgProcessingImpossible, " ! Processing is impossible ! ");
  EXPECT_EQ(MsgCopying, "Copying ");
  EXPECT_EQ(MsgTo, " to ");
  EXPECT_EQ(MsgIsOk, " is OK! ");
  EXPECT_EQ(MsgFailedErrorNumber, " is failed, error number ");
  SetMessageFragments(true);
  EXPECT_EQ(MsgCannotCreateFile, "Невозможно создать файл ");
  EXPECT_EQ(MsgProcessingImpossible, " ! Обработка невозможна ! ");
  EXPECT_EQ(MsgTo, " в ");
  EXPECT_EQ(MsgIsOk, " OK! ");
  EXPECT_EQ(MsgFailedErrorNumber, " неудачно, номер ошибки ");
  // Stored as Windows-1251 bytes: one byte per Cyrillic letter.
  EXPECT_EQ(std::string("Копирование ").size(), 12u);
  EXPECT_EQ((unsigned char)MsgCopying[0], 0xCAu);
}
