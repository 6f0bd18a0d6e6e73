// Opening the user manual: the page goes to the desktop's browser, and a
// message names the file when it is missing or nothing can open it. The main
// window's Help > Index and F1 open it.

#include "AppTestSupport.h"

#include <QDesktopServices>
#include <QUrl>

#include "app/UserManual.h"

namespace {

// Stands in for the desktop's browser: records the pages it is given.
class TBrowser : public QObject {
  Q_OBJECT

public:
  QList<QUrl> Opened;

public slots:
  void Open(const QUrl& Url) { Opened.append(Url); }
};

class UserManualTest : public testing::Test {
protected:
  void SetUp() override { TestApp(); }
  void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

  // Runs OpenUserManual and returns the text of the message box it showed,
  // empty when it showed none.
  QString Open(const QString& Index, bool& Result) {
    QString Text;
    QTimer Answer;
    QObject::connect(&Answer, &QTimer::timeout, [&] {
      if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Text = Box->text();
        Box->accept();
      }
    });
    Answer.start(10);
    Result = OpenUserManual(nullptr, Index);
    return Text;
  }

  TBrowser Browser;
};

TEST_F(UserManualTest, TheBuiltManualGoesToTheBrowser) {
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &Browser, "Open");
  const QString Index = UserManualIndex();
  ASSERT_TRUE(QFileInfo(Index).isFile()) << Index.toStdString() << " (built by zelvo_manual)";
  bool Result = false;
  EXPECT_EQ(Open(Index, Result), "") << "no message";
  EXPECT_TRUE(Result);
  EXPECT_EQ(Browser.Opened, QList<QUrl>{QUrl::fromLocalFile(Index)});
}

TEST_F(UserManualTest, AMessageNamesTheFileWhenItCannotBeShown) {
  QTemporaryDir Dir;
  const QString Present = Dir.filePath("index.html");
  QFile File(Present);
  ASSERT_TRUE(File.open(QIODevice::WriteOnly));
  File.close();
  struct TCase {
    const char* Name;
    QString Index;
    const char* Handler; // the browser's method; one it lacks fails the opening
    const char* Says;
  } Cases[] = {
      {"missing", Dir.filePath("gone/index.html"), "Open", "is not installed"},
      {"no browser", Present, "NoSuchMethod", "No program could open"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &Browser, C.Handler);
    bool Result = true;
    const QString Text = Open(C.Index, Result);
    EXPECT_FALSE(Result);
    EXPECT_TRUE(Text.contains(C.Index)) << Text.toStdString();
    EXPECT_TRUE(Text.contains(C.Says)) << Text.toStdString();
  }
  EXPECT_TRUE(Browser.Opened.isEmpty());
}

class HelpIndexTest : public AppTest {
protected:
  void TearDown() override {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    AppTest::TearDown();
  }

  TBrowser Browser;
};

TEST_F(HelpIndexTest, IndexAndF1OpenTheManual) {
  const QString Index = UserManualIndex();
  ASSERT_TRUE(QFileInfo(Index).isFile()) << Index.toStdString() << " (built by zelvo_manual)";
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &Browser, "Open");
  const QUrl Manual = QUrl::fromLocalFile(Index);

  Main().actHelpIndex->trigger();
  EXPECT_EQ(Browser.Opened, QList<QUrl>{Manual}) << "Help > Index";

  Main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
  QTest::keyClick(Main().windowHandle(), Qt::Key_F1);
  EXPECT_EQ(Browser.Opened, QList<QUrl>({Manual, Manual})) << "F1";
}

} // namespace

#include "UserManual_test.moc"
