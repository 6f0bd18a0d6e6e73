// The real programs, started as the user starts them: the window closed by
// its close button (the window manager's WM_DELETE_WINDOW) ends with exit
// code 0, a clean leak check at exit included in the sanitizer build; and the
// text-only options print what was asked and nothing else.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>
#include <memory>

#include "TestApp.h"

namespace {

struct TDisplayCloser {
  void operator()(Display* D) const { XCloseDisplay(D); }
};
using TDisplay = std::unique_ptr<Display, TDisplayCloser>;

// The process that owns W, from the _NET_WM_PID the toolkit sets; 0 if none.
long WindowPid(Display* D, Window W) {
  Atom Type = 0;
  int Format = 0;
  unsigned long Count = 0, After = 0;
  unsigned char* Data = nullptr;
  long Pid = 0;
  if (XGetWindowProperty(D, W, XInternAtom(D, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                         &Type, &Format, &Count, &After, &Data) == Success &&
      Data != nullptr) {
    if (Format == 32 && Count == 1)
      Pid = *reinterpret_cast<long*>(Data);
    XFree(Data);
  }
  return Pid;
}

// The window of process Pid whose title starts with Prefix, or 0. Other
// programs on the same display (tests running beside this one) may show a
// window of the same title.
Window FindWindow(Display* D, Window Under, const char* Prefix, long Pid) {
  char* Name = nullptr;
  if (XFetchName(D, Under, &Name) != 0 && Name != nullptr) {
    const bool Match = std::strncmp(Name, Prefix, std::strlen(Prefix)) == 0;
    XFree(Name);
    if (Match && WindowPid(D, Under) == Pid)
      return Under;
  }
  Window Root = 0, Parent = 0, *Children = nullptr;
  unsigned Count = 0;
  if (XQueryTree(D, Under, &Root, &Parent, &Children, &Count) == 0)
    return 0;
  Window Found = 0;
  for (unsigned I = 0; I < Count && Found == 0; ++I)
    Found = FindWindow(D, Children[I], Prefix, Pid);
  if (Children != nullptr)
    XFree(Children);
  return Found;
}

// What a window manager sends when the user clicks the close button.
void SendClose(Display* D, Window W) {
  XEvent E;
  std::memset(&E, 0, sizeof E);
  E.xclient.type = ClientMessage;
  E.xclient.window = W;
  E.xclient.message_type = XInternAtom(D, "WM_PROTOCOLS", False);
  E.xclient.format = 32;
  E.xclient.data.l[0] = static_cast<long>(XInternAtom(D, "WM_DELETE_WINDOW", False));
  E.xclient.data.l[1] = CurrentTime;
  XSendEvent(D, W, False, NoEventMask, &E);
  XFlush(D);
}

} // namespace

TEST(ProgramExit, ClosingTheMainWindowEndsWithExitCode0) {
  TestApp();
  TDisplay D(XOpenDisplay(nullptr));
  ASSERT_NE(D, nullptr) << "no X display";
  QProcess Program;
  Program.setProcessChannelMode(QProcess::MergedChannels);
  Program.start(ZELVO_PROGRAM, {});
  ASSERT_TRUE(Program.waitForStarted(10000));
  Window Main = 0;
  // The sanitizer build takes a while to show its window.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        Main = FindWindow(D.get(), DefaultRootWindow(D.get()), "Zelvo v", Program.processId());
        return Main != 0;
      },
      60000))
      << Program.readAll().toStdString();
  SendClose(D.get(), Main);
  ASSERT_TRUE(Program.waitForFinished(60000)) << "still running after its window was closed";
  const std::string Output = Program.readAll().toStdString();
  EXPECT_EQ(Program.exitStatus(), QProcess::NormalExit) << Output;
  EXPECT_EQ(Program.exitCode(), 0) << Output;
  EXPECT_EQ(Output.find("LeakSanitizer"), std::string::npos) << Output;
}

// A root shell or a package check has no runtime folder and no display: the
// text asked for is all that is printed, on standard output.
TEST(ProgramText, HelpAndVersionPrintOnlyWhatWasAsked) {
  TestApp();
  struct TCase {
    const char* Program;
    QStringList Arguments;
    QString Starts;
    QString Holds = {};
  };
  const TCase Cases[] = {
      {ZELVO_PROGRAM, {"--version"}, "Zelvo " ZELVO_FILE_VERSION "\n"},
      {ZELVO_PROGRAM, {"-v"}, "Zelvo " ZELVO_FILE_VERSION "\n"},
      {ZELVO_PROGRAM, {"--help"}, "Usage: "},
      {ZELVO_PROGRAM, {"--help-all"}, "Usage: ", "-platform"}, // Qt's own options too
      {ZELVO_CAPTURE_PROGRAM, {"--version"}, "zelvo-capture " ZELVO_FILE_VERSION "\n"},
      {ZELVO_CAPTURE_PROGRAM, {"--help"}, "Usage: "},
      {ZELVO_SIM_PROGRAM, {"--help"}, "Usage: zelvo-sim"},
      {ZELVO_SIM_PROGRAM, {"--version"}, "zelvo-sim " ZELVO_FILE_VERSION "\n"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(QString("%1 %2").arg(C.Program, C.Arguments.join(' ')).toStdString());
    QProcess Program;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    for (const char* Name : {"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY"})
      Env.remove(Name);
    Env.insert("LANG", "C");
    Program.setProcessEnvironment(Env);
    Program.start(C.Program, C.Arguments);
    ASSERT_TRUE(Program.waitForFinished(60000));
    EXPECT_EQ(Program.exitCode(), 0);
    const QString Out = QString::fromLocal8Bit(Program.readAllStandardOutput());
    EXPECT_TRUE(Out.startsWith(C.Starts)) << Out.left(200).toStdString();
    EXPECT_TRUE(Out.contains(C.Holds)) << Out.toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(Program.readAllStandardError()), "");
  }
}
