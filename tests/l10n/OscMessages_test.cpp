// The model's messages, raised by the real code, are recognised and
// translated with what the model inserted kept as it is; without a
// translation every message stays byte for byte.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTranslator>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "l10n/OscMessages.h"
#include "link/OscCircularBuffer.h"
#include "link/Zelvo.h"
#include "link/ZelvoRecording.h"
#include "link/qt/ZelvoLinkError.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscCaptureReader.h"
#include "osc/OscDevice.h"
#include "osc/OscFormat.h"

namespace {

QCoreApplication& App() {
  static int Argc = 1;
  static char Name[] = "zelvo-l10n-test";
  static char* Argv[] = {Name, nullptr};
  // Reachable through the static for the whole run, so not a leak.
  static auto* Instance = new QCoreApplication(Argc, Argv);
  return *Instance;
}

// Brackets every listed message, so that a test sees which text was looked
// up and where the inserted parts went.
class TBracketingTranslator : public QTranslator {
public:
  QString translate(const char* Context, const char* Source, const char* = nullptr,
                    int = -1) const override {
    if (QLatin1String(Context) != QLatin1String("OscMessages"))
      return QString();
    return "[" + QString::fromUtf8(Source) + "]";
  }
  bool isEmpty() const override { return false; }
};

std::string MessageOf(const std::function<void()>& Raise) {
  try {
    Raise();
  } catch (const std::exception& E) {
    return E.what();
  }
  return "nothing raised";
}

struct TCase {
  const char* Name;
  std::function<void()> Raise;
  QString Bracketed; // the message with its listed text in brackets
};

// A file of the test's own holding Text, removed at exit; its name.
std::string FileHolding(const std::string& Name, const std::string& Text) {
  static QTemporaryDir Dir;
  const std::string Path =
      QFile::encodeName(Dir.filePath(QString::fromStdString(Name))).toStdString();
  std::ofstream(Path, std::ios::binary) << Text;
  return Path;
}

std::vector<TCase> RealMessages() {
  const std::string Kinds = FileHolding("kinds.json", "{\"TimeScale\":5}");
  const std::string Names =
      FileHolding("names.json", "{\"TimeScale\":\"1ms/div\",\n\"Channels\":[{\"Channel\":1,\n"
                                "\"State\":\"MAYBE\"},{}]}");
  const std::string NoRecording = FileHolding("no.zrec", "ZELVO");
  return {
      {"model constant", [] { TOscDevice().dBgain(); }, "[Index out of range]"},
      {"export", [] { TZelvo().SaveToFile("/nonexistent-zelvo-dir/capture.csv"); },
       "[Cannot create file \"/nonexistent-zelvo-dir/capture.csv\". " +
           QString::fromLocal8Bit(std::strerror(ENOENT)) + "]"},
      {"format", [] { OscVoltageToStrFormat("%q", 1.0); }, "[Invalid format \"%q\"]"},
      {"two numbers",
       [] {
         TOscCircularBuffer Buffer(4);
         const std::uint8_t Bytes[8] = {};
         Buffer.Append(Bytes, 8);
       },
       "[Not enough space: 4 available, 8 needed.]"},
      {"serial link",
       [] {
         TZelvoUsbConnection Usb;
         Usb.SetPort("/dev/zelvo-no-such-port");
         Usb.Open();
       },
       "[Port /dev/zelvo-no-such-port does not exist.]"},
      {"TCP link",
       [] {
         TZelvoTcpConnection Tcp;
         Tcp.SetHost("scope.invalid");
         Tcp.Open();
       },
       "[Invalid IPv4 address: scope.invalid]"},
      // A capture file's line, with what is wrong there, and the words in that.
      {"capture file", [=] { OscReadCapture(Kinds); },
       "[File \"" + QString::fromStdString(Kinds) +
           "\", line 1: [\"TimeScale\" should be [a text], not [a number]]]"},
      {"capture file's names", [=] { OscReadCapture(Names); },
       "[File \"" + QString::fromStdString(Names) +
           "\", line 3: [\"State\" is \"MAYBE\", not [Off or On]]]"},
      {"recording", [=] { TZelvoRecordingReader Reader(NoRecording); },
       "[File \"" + QString::fromStdString(NoRecording) + "\" is not a Zelvo recording]"},
  };
}

TEST(OscMessages, RealMessagesAreFoundAndKeepWhatTheModelInserted) {
  App();
  TBracketingTranslator Translator;
  QCoreApplication::installTranslator(&Translator);
  for (const TCase& C : RealMessages()) {
    SCOPED_TRACE(C.Name);
    const QString Message = QString::fromStdString(MessageOf(C.Raise));
    EXPECT_EQ(OscTranslatedMessage(Message), C.Bracketed) << Message.toStdString();
  }
  EXPECT_EQ(OscTranslatedMessage("Not one of ours"), "Not one of ours");
  QCoreApplication::removeTranslator(&Translator);
}

TEST(OscMessages, WithoutATranslationEveryMessageStaysAsItIs) {
  App();
  std::vector<QString> Messages;
  for (const TCase& C : RealMessages())
    Messages.push_back(QString::fromStdString(MessageOf(C.Raise)));
  // Inserted parts that look like placeholders or repeat the text's own
  // separators are not taken for them.
  Messages.push_back("Cannot create file \"/tmp/%2 \". x\". Permission denied");
  Messages.push_back("Cannot open port %1: %2: %1");
  Messages.push_back("");
  for (const QString& Message : Messages)
    EXPECT_EQ(OscTranslatedMessage(Message), Message);
}

} // namespace
