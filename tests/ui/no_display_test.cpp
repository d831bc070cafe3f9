// The program without a display: one line saying so, then terminal play when it has a terminal.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>

#include <string>

namespace tesmor::test {

class NoDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
  }

  void withoutATerminalItSaysSoAndFails() {
    QProcess program;
    program.start(QStringLiteral(TESMOR_BINARY), {});
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QCOMPARE(program.readAllStandardError(),
             QByteArray("tesmor: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n"));
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
  }

  void inATerminalItPlaysThere() {
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    QVERIFY(child >= 0);
    if (child == 0) {
      execl(TESMOR_BINARY, TESMOR_BINARY, static_cast<char*>(nullptr));
      _exit(127);
    }
    // Reads until the text has appeared, the output ends, or nothing comes for a long while.
    std::string seen;
    const auto readUntil = [&](const char* text) {
      char buffer[4096];
      pollfd ready{terminal, POLLIN, 0};
      for (ssize_t n = 0; seen.find(text) == std::string::npos && poll(&ready, 1, 30000) > 0 &&
                          (n = read(terminal, buffer, sizeof buffer)) > 0;)
        seen.append(buffer, static_cast<size_t>(n));
      return seen.find(text) != std::string::npos;
    };
    const bool started = readUntil("Tesmor v3.2 终端版");
    if (started) QCOMPARE(write(terminal, "quit\n", 5), ssize_t(5));
    readUntil("\x04never");  // to the end of its output
    kill(child, SIGKILL);    // in case it still runs
    int status = 0;
    waitpid(child, &status, 0);
    close(terminal);
    QVERIFY2(started, seen.c_str());
    QVERIFY(
        seen.starts_with("tesmor: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                         "playing in the terminal"));
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
  }
};

}  // namespace tesmor::test

QTEST_GUILESS_MAIN(tesmor::test::NoDisplayTest)
#include "no_display_test.moc"
