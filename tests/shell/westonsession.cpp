#include "shell/westonsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace waylandtest {

namespace {

QString lastLines(const QString& file, int count) {
    QFile log(file);
    if (!log.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QStringList lines = QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.mid(qMax(0, int(lines.size()) - count)).join(QLatin1Char('\n'));
}

QProcessEnvironment clientEnvironment(const QString& runtime, const QString& socket) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    return env;
}

}  // namespace

Weston::~Weston() {
    stop();
}

bool Weston::start(const QSize& screen, bool onX11) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (program.isEmpty()) {
        error_ = QStringLiteral("weston is not installed (scripts/setup.sh installs it)");
        return false;
    }
    QByteArray folder = QDir::tempPath().toLocal8Bit() + "/altorra-wayland-XXXXXX";
    if (!mkdtemp(folder.data())) {  // made with mode 0700, as a runtime folder must be
        error_ = QStringLiteral("no runtime folder: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    runtime_ = QString::fromLocal8Bit(folder);
    socket_ = QStringLiteral("altorra-test-%1").arg(getpid());
    const QByteArray log = (runtime_ + QStringLiteral("/weston.log")).toLocal8Bit();
    const QList<QByteArray> args = {program.toLocal8Bit(),
                                    onX11 ? "--backend=x11-backend.so" : "--backend=headless-backend.so",
                                    "--socket=" + socket_.toLocal8Bit(),
                                    "--use-pixman",  // it draws, so that screenshots show the windows
                                    "--debug",       // the screenshooter and the debug streams
                                    "--no-config",
                                    "--idle-time=0",  // never locks the screen while the test runs
                                    "--width=" + QByteArray::number(screen.width()),
                                    "--height=" + QByteArray::number(screen.height())};
    std::vector<char*> argv;
    for (const QByteArray& arg : args) {
        argv.push_back(const_cast<char*>(arg.constData()));
    }
    argv.push_back(nullptr);
    setenv("XDG_RUNTIME_DIR", folder.constData(), 1);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    const int spawned = posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        pid_ = 0;
        error_ = QStringLiteral("weston not started: ") + QString::fromLocal8Bit(std::strerror(spawned));
        return false;
    }
    const QString socketPath = runtime_ + QLatin1Char('/') + socket_;
    for (int tries = 0; tries < 200 && !QFileInfo::exists(socketPath); ++tries) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = 0;
            error_ = QStringLiteral("weston ended at start:\n") + lastLines(QString::fromLocal8Bit(log), 8);
            return false;
        }
        usleep(50000);
    }
    if (!QFileInfo::exists(socketPath)) {
        error_ =
            QStringLiteral("weston made no socket in 10 s:\n") + lastLines(QString::fromLocal8Bit(log), 8);
        stop();
        return false;
    }
    setenv("WAYLAND_DISPLAY", socket_.toLocal8Bit().constData(), 1);
    return true;
}

bool Weston::startProtocolLog() {
    protocolFile_ = runtime_ + QStringLiteral("/protocol.log");
    QProcess debug;
    debug.setProcessEnvironment(clientEnvironment(runtime_, socket_));
    debug.setProgram(QStringLiteral("weston-debug"));
    debug.setArguments({QStringLiteral("-o"), protocolFile_, QStringLiteral("proto")});
    debug.setStandardOutputFile(QProcess::nullDevice());
    debug.setStandardErrorFile(QProcess::nullDevice());
    if (!debug.startDetached(&logPid_)) {
        return false;
    }
    // Subscribed once the stream has begun: what the windows send before would not be in it.
    for (int tries = 0; tries < 100 && QFileInfo(protocolFile_).size() == 0; ++tries) {
        usleep(50000);
    }
    return QFileInfo(protocolFile_).size() > 0;
}

void Weston::stop() {
    if (logPid_ > 0) {
        kill(pid_t(logPid_), SIGTERM);
        logPid_ = 0;
    }
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
    }
    if (!runtime_.isEmpty()) {
        QDir(runtime_).removeRecursively();
        runtime_.clear();
    }
}

QList<View> Weston::views() const {
    QProcess debug;
    debug.setProcessEnvironment(clientEnvironment(runtime_, socket_));
    debug.start(QStringLiteral("weston-debug"), {QStringLiteral("scene-graph")});
    QList<View> views;
    if (!debug.waitForFinished(10000)) {
        return views;
    }
    // "View 0 (role xdg_toplevel, PID 1, surface ID 3, top-level window 'TITLE' of APP, 0x…):"
    // then "position: (x, y) -> (x2, y2)".
    static const QRegularExpression view(
        QStringLiteral("role xdg_toplevel,.*top-level window(?: '(.*)')?(?: of [^,]*)?, 0x[0-9a-f]+\\):"));
    static const QRegularExpression position(
        QStringLiteral("position: \\((-?\\d+), (-?\\d+)\\) -> \\((-?\\d+), (-?\\d+)\\)"));
    QString title;
    bool inView = false;
    for (const QString& line : QString::fromUtf8(debug.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (const QRegularExpressionMatch match = view.match(line); match.hasMatch()) {
            title = match.captured(1);
            inView = true;
        } else if (const QRegularExpressionMatch at = position.match(line); at.hasMatch() && inView) {
            views.append({title, QRect(QPoint(at.captured(1).toInt(), at.captured(2).toInt()),
                                       QPoint(at.captured(3).toInt() - 1, at.captured(4).toInt() - 1))});
            inView = false;
        }
    }
    return views;
}

QMap<QString, Declared> Weston::declared() const {
    // Objects are numbered per client: keys carry the client's address.
    struct Toplevel {
        QString surface;
        QString title;
        QString parent;
        QString appId;
        QSize minimum, maximum;
    };
    QMap<QString, Toplevel> toplevels;
    QMap<QString, QString> toplevelOf;  // xdg_surface -> xdg_toplevel
    QMap<QString, QRect> geometries;    // xdg_surface -> geometry
    QMap<QString, Declared> result;
    static const QRegularExpression request(
        QStringLiteral("client (0x[0-9a-f]+) rq (xdg_surface|xdg_toplevel)@(\\d+)\\.(\\w+)\\((.*)\\)$"));
    static const QRegularExpression numbers(QStringLiteral("-?\\d+"));
    QFile log(protocolFile_);
    if (!log.open(QIODevice::ReadOnly)) {
        return result;
    }
    QTextStream in(&log);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        const QRegularExpressionMatch match = request.match(line);
        if (!match.hasMatch()) {
            continue;
        }
        const QString client = match.captured(1);
        const QString object = client + QLatin1Char('@') + match.captured(3);
        const QString method = match.captured(4);
        const QString args = match.captured(5);
        QList<int> values;
        for (auto it = numbers.globalMatch(args); it.hasNext();) {
            values.append(it.next().captured().toInt());
        }
        QString toplevel =
            match.captured(2) == QLatin1String("xdg_toplevel") ? object : toplevelOf.value(object);
        if (method == QLatin1String("get_toplevel") && !values.isEmpty()) {
            toplevel = client + QLatin1Char('@') + QString::number(values.last());
            toplevelOf[object] = toplevel;
            toplevels[toplevel] = Toplevel{object, QString(), QString(), QString(), QSize(), QSize()};
        } else if (method == QLatin1String("set_title")) {
            toplevels[toplevel].title = args.mid(1, args.size() - 2);
        } else if (method == QLatin1String("set_app_id")) {
            toplevels[toplevel].appId = args.mid(1, args.size() - 2);
        } else if (method == QLatin1String("set_parent")) {
            toplevels[toplevel].parent =
                values.isEmpty() ? QString() : client + QLatin1Char('@') + QString::number(values.last());
        } else if (method == QLatin1String("set_min_size") && values.size() == 2) {
            toplevels[toplevel].minimum = QSize(values[0], values[1]);
        } else if (method == QLatin1String("set_max_size") && values.size() == 2) {
            toplevels[toplevel].maximum = QSize(values[0], values[1]);
        } else if (method == QLatin1String("set_window_geometry") && values.size() == 4) {
            geometries[object] = QRect(values[0], values[1], values[2], values[3]);
        } else {
            continue;
        }
        if (toplevels.contains(toplevel)) {
            const Toplevel& t = toplevels[toplevel];
            const QString parent = t.parent.isEmpty() ? QString() : toplevels.value(t.parent).title;
            result[t.title] = Declared{geometries.value(t.surface), t.minimum, t.maximum, parent, t.appId};
        }
    }
    return result;
}

QString Weston::screenshot(const QString& file) const {
    QTemporaryDir folder;
    QProcess shooter;
    shooter.setProcessEnvironment(clientEnvironment(runtime_, socket_));
    shooter.setWorkingDirectory(folder.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(20000) || shooter.exitCode() != 0) {
        return QStringLiteral("weston-screenshooter failed: ") +
               QString::fromLocal8Bit(shooter.readAllStandardError());
    }
    const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
    if (shots.isEmpty()) {
        return QStringLiteral("weston-screenshooter saved nothing");
    }
    QFile::remove(file);
    return QFile::rename(QDir(folder.path()).filePath(shots.first()), file)
               ? QString()
               : QStringLiteral("not saved: ") + file;
}

}  // namespace waylandtest
