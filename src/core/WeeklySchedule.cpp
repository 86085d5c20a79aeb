#include "core/WeeklySchedule.h"

#include "core/FolderUtilities.h"
#include "os/os.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QStringList>

WeeklyBackup weeklyBackupFor(const QString& backupFolder, const QString& icqFolder)
{
    const auto plain = [](const QString& folder) {
        return folder.size() > 1 && isPathSeparator(folder.back()) ? folder.chopped(1) : folder;
    };
    WeeklyBackup backup;
    backup.backupFolder = plain(backupFolder);
    backup.icqFolder = plain(icqFolder);
#ifndef Q_OS_WIN
    backup.winePrefix = fromOsPath(Os::winePrefix());
#endif
    return backup;
}

#ifndef Q_OS_WIN

namespace {

const QString Timer = QStringLiteral("zeb2000-backup.timer");

QString failure(const QString& path, int error)
{
    return path + QStringLiteral(": ") + fromOsText(Os::errorText(error));
}

// $XDG_CONFIG_HOME, else ~/.config; a relative one is ignored, as the XDG rules ask.
QString configHome()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.startsWith(u'/'))
        return config;
    const QString home = qEnvironmentVariable("HOME");
    return home.startsWith(u'/') ? home + QStringLiteral("/.config") : QString();
}

QString settingsFile()
{
    return configHome() + QStringLiteral("/zeb2000/backup.env");
}

QString enablementLink()
{
    return configHome() + QStringLiteral("/systemd/user/timers.target.wants/") + Timer;
}

// The installed timer unit, where a user manager looks for it; empty when it is not installed.
QString installedTimer()
{
    QStringList folders{QStringLiteral("/etc/systemd/user")};
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    folders << (dataHome.startsWith(u'/')
                    ? dataHome
                    : qEnvironmentVariable("HOME") + QStringLiteral("/.local/share")) +
                   QStringLiteral("/systemd/user");
    const QString dataDirs =
        qEnvironmentVariable("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& dir : dataDirs.split(u':', Qt::SkipEmptyParts))
        folders << dir + QStringLiteral("/systemd/user");
    folders << QStringLiteral("/usr/local/lib/systemd/user")
            << QStringLiteral("/usr/lib/systemd/user");
    for (const QString& folder : std::as_const(folders))
        if (QFileInfo(folder + u'/' + Timer).isFile())
            return folder + u'/' + Timer;
    return QString();
}

// Runs `systemctl --user` with the words; answers whether the user manager did it, with what it
// printed (its complaint when it could not).
bool systemctl(const QStringList& words, Text& output)
{
    QProcess process;
    process.start(QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + words);
    if (!process.waitForStarted(10000)) {
        output = Text("Schedule", "systemctl could not be run: %1").arg(process.errorString());
        return false;
    }
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        output = Text("Schedule", "systemctl gave no answer");
        return false;
    }
    // Its complaint is its last line on standard error ("Created symlink …" comes first);
    // without one, its answer.
    const QStringList complaint =
        QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    output = Text::verbatim(!complaint.isEmpty()
                                ? complaint.last().trimmed()
                                : QString::fromLocal8Bit(process.readAllStandardOutput())
                                      .trimmed()
                                      .section(u'\n', 0, 0));
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A value of the settings file, quoted as systemd reads an EnvironmentFile: no shell expands it.
bool quoted(const QString& value, QByteArray& line)
{
    const QByteArray bytes = QByteArray::fromStdString(toOsPath(value));
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8(bytes));
    // systemd drops a setting that is no UTF-8; a line break would end it.
    if (utf8.hasError() || bytes.contains('\n') || bytes.contains('\r'))
        return false;
    line += '"';
    for (const char c : bytes) {
        if (c == '"' || c == '\\' || c == '`' || c == '$')
            line += '\\';
        line += c;
    }
    line += "\"\n";
    return true;
}

// The settings file's values, as systemd reads them (quoted or not), by their names.
QString setting(const QList<QByteArray>& lines, const QByteArray& name)
{
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (!line.startsWith(name + '='))
            continue;
        QByteArray value = line.mid(name.size() + 1);
        if (value.size() >= 2 && value.startsWith('\'') && value.endsWith('\''))
            return fromOsPath(value.mid(1, value.size() - 2).toStdString());
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) {
            QByteArray plain;
            for (qsizetype i = 1; i < value.size() - 1; ++i) {
                if (value[i] == '\\' && i + 2 < value.size())
                    ++i;
                plain += value[i];
            }
            value = plain;
        }
        return fromOsPath(value.toStdString());
    }
    return QString();
}

// The folders the setup may have made, deepest first: each goes once it is empty.
QStringList madeFolders()
{
    const QString config = configHome();
    return {config + QStringLiteral("/zeb2000"),
            config + QStringLiteral("/systemd/user/timers.target.wants"),
            config + QStringLiteral("/systemd/user"), config + QStringLiteral("/systemd")};
}

} // namespace

QString scheduleWeeklyBackup(const WeeklyBackup& backup, Text& how)
{
    if (configHome().isEmpty())
        return Text("Schedule", "no configuration folder (neither $XDG_CONFIG_HOME nor $HOME is "
                                "set)")
            .toString();
    const QString timer = installedTimer();
    if (timer.isEmpty())
        return Text("Schedule", "the weekly timer %1 is not installed (the package puts it in "
                                "/usr/lib/systemd/user)")
            .arg(Timer)
            .toString();
    QByteArray settings =
        "# The weekly ZEB 2000 backup's settings, written by \"zeb2000-cli "
        "schedule --weekly\"\n# (or the window's tick); \"--off\" removes them.\n";
    const QList<QPair<QByteArray, QString>> values = {{"ZEB_BACKUP_DIR", backup.backupFolder},
                                                      {"WINEPREFIX", backup.winePrefix},
                                                      {"ZEB_ICQ_DIR", backup.icqFolder}};
    for (const auto& [name, value] : values) {
        if (value.isEmpty())
            continue;
        settings += name + '=';
        if (!quoted(value, settings))
            return Text("Schedule", "%1 cannot be handed to systemd (no UTF-8, or a line break in "
                                    "its name)")
                .arg(value)
                .toString();
    }
    const QString file = settingsFile();
    const std::string folder = toOsPath(QFileInfo(file).path());
    int error = Os::makeFolders(folder);
    if (error == 0)
        error = Os::writeFileDurably(toOsPath(file), settings.toStdString());
    if (error != 0)
        return failure(file, error);

    Text answer;
    if (systemctl({QStringLiteral("enable"), QStringLiteral("--now"), Timer}, answer)) {
        how = Text("Schedule", "the timer is enabled and started");
        return QString();
    }
    // No user manager answered (a session without one, a container): the link it would make,
    // made here, has it start the timer at the next login.
    const QString link = enablementLink();
    if (QFileInfo(link).symLinkTarget() != timer) {
        if (QFileInfo(link).isSymLink() && (error = Os::removeFile(toOsPath(link))) != 0)
            return failure(link, error);
        if ((error = Os::makeFolders(toOsPath(QFileInfo(link).path()))) != 0)
            return failure(QFileInfo(link).path(), error);
        if (!QFile::link(timer, link))
            return Text("Schedule", "%1 could not be made").arg(link).toString();
    }
    how = Text("Schedule", "the timer starts at the next login (%1)").arg(answer);
    return QString();
}

QString unscheduleWeeklyBackup()
{
    if (configHome().isEmpty())
        return QString();
    Text answer;
    systemctl({QStringLiteral("disable"), QStringLiteral("--now"), Timer}, answer);
    for (const QString& path : {enablementLink(), settingsFile()}) {
        const int error = Os::removeFile(toOsPath(path));
        if (error != 0 && error != Os::ErrorNotFound)
            return failure(path, error);
    }
    for (const QString& folder : madeFolders()) {
        const int error = Os::removeFolder(toOsPath(folder));
        if (error != 0 && error != Os::ErrorNotFound && error != Os::ErrorNotEmpty)
            return failure(folder, error);
    }
    return QString();
}

WeeklyState weeklyBackupState()
{
    WeeklyState state;
    std::string bytes;
    if (!configHome().isEmpty() && Os::readWholeFile(toOsPath(settingsFile()), bytes) == 0) {
        const QList<QByteArray> lines = QByteArray::fromStdString(bytes).split('\n');
        state.backup.backupFolder = setting(lines, "ZEB_BACKUP_DIR");
        state.backup.winePrefix = setting(lines, "WINEPREFIX");
        state.backup.icqFolder = setting(lines, "ZEB_ICQ_DIR");
    }
    // The link is what systemd itself goes by; the manager, where one answers, tells whether
    // the timer runs now.
    const QFileInfo link(enablementLink());
    state.on = !configHome().isEmpty() && link.isSymLink() && link.exists();
    if (!state.on) {
        state.how = Text("Schedule", "off");
        return state;
    }
    Text answer;
    state.how = systemctl({QStringLiteral("is-active"), Timer}, answer)
                    ? Text("Schedule", "active")
                    : Text("Schedule", "starts at the next login (%1)").arg(answer);
    return state;
}

#else

namespace {

const std::string TaskName = "ZEB 2000 backup";

Text failure(const std::string& step, long hr)
{
    return Text("Schedule", "the Task Scheduler refused (%1: HRESULT 0x%2)")
        .arg(QString::fromStdString(step))
        .arg(QStringLiteral("%1").arg(quint32(hr), 8, 16, QLatin1Char('0')));
}

// One argument as Windows' command-line parsing gives it back: quoted, and the backslashes before
// the closing quote doubled. A path holds no quote.
QString quotedArgument(const QString& text)
{
    qsizetype backslashes = 0;
    while (backslashes < text.size() && text[text.size() - 1 - backslashes] == u'\\')
        ++backslashes;
    return u'"' + text + QString(backslashes, u'\\') + u'"';
}

// The value after an option in such a command line, or empty.
QString argumentAfter(const QString& arguments, const QString& option)
{
    const qsizetype at = arguments.indexOf(option + QStringLiteral(" \""));
    if (at < 0)
        return QString();
    const qsizetype start = at + option.size() + 2;
    const qsizetype end = arguments.indexOf(u'"', start);
    if (end < 0)
        return QString();
    QString value = arguments.mid(start, end - start);
    qsizetype backslashes = 0;
    while (backslashes < value.size() && value[value.size() - 1 - backslashes] == u'\\')
        ++backslashes;
    value.chop(backslashes / 2);
    return value;
}

} // namespace

QString scheduleWeeklyBackup(const WeeklyBackup& backup, Text& how)
{
    Os::WeeklyTask task;
    // zeb2000-cli.exe is installed beside the window's program.
    task.program = toOsPath(QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                     QStringLiteral("/zeb2000-cli.exe")));
    QString arguments = QStringLiteral("backup --scheduled --dated --keep 8 --quiet --to ") +
                        quotedArgument(backup.backupFolder);
    if (!backup.icqFolder.isEmpty())
        arguments += QStringLiteral(" --icq ") + quotedArgument(backup.icqFolder);
    task.arguments = toOsPath(arguments);
    std::string step;
    if (const long hr = Os::registerWeeklyTask(TaskName, task, step); hr != 0)
        return failure(step, hr).toString();
    how = Text("Schedule", "the task \"%1\" of the Task Scheduler runs it")
              .arg(QString::fromStdString(TaskName));
    return QString();
}

QString unscheduleWeeklyBackup()
{
    std::string step;
    if (const long hr = Os::deleteWeeklyTask(TaskName, step); hr != 0)
        return failure(step, hr).toString();
    return QString();
}

WeeklyState weeklyBackupState()
{
    WeeklyState state;
    std::string step;
    bool exists = false;
    Os::WeeklyTask task;
    const long hr = Os::readWeeklyTask(TaskName, exists, task, step);
    state.on = exists;
    if (hr != 0) {
        state.how = (exists ? Text("Schedule", "on, but its folders cannot be read: %1")
                            : Text("Schedule", "unknown: %1"))
                        .arg(failure(step, hr));
        return state;
    }
    if (!exists) {
        state.how = Text("Schedule", "off");
        return state;
    }
    const QString arguments = fromOsPath(task.arguments);
    state.backup.backupFolder = argumentAfter(arguments, QStringLiteral("--to"));
    state.backup.icqFolder = argumentAfter(arguments, QStringLiteral("--icq"));
    state.how = Text("Schedule", "the task \"%1\" of the Task Scheduler runs it")
                    .arg(QString::fromStdString(TaskName));
    return state;
}

#endif
