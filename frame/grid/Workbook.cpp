#include "frame/grid/Workbook.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

extern char** environ;

namespace grid {

namespace {

SheetRead Unreadable(const QString& why) { return {SheetStatus::Unreadable, {}, why}; }

bool IsProgram(const QString& path) {
    const QFileInfo fi(path);
    return fi.isFile() && fi.isExecutable();
}

// Closes a descriptor at the end of a scope.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    void Close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// Spawn settings, released however the spawn ends.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attr);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
};

}  // namespace

QString WorkbookReaderProgram() {
    const QString env = qEnvironmentVariable("PROMO_SHEETREADER");
    if (!env.isEmpty()) return env;
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!self.isEmpty()) {
        const QString beside = QFileInfo(self).absolutePath() + u'/' + QLatin1String(kSheetReaderName);
        if (IsProgram(beside)) return beside;
    }
#ifdef PROMO_SHEETREADER_BUILD_PATH
    if (IsProgram(QStringLiteral(PROMO_SHEETREADER_BUILD_PATH))) return QStringLiteral(PROMO_SHEETREADER_BUILD_PATH);
#endif
    return {};
}

SheetRead ReadWorkbook(const QString& path, const ReaderOptions& options) {
    const QString program = options.program.isEmpty() ? WorkbookReaderProgram() : options.program;
    if (program.isEmpty()) return Unreadable(QStringLiteral("the reader program %1 is missing").arg(kSheetReaderName));

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return Unreadable(QStringLiteral("no pipe: ") + qt_error_string(errno));
    Fd readEnd{pipeFds[0]}, writeEnd{pipeFds[1]};

    // The child: answer on stdout, nothing on stdin or stderr, none of our
    // descriptors (the database's sockets among them), default signals.
    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.fd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGXCPU);
    posix_spawnattr_setsigmask(&setup.attr, &none);
    posix_spawnattr_setsigdefault(&setup.attr, &defaults);
    posix_spawnattr_setflags(&setup.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const QByteArray programBytes = QFile::encodeName(program);
    const QByteArray pathBytes = QFile::encodeName(path);
    char* argv[] = {const_cast<char*>(programBytes.constData()), const_cast<char*>("--"),
                    const_cast<char*>(pathBytes.constData()), nullptr};
    pid_t pid = 0;
    if (const int rc = posix_spawn(&pid, programBytes.constData(), &setup.actions, &setup.attr, argv, environ); rc != 0)
        return Unreadable(QStringLiteral("cannot start %1: %2").arg(program, qt_error_string(rc)));
    writeEnd.Close();

    // The answer, within the time and size allowed.
    QByteArray answer;
    QString failure;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.timeoutMs);
    char buf[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            failure = QStringLiteral("the reader took more than %1 ms").arg(options.timeoutMs);
            break;
        }
        pollfd p{readEnd.fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) {
            failure = QStringLiteral("poll: ") + qt_error_string(errno);
            break;
        }
        if (ready == 0) continue;  // the deadline, checked above
        const ssize_t n = ::read(readEnd.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            failure = QStringLiteral("read: ") + qt_error_string(errno);
            break;
        }
        if (n == 0) break;
        if (answer.size() + n > kMaxAnswerBytes) {
            failure = QStringLiteral("the reader's answer passes %1 bytes").arg(kMaxAnswerBytes);
            break;
        }
        answer.append(buf, n);
        // Garbage is known by its first bytes: no need to wait for the rest.
        if (answer.size() >= 4 && answer.size() - n < 4 && !answer.startsWith("PWB1")) {
            failure = QStringLiteral("the reader's answer is not valid: no header");
            break;
        }
    }
    if (!failure.isEmpty()) ::kill(pid, SIGKILL);
    readEnd.Close();
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (!failure.isEmpty()) return Unreadable(failure);
    if (WIFSIGNALED(status))
        return Unreadable(QStringLiteral("the reader stopped on signal %1 (%2)")
                              .arg(WTERMSIG(status))
                              .arg(QString::fromLocal8Bit(strsignal(WTERMSIG(status)))));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Unreadable(QStringLiteral("the reader ended with code %1").arg(WEXITSTATUS(status)));
    return DecodeSheet(answer);
}

}  // namespace grid
