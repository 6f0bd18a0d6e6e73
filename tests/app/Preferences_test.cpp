#include "AppTestSupport.h"
#include "ModalScript.h"

#include <QSpinBox>

#include "app/ConfigDialog.h"
#include "display/OscFpsLimiter.h"

namespace {

class StoredLimitTest : public AppTest, public ::testing::WithParamInterface<int> {
protected:
  void BeforeWindows() override { Settings->SetMaxFps(GetParam()); }
};

} // namespace

// The stored limit is applied as it is, also outside what the dialog offers.
TEST_P(StoredLimitTest, TheStoredLimitPacesTheViewUnchanged) {
  EXPECT_EQ(Main().FpsLimiter().Limit(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Limits, StoredLimitTest, ::testing::Values(0, 30, 100));

namespace {

// Opens the preferences through their hidden action, types Value and closes
// the dialog with OK or Cancel.
void RunOptions(TMainForm& Main, int Value, bool Ok) {
  TModalScript Script;
  Script.Then([Value, Ok](QWidget* Modal) {
    auto* Dialog = qobject_cast<TConfigDialog*>(Modal);
    ASSERT_NE(Dialog, nullptr);
    Dialog->findChild<QSpinBox*>("txtMaxFps")->setValue(Value);
    Ok ? Dialog->accept() : Dialog->reject();
  });
  Main.actOptions->trigger();
  EXPECT_EQ(Script.Handled(), 1);
}

} // namespace

TEST_F(AppTest, OptionsStoresOnOkAndAppliesAtOnce) {
  RunOptions(Main(), 0, true);
  EXPECT_EQ(Settings->MaxFps(), 0);
  EXPECT_EQ(Main().FpsLimiter().Limit(), 0);
}

TEST_F(AppTest, OptionsCancelReappliesTheStoredLimit) {
  Main().FpsLimiter().SetLimit(5);
  RunOptions(Main(), 30, false);
  EXPECT_EQ(Settings->MaxFps(), 60);
  EXPECT_EQ(Main().FpsLimiter().Limit(), 60);
}
