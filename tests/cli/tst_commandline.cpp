// zeb2000-cli's commands run in process on a sample Wine prefix, with buffers for its streams:
// the usage rules, every command and option, the JSON documents, the refused targets, the
// replace question, and the status line on a narrow terminal.
#include "SampleInstallation.h"
#include "cli/CommandLine.h"
#include "core/BackupSets.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

namespace {

// A console on buffers: what the command printed, and what a user would type.
class BufferConsole
{
public:
    explicit BufferConsole(const QByteArray& typed = QByteArray()) : m_typed(typed)
    {
        m_in.setBuffer(&m_typed);
        m_in.open(QIODevice::ReadOnly);
        m_out.open(QIODevice::WriteOnly);
        m_err.open(QIODevice::WriteOnly);
    }
    Console console{m_in, m_out, m_err};
    QString out() const { return QString::fromLocal8Bit(m_out.data()); }
    QString err() const { return QString::fromLocal8Bit(m_err.data()); }

private:
    QByteArray m_typed;
    QBuffer m_in;
    QBuffer m_out;
    QBuffer m_err;
};

// The commands the tests below ran, to see that none in the table goes untested.
QSet<QString> commandsRun;

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private:
    SampleInstallation* sample = nullptr;
    QString backupRoot;

    // Runs the words as zeb2000-cli would get them; "@ICQ@", "@B@" and "@PREFIX@" stand for the
    // sample's ICQ folder, a backup folder and the prefix.
    int run(BufferConsole& console, const QStringList& words)
    {
        QStringList arguments{QStringLiteral("zeb2000-cli")};
        for (QString word : words)
            arguments << word.replace(QLatin1String("@ICQ@"), sample->icqFolder())
                             .replace(QLatin1String("@B@"), backupRoot)
                             .replace(QLatin1String("@PREFIX@"), sample->prefix());
        if (!words.isEmpty())
            commandsRun.insert(words.first());
        return runCommandLine(arguments, console.console, sample->programFolder());
    }

    // Every file and folder below a folder, with its size and time, to see that nothing changed.
    static QStringList snapshot(const QString& folder)
    {
        QStringList entries;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            entries << entry.filePath() + u' ' + QString::number(entry.size()) + u' ' +
                           QString::number(entry.lastModified().toMSecsSinceEpoch());
        }
        entries.sort();
        return entries;
    }

private slots:
    void init()
    {
        sample = new SampleInstallation;
        qputenv("WINEPREFIX", sample->prefix().toLocal8Bit());
        qunsetenv("DISPLAY");
        sample->addComponent(QStringLiteral("Database"), QStringLiteral("NewDB"),
                             QByteArray(3000, 'd'));
        sample->addComponent(QStringLiteral("Contacts"), QStringLiteral("CL"));
        sample->addUin(sample->icqFolder(), QStringLiteral("12345.uin"));
        backupRoot = sample->prefix() + QStringLiteral("/backups");
        QDir().mkpath(backupRoot);
        // The user's settings, units and state in the sample, and no user manager to reach.
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
            qputenv(name, (sample->prefix() + u'/' + QLatin1String(name)).toLocal8Bit());
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    void cleanup()
    {
        delete sample;
        sample = nullptr;
    }

    // Bad usage: one error line and the pointer to the help, exit 2, nothing on standard output.
    void badUsage_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("error");
        QTest::newRow("no command") << QStringList{} << "no command given";
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << "unknown command";
        QTest::newRow("option before the command") << QStringList{"--quiet", "backup"} << "--quiet";
        QTest::newRow("another command's option") << QStringList{"find", "--to", "x"} << "'to'";
        QTest::newRow("list --keep") << QStringList{"list", "--keep", "2"} << "'keep'";
        QTest::newRow("undo --verbose") << QStringList{"undo", "-v"} << "'v'";
        QTest::newRow("backup without --to") << QStringList{"backup"} << "backup needs --to";
        QTest::newRow("restore without --from") << QStringList{"restore"} << "needs --from";
        QTest::newRow("--keep without --dated")
            << QStringList{"backup", "--to", "@B@", "--keep", "2"} << "goes with --dated";
        QTest::newRow("--keep 0") << QStringList{"backup", "--to", "@B@", "--dated", "--keep", "0"}
                                  << "1 or more";
        QTest::newRow("--keep two")
            << QStringList{"backup", "--to", "@B@", "--dated", "--keep", "two"} << "1 or more";
        QTest::newRow("quiet and verbose")
            << QStringList{"backup", "--to", "@B@", "-q", "-v"} << "exclude each other";
        QTest::newRow("list of both sides")
            << QStringList{"list", "--icq", "@ICQ@", "--from", "@B@"} << "not both";
        QTest::newRow("a stray argument") << QStringList{"backup", "--to", "@B@", "now"} << "'now'";
        QTest::newRow("--to without its folder") << QStringList{"backup", "--to"} << "to";
        QTest::newRow("schedule without a choice") << QStringList{"schedule"} << "one of";
        QTest::newRow("schedule --status --to")
            << QStringList{"schedule", "--status", "--to", "@B@"} << "go with --weekly";
    }
    void badUsage()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, error);
        BufferConsole console;
        QCOMPARE(run(console, words), int(ExitBadUsage));
        const QStringList lines = console.err().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.first().startsWith(QLatin1String("zeb2000-cli: ")) &&
                     lines.first().contains(error),
                 qPrintable(lines.first()));
        QCOMPARE(lines.last(), QStringLiteral("Try 'zeb2000-cli --help'."));
        QVERIFY(console.out().isEmpty());
        QVERIFY(!QFileInfo::exists(backupRoot + QStringLiteral("/NewDB")));
    }

    // -V is the version wherever it stands; -v is never the version.
    void version_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::newRow("-V") << QStringList{"-V"};
        QTest::newRow("--version") << QStringList{"--version"};
        QTest::newRow("after a command") << QStringList{"backup", "--to", "@B@", "-V"};
    }
    void version()
    {
        QFETCH(QStringList, words);
        BufferConsole console;
        QCOMPARE(run(console, words), int(ExitSuccess));
        QCOMPARE(console.out(), QStringLiteral("zeb2000-cli 2.0.0\n"));
        QVERIFY(!QFileInfo::exists(backupRoot + QStringLiteral("/NewDB")));
    }

    // The program's help names every command; each command's help names each of its options,
    // every one of them defined.
    void help()
    {
        BufferConsole console;
        QCOMPARE(run(console, {QStringLiteral("--help")}), int(ExitSuccess));
        for (const Command& command : commandTable()) {
            QVERIFY2(console.out().contains(QStringLiteral("  ") + command.name + u' '),
                     qPrintable(command.name));
            BufferConsole own;
            QCOMPARE(run(own, {command.name, QStringLiteral("--help")}), int(ExitSuccess));
            QVERIFY(own.out().startsWith(QStringLiteral("Usage: zeb2000-cli ") + command.name));
            for (const QString& option : command.options) {
                QVERIFY2(optionNames().contains(option), qPrintable(option));
                QVERIFY2(own.out().contains(QStringLiteral("--") + option),
                         qPrintable(command.name + u' ' + option));
            }
        }
    }

    void find_data()
    {
        QTest::addColumn<bool>("registry");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("from the registry") << true << QStringList{"find"} << 0 << "@ICQ@\n";
        QTest::newRow("no registry") << false << QStringList{"find"} << 4 << "";
    }
    void find()
    {
        QFETCH(bool, registry);
        QFETCH(QStringList, words);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        if (!registry)
            sample->writeRegistry({});
        BufferConsole console;
        QCOMPARE(run(console, words), exitCode);
        QCOMPARE(console.out(), output.replace(QLatin1String("@ICQ@"), sample->icqFolder()));
        if (!registry)
            QVERIFY(console.err().contains(QLatin1String("Error opening key.")));
    }

    // --json: one document on standard output that a JSON parser reads, with the exit code's
    // meaning; nothing else there.
    void json_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("find") << QStringList{"find", "--json"} << "icqFolder"
                              << "@ICQ@";
        QTest::newRow("list") << QStringList{"list", "--json"} << "uins"
                              << "12345";
        QTest::newRow("backup") << QStringList{"backup", "--to", "@B@", "--json"} << "components"
                                << "NewDB";
        QTest::newRow("dated backup")
            << QStringList{"backup", "--to", "@B@", "--dated", "--json"} << "set"
            << "20";
        QTest::newRow("dry run") << QStringList{"backup", "--to", "@B@", "-n", "--json"}
                                 << "components"
                                 << R"({"action":"copy","bytes":3000,"path":"NewDB/111.dat"})";
    }
    void json()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, key);
        QFETCH(QString, value);
        BufferConsole console;
        QCOMPARE(run(console, words), int(ExitSuccess));
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(console.out().toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(console.out()));
        const QJsonObject report = document.object();
        QCOMPARE(report.value(QLatin1String("command")).toString(), words.first());
        QCOMPARE(report.value(QLatin1String("exitCode")).toInt(-1), 0);
        QCOMPARE(report.value(QLatin1String("meaning")).toString(), QStringLiteral("success"));
        const QString text = QString::fromUtf8(
            QJsonDocument(QJsonObject{{key, report.value(key)}}).toJson(QJsonDocument::Compact));
        QVERIFY2(text.contains(value.replace(QLatin1String("@ICQ@"), sample->icqFolder())),
                 qPrintable(text));
    }

    // A backup's document counts what it copied and names what failed, with the side.
    void jsonOfAFailedBackup()
    {
        QFile::link(QStringLiteral("/nonexistent/target"),
                    sample->icqFolder() + QStringLiteral("CL/broken.dat"));
        BufferConsole console;
        QCOMPARE(run(console, {"backup", "--to", "@B@", "--json"}), int(ExitSomethingFailed));
        const QJsonObject report = QJsonDocument::fromJson(console.out().toUtf8()).object();
        QCOMPARE(report.value(QLatin1String("exitCode")).toInt(), 1);
        const QJsonArray components = report.value(QLatin1String("components")).toArray();
        QCOMPARE(components.size(), 2);
        for (const QJsonValue& value : components) {
            const QJsonObject component = value.toObject();
            const bool contacts = component.value(QLatin1String("folder")).toString() == "CL";
            QCOMPARE(component.value(QLatin1String("copied")).toBool(), !contacts);
            const QJsonArray failures = component.value(QLatin1String("failures")).toArray();
            QCOMPARE(failures.size(), contacts ? 1 : 0);
            if (contacts) {
                const QJsonObject failure = failures.first().toObject();
                QVERIFY(failure.value(QLatin1String("path")).toString().endsWith("broken.dat"));
                QCOMPARE(failure.value(QLatin1String("side")).toString(), QStringLiteral("source"));
            } else {
                QCOMPARE(component.value(QLatin1String("bytes")).toInt(), 3000);
            }
        }
    }

    void list_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("the ICQ folder")
            << QStringList{"list"} << 0
            << QStringList{"Components in @ICQ@:", "Database [NewDB]", "2.9 KiB", "12345"};
        QTest::newRow("a backup folder without components")
            << QStringList{"list", "--from", "@B@"} << 0 << QStringList{"Components in", "UINs:"};
        QTest::newRow("a missing backup folder")
            << QStringList{"list", "--from", "@B@/missing"} << 1 << QStringList{};
        QTest::newRow("a folder without ICQ")
            << QStringList{"list", "--icq", "@B@"} << 4 << QStringList{};
    }
    void list()
    {
        QFETCH(QStringList, words);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        BufferConsole console;
        QCOMPARE(run(console, words), exitCode);
        for (QString line : lines)
            QVERIFY2(console.out().contains(line.replace("@ICQ@", sample->icqFolder())),
                     qPrintable(console.out()));
        QCOMPARE(console.out().isEmpty(), lines.isEmpty());
    }

    // Where a backup may go: not the root, not inside what it backs up; only the last folder
    // of its path is made unless --mkpath asks for all.
    void targets_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("madeFolder");
        QTest::newRow("the root") << QStringList{"backup", "--to", "/"} << 2 << "root"
                                  << "";
        QTest::newRow("the root with --keep")
            << QStringList{"backup", "--to", "/", "--dated", "--keep", "1"} << 2 << "root"
            << "";
        QTest::newRow("the ICQ folder") << QStringList{"backup", "--to", "@ICQ@"} << 2 << "inside"
                                        << "";
        QTest::newRow("inside a component")
            << QStringList{"backup", "--to", "@ICQ@/newdb/backups"} << 2 << "inside"
            << "";
        QTest::newRow("inside a component not copied")
            << QStringList{"backup", "--to", "@ICQ@/CL/b", "--component", "NewDB"} << 2 << "inside"
            << "";
        QTest::newRow("a missing parent")
            << QStringList{"backup", "--to", "@B@/usb/ICQ backups"} << 1 << "may not be mounted"
            << "";
        QTest::newRow("a missing parent with --mkpath")
            << QStringList{"backup", "--to", "@B@/usb/ICQ backups", "--mkpath"} << 0 << ""
            << "@B@/usb/ICQ backups/NewDB";
        QTest::newRow("only the last folder missing")
            << QStringList{"backup", "--to", "@B@/new"} << 0 << ""
            << "@B@/new/NewDB";
        QTest::newRow("the weekly backup into the ICQ folder")
            << QStringList{"schedule", "--weekly", "--to", "@ICQ@"} << 2 << "inside"
            << "";
        QTest::newRow("beside the components in the ICQ folder")
            << QStringList{"backup", "--to", "@ICQ@/ZEB backups"} << 0 << ""
            << "@ICQ@/ZEB backups/NewDB";
    }
    void targets()
    {
        QFETCH(QStringList, words);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QFETCH(QString, madeFolder);
        BufferConsole console;
        QCOMPARE(run(console, words), exitCode);
        QVERIFY2(console.err().contains(error), qPrintable(console.err()));
        if (madeFolder.isEmpty()) {
            QVERIFY(!QFileInfo::exists(backupRoot + QStringLiteral("/usb")));
            QVERIFY(!QFileInfo::exists(sample->icqFolder() + QStringLiteral("NewDB/backups")));
            QVERIFY(!QFileInfo::exists(sample->icqFolder() + QStringLiteral("CL/b")));
        } else {
            madeFolder.replace("@B@", backupRoot).replace("@ICQ@/", sample->icqFolder());
            QVERIFY2(QFileInfo(madeFolder + QStringLiteral("/111.dat")).isFile(),
                     qPrintable(madeFolder));
        }
    }

    // The weekly backup where no user manager runs (nor systemctl): the settings the units read
    // and the timer's enablement link, read back with the last backup's line; --off leaves
    // nothing behind.
    void weeklySchedule()
    {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        const QString timer =
            qEnvironmentVariable("XDG_DATA_HOME") + "/systemd/user/" + "zeb2000-backup.timer";
        QVERIFY(QDir().mkpath(config) && QDir().mkpath(QFileInfo(timer).path()));
        QVERIFY(QFile::copy(QFINDTESTDATA("../../packaging/systemd/zeb2000-backup.timer"), timer));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", sample->prefix().toLocal8Bit());
        const auto restored = qScopeGuard([&] { qputenv("PATH", path); });
        const auto status = [&] {
            BufferConsole console;
            run(console, {"schedule", "--status", "--json"});
            return QJsonDocument::fromJson(console.out().toUtf8()).object();
        };
        BufferConsole weekly;
        QCOMPARE(run(weekly, {"schedule", "--weekly", "--to", "@B@", "--icq", "@ICQ@"}), 0);
        QVERIFY2(weekly.out().contains("next login"), qPrintable(weekly.out()));
        QCOMPARE(QFileInfo(config + "/systemd/user/timers.target.wants/zeb2000-backup.timer")
                     .symLinkTarget(),
                 timer);
        QFile settings(config + "/zeb2000/backup.env");
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray written = settings.readAll();
        for (const QString& line :
             {"ZEB_BACKUP_DIR=\"" + backupRoot + '"', "WINEPREFIX=\"" + sample->prefix() + '"',
              "ZEB_ICQ_DIR=\"" + sample->icqFolder().chopped(1) + '"'})
            QVERIFY2(written.contains(line.toLocal8Bit()), written.constData());
        QJsonObject state = status();
        QCOMPARE(state.value("weekly").toBool(), true);
        QCOMPARE(state.value("backupFolder").toString(), backupRoot);
        QCOMPARE(state.value("lastBackup").toString(), QString());
        BufferConsole backup;
        QCOMPARE(run(backup, {"backup", "--scheduled", "--to", "@B@", "--dated", "--quiet"}), 0);
        QCOMPARE(status().value("lastBackup").toString(),
                 "Last weekly backup: less than a day ago to " + backupRoot + " (complete)");
        BufferConsole off;
        QCOMPARE(run(off, {"schedule", "--off"}), 0);
        QCOMPARE(snapshot(config), QStringList());
        QCOMPARE(status().value("weekly").toBool(), false);
    }

    // With the ICQ folder named, nothing asks the registry: no "Error opening key." before a
    // backup when the registry has no ICQ key.
    void icqFolderNamedNeedsNoRegistry()
    {
        sample->writeRegistry({});
        BufferConsole console;
        QCOMPARE(run(console, {"backup", "--to", "@B@", "--icq", "@ICQ@"}), int(ExitSuccess));
        QVERIFY2(console.err().isEmpty(), qPrintable(console.err()));
    }

    // What a backup says: the summary line by default, each component with -v, nothing with -q.
    void backupOutput_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("default") << QStringList{"backup", "--to", "@B@"}
                                 << QStringList{"Backup into @B@/ from @ICQ@: 2 of 2 components "
                                                "copied whole, 2 files (2.9 KiB) copied, 0 "
                                                "unchanged, 0 kept, in "};
        QTest::newRow("verbose") << QStringList{"backup", "--to", "@B@", "-v"}
                                 << QStringList{"Database: done (1 files, 2.9 KiB copied; 0 "
                                                "unchanged)",
                                                "  copied      NewDB/111.dat (2.9 KiB)",
                                                "Contacts: done (1 files, 4 bytes copied",
                                                "  copied      CL/111.dat (4 bytes)",
                                                "Backup into"};
        QTest::newRow("quiet") << QStringList{"backup", "--to", "@B@", "--quiet"} << QStringList{};
    }
    void backupOutput()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, lines);
        BufferConsole console;
        QCOMPARE(run(console, words), int(ExitSuccess));
        for (QString line : lines)
            QVERIFY2(console.out().contains(
                         line.replace("@B@", backupRoot).replace("@ICQ@", sample->icqFolder())),
                     qPrintable(console.out()));
        QCOMPARE(console.out().isEmpty(), lines.isEmpty());
        QVERIFY2(console.err().isEmpty(), qPrintable(console.err()));
    }

    // A dry run lists, file by file, what the run would do and the room it needs, and changes
    // nothing on either side: no folder, no set, no undo set.
    void dryRun_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("backup") << QStringList{"backup", "--to", "@B@/plain", "-n"}
                                << QStringList{"  replace     CL/111.dat (7 bytes)",
                                               "  copy        CL/new.dat (3 bytes)",
                                               "  unchanged   NewDB/111.dat (2.9 KiB)",
                                               "Dry run: 2 files (10 bytes) to write"};
        QTest::newRow("into a new folder")
            << QStringList{"backup", "--to", "@B@/new", "--dry-run"}
            << QStringList{"  copy        NewDB/111.dat (2.9 KiB)", "Dry run: 3 files"};
        QTest::newRow("a dated set")
            << QStringList{"backup", "--to", "@B@/sets", "--dated", "-n"}
            << QStringList{"  copy        CL/111.dat (7 bytes)",
                           "  link        NewDB/111.dat (2.9 KiB)", "Dry run: 2 files (10 bytes)"};
        QTest::newRow("restore") << QStringList{"restore", "--from", "@B@/plain", "-n"}
                                 << QStringList{"  replace     CL/111.dat (4 bytes)",
                                                "  unchanged   NewDB/111.dat (2.9 KiB)",
                                                "Dry run: 1 files (4 bytes) to write"};
    }
    void dryRun()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, lines);
        BufferConsole first;
        QCOMPARE(run(first, {"backup", "--to", "@B@/plain"}), 0);
        QCOMPARE(run(first, {"backup", "--to", "@B@/sets", "--dated"}), 0);
        SampleInstallation::writeFile(sample->icqFolder() + QStringLiteral("CL/111.dat"),
                                      "changed");
        SampleInstallation::writeFile(sample->icqFolder() + QStringLiteral("CL/new.dat"), "new");
        const QStringList before = snapshot(sample->prefix());
        BufferConsole console;
        QCOMPARE(run(console, words), 0);
        for (const QString& line : lines)
            QVERIFY2(console.out().contains(line), qPrintable(console.out()));
        QCOMPARE(snapshot(sample->prefix()), before);
    }

    // The replace question of a repeat backup: asked only where both input and error are a
    // terminal; without one the file is kept and the exit is 1; the end of input cancels.
    void replaceQuestion_data()
    {
        QTest::addColumn<bool>("inputIsTerminal");
        QTest::addColumn<bool>("errorIsTerminal");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("yes") << true << true << QByteArray("y\n") << 0 << true << true;
        QTest::newRow("all") << true << true << QByteArray("all\n") << 0 << true << true;
        QTest::newRow("no") << true << true << QByteArray("n\n") << 0 << true << false;
        QTest::newRow("an unknown word, then yes")
            << true << true << QByteArray("maybe\ny\n") << 0 << true << true;
        QTest::newRow("end of input") << true << true << QByteArray() << 1 << true << false;
        QTest::newRow("input not a terminal, error one")
            << false << true << QByteArray("y\n") << 1 << false << false;
        QTest::newRow("no terminal") << false << false << QByteArray("y\n") << 1 << false << false;
    }
    void replaceQuestion()
    {
        QFETCH(bool, inputIsTerminal);
        QFETCH(bool, errorIsTerminal);
        QFETCH(QByteArray, typed);
        QFETCH(int, exitCode);
        QFETCH(bool, asked);
        QFETCH(bool, replaced);
        BufferConsole first;
        QCOMPARE(run(first, {"backup", "--to", "@B@", "--component", "CL"}), 0);
        SampleInstallation::writeFile(sample->icqFolder() + QStringLiteral("CL/111.dat"),
                                      "changed");
        BufferConsole console(typed);
        console.console.inputIsTerminal = inputIsTerminal;
        console.console.errorIsTerminal = errorIsTerminal;
        QCOMPARE(run(console, {"backup", "--to", "@B@", "--component", "CL"}), exitCode);
        QCOMPARE(console.err().contains(QLatin1String("Replace ")), asked);
        QCOMPARE(SampleInstallation::readFile(backupRoot + QStringLiteral("/CL/111.dat")) ==
                     "changed",
                 replaced);
        if (!inputIsTerminal)
            QVERIFY(console.err().contains(QLatin1String("kept, not replaced: ")));
    }

    // A set holds the components it holds: --keep never removes the only set of a component,
    // and restore --latest takes each component from the newest complete set that holds it.
    // Records written before they listed their components are read by the folders in the set.
    void setsGoByComponent_data()
    {
        QTest::addColumn<bool>("olderRecord");
        QTest::newRow("recorded") << false;
        QTest::newRow("an older record") << true;
    }
    void setsGoByComponent()
    {
        QFETCH(bool, olderRecord);
        const QString icq = sample->icqFolder();
        BufferConsole full;
        QCOMPARE(run(full, {"backup", "--to", "@B@", "--dated"}), 0);
        if (olderRecord) {
            const QString record = backupSets(backupRoot).value(0).folder + "ZEB record";
            QString lines = QString::fromLatin1(SampleInstallation::readFile(record));
            lines.remove(QRegularExpression("component [^\n]*\n"));
            SampleInstallation::writeFile(record, lines.toLatin1());
        }
        SampleInstallation::writeFile(icq + "CL/111.dat", "newer");
        BufferConsole contacts;
        QCOMPARE(
            run(contacts, {"backup", "--to", "@B@", "--dated", "--component", "CL", "--keep", "1"}),
            0);
        QCOMPARE(backupSets(backupRoot).size(), 2);
        SampleInstallation::writeFile(icq + "CL/111.dat", "damaged");
        SampleInstallation::writeFile(icq + "NewDB/111.dat", "damaged");
        BufferConsole restore;
        QCOMPARE(run(restore, {"restore", "--from", "@B@", "--latest", "--overwrite"}), 0);
        QCOMPARE(SampleInstallation::readFile(icq + "CL/111.dat"), QByteArray("newer"));
        QCOMPARE(SampleInstallation::readFile(icq + "NewDB/111.dat"), QByteArray(3000, 'd'));
        QCOMPARE(restore.out().count("Restoring from the set "), 2);
        BufferConsole whole;
        QCOMPARE(run(whole, {"backup", "--to", "@B@", "--dated", "--keep", "1"}), 0);
        QCOMPARE(backupSets(backupRoot).size(), 1);
    }

    // A restore puts back what the backup holds and keeps what it replaced; undo puts that
    // back; a second undo has nothing left.
    void restoreAndUndo()
    {
        BufferConsole backup;
        QCOMPARE(run(backup, {"backup", "--to", "@B@", "--dated"}), 0);
        SampleInstallation::writeFile(sample->icqFolder() + QStringLiteral("CL/111.dat"),
                                      "damaged");
        BufferConsole restore;
        QCOMPARE(run(restore, {"restore", "--from", "@B@", "--latest", "--overwrite", "--json"}),
                 0);
        const QJsonObject report = QJsonDocument::fromJson(restore.out().toUtf8()).object();
        QVERIFY(!report.value(QLatin1String("undoSet")).toString().isEmpty());
        QCOMPARE(SampleInstallation::readFile(sample->icqFolder() + QStringLiteral("CL/111.dat")),
                 QByteArray("data"));
        BufferConsole dryRun;
        QCOMPARE(run(dryRun, {"undo", "-n"}), 0);
        QVERIFY2(dryRun.out().contains(QLatin1String("put back   ") + sample->icqFolder() +
                                       QLatin1String("CL/111.dat")),
                 qPrintable(dryRun.out()));
        QCOMPARE(SampleInstallation::readFile(sample->icqFolder() + QStringLiteral("CL/111.dat")),
                 QByteArray("data"));
        BufferConsole undo;
        QCOMPARE(run(undo, {"undo"}), 0);
        QCOMPARE(SampleInstallation::readFile(sample->icqFolder() + QStringLiteral("CL/111.dat")),
                 QByteArray("damaged"));
        BufferConsole again;
        QCOMPARE(run(again, {"undo", "--icq", "@ICQ@"}), 1);
        QVERIFY(again.err().contains(QLatin1String("no restore to undo")));
    }

    // On a terminal narrower than the status line, every redraw fits in one line.
    void statusLineFitsTheTerminal_data()
    {
        QTest::addColumn<int>("columns");
        QTest::newRow("narrow") << 24;
        QTest::newRow("wide") << 200;
    }
    void statusLineFitsTheTerminal()
    {
        QFETCH(int, columns);
        BufferConsole console;
        console.console.errorIsTerminal = true;
        console.console.setColumns(columns);
        QCOMPARE(run(console, {"backup", "--to", "@B@"}), 0);
        const QStringList redraws = console.err().split(QLatin1Char('\r'), Qt::SkipEmptyParts);
        QVERIFY(redraws.size() >= 2);
        bool sizeShown = false;
        for (QString redraw : redraws) {
            redraw.remove(QStringLiteral("\033[K")).remove(QLatin1Char('\n'));
            QVERIFY2(redraw.size() < columns, qPrintable(redraw));
            sizeShown = sizeShown || redraw.contains(QLatin1String("of 2.9 KiB"));
        }
        QCOMPARE(sizeShown, columns > 60);
    }

    // Run last: every command of the table went through the tests above.
    void everyCommandWasRun()
    {
        for (const Command& command : commandTable())
            QVERIFY2(commandsRun.contains(command.name), qPrintable(command.name));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
