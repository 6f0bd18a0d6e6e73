#pragma once

// Runs a test again in a child process inside a private network namespace
// (unshare -n), where only the namespace's own loopback exists and the test
// may take it down. Needs root; callers skip with the stated reason otherwise.

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <unistd.h>

namespace NetnsChild {

constexpr const char* CVariable = "ZELVO_TEST_IN_NETNS";

// Whether this process is the child inside the namespace.
inline bool Inside() {
  return !qEnvironmentVariableIsEmpty(CVariable);
}

// Runs one command of the namespace's set-up; false when it fails.
inline bool Run(const QString& Program, const QStringList& Arguments) {
  QProcess P;
  P.start(Program, Arguments);
  return P.waitForFinished(10000) && P.exitStatus() == QProcess::NormalExit && P.exitCode() == 0;
}

// Runs the tests matching Filter in the child; fills Skip with the reason
// when no namespace can be had, and records a failure when the child fails.
inline void RunChild(const QString& Filter, std::string& Skip) {
  if (::geteuid() != 0) {
    Skip = "needs root to create a private network namespace (unshare -n)";
    return;
  }
  QProcess Child;
  QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
  Env.insert(CVariable, "1");
  Child.setProcessEnvironment(Env);
  Child.setProcessChannelMode(QProcess::MergedChannels);
  Child.start("unshare",
              {"-n", QCoreApplication::applicationFilePath(), "--gtest_filter=" + Filter});
  if (!Child.waitForStarted(10000)) {
    Skip = "unshare(1) is not available";
    return;
  }
  if (!Child.waitForFinished(120000)) {
    Child.kill();
    Child.waitForFinished();
    ADD_FAILURE() << "the child in the namespace did not finish";
    return;
  }
  const QString Output = QString::fromLocal8Bit(Child.readAll());
  if (Output.startsWith("unshare: unshare failed")) {
    Skip = "no private network namespace here: " + Output.toStdString();
    return;
  }
  EXPECT_EQ(Child.exitCode(), 0) << Output.toStdString();
  EXPECT_TRUE(Output.contains("[  PASSED  ] 1 test")) << Output.toStdString();
}

} // namespace NetnsChild
