// The program without a display: one line saying so, then terminal play when it has a terminal.
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>

#include <string>
#include <vector>

namespace tesmor::test {
namespace {

// The environment of a machine without a display.
std::vector<std::string> NoDisplayEnvironment() {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable = *entry;
    if (variable.starts_with("DISPLAY=") || variable.starts_with("WAYLAND_DISPLAY=") ||
        variable.starts_with("QT_QPA_PLATFORM="))
      continue;
    environment.push_back(variable);
  }
  return environment;
}

// Reads from fd until the text has appeared or nothing more comes for a long while.
bool ReadUntil(int fd, std::string& seen, const std::string& text) {
  for (int quiet = 0; quiet < 300 && seen.find(text) == std::string::npos;) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) {
      ++quiet;
      continue;
    }
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<size_t>(n));
  }
  return seen.find(text) != std::string::npos;
}

}  // namespace

class NoDisplayTest : public QObject {
  Q_OBJECT

 private slots:
  void withoutATerminalItSaysSoAndFails() {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TESMOR_BINARY), {});
    QVERIFY(program.waitForStarted());
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QCOMPARE(program.readAllStandardError(),
             QByteArray("tesmor: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n"));
    QCOMPARE(program.readAllStandardOutput(), QByteArray());
  }

  void inATerminalItPlaysThere() {
    const std::vector<std::string> variables = NoDisplayEnvironment();
    std::vector<char*> envp;
    for (const std::string& variable : variables)
      envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);

    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    QVERIFY(child >= 0);
    if (child == 0) {
      execle(TESMOR_BINARY, TESMOR_BINARY, static_cast<char*>(nullptr), envp.data());
      _exit(127);
    }
    std::string seen;
    const bool started = ReadUntil(terminal, seen, "Tesmor v3.2 in the terminal");
    if (started) {
      const char quit[] = "quit\n";
      QCOMPARE(write(terminal, quit, sizeof quit - 1), ssize_t(sizeof quit - 1));
      ReadUntil(terminal, seen, "\x04never");  // to the end of its output
    } else {
      kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    close(terminal);
    QVERIFY2(started, seen.c_str());
    QVERIFY(seen.find("tesmor: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                      "playing in the terminal") == 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
  }
};

}  // namespace tesmor::test

QTEST_GUILESS_MAIN(tesmor::test::NoDisplayTest)
#include "no_display_test.moc"
