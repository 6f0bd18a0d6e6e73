// The exception box shows the model's messages in the user's language.

#include <gtest/gtest.h>

#include "TestApp.h"

#include <QTranslator>

#include "app/ExceptionBox.h"
#include "l10n/Translations.h"

namespace {

TEST(ExceptionBoxText, ShowsTheModelsMessagesInTheUsersLanguage) {
  QApplication& App = TestApp();
  ASSERT_EQ(InstallTranslations(App, {"de-DE"}), "de");
  const std::pair<const char*, const char*> Cases[] = {
      {"Index out of range", "Index außerhalb des gültigen Bereichs."},
      {"Port /dev/ttyACM0 does not exist.", "Die Schnittstelle /dev/ttyACM0 gibt es nicht."},
      {"Something the model never says", "Something the model never says."},
  };
  for (const auto& [In, Out] : Cases)
    EXPECT_EQ(ExceptionBoxText(In), QString::fromUtf8(Out)) << In;
  for (QTranslator* Translator : App.findChildren<QTranslator*>())
    delete Translator;
  EXPECT_EQ(ExceptionBoxText("Index out of range"), "Index out of range.");
}

} // namespace
