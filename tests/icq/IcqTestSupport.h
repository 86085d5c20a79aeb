// Real folders for the ICQ tests: a throw-away Wine prefix that this process's registry reads
// use, and plugin files written byte by byte.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

class TempWinePrefix
{
public:
    TempWinePrefix()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("drive_c"));
        QDir(m_dir.path()).mkpath(QStringLiteral("dosdevices"));
        mapDrive('c', QStringLiteral("../drive_c"));
        m_oldPrefix = qgetenv("WINEPREFIX");
        m_hadPrefix = qEnvironmentVariableIsSet("WINEPREFIX");
        qputenv("WINEPREFIX", QFile::encodeName(m_dir.path()));
    }
    ~TempWinePrefix()
    {
        if (m_hadPrefix)
            qputenv("WINEPREFIX", m_oldPrefix);
        else
            qunsetenv("WINEPREFIX");
    }
    TempWinePrefix(const TempWinePrefix&) = delete;
    TempWinePrefix& operator=(const TempWinePrefix&) = delete;

    QString path() const { return m_dir.path(); }
    // The prefix as the registry's drive links resolve it (no symbolic links on the way).
    QString canonicalPath() const { return QDir(m_dir.path()).canonicalPath(); }
    QString driveC() const { return canonicalPath() + QStringLiteral("/drive_c"); }

    void mapDrive(char letter, const QString& target) const
    {
        const QString link = m_dir.filePath(QStringLiteral("dosdevices/%1:").arg(letter));
        QFile::remove(link);
        QFile::link(target, link);
    }

    // user.reg as Wine writes it, with ICQ's key holding the given value lines (already in
    // Wine's escaped form). Without a key text the file holds no ICQ key at all.
    void
    writeRegistry(const QByteArray& valueLines,
                  const QByteArray& keyName = "Software\\\\Mirabilis\\\\ICQ\\\\DefaultPrefs") const
    {
        QByteArray text = "WINE REGISTRY Version 2\n"
                          ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                          "#arch=win64\n\n"
                          "[Software\\\\Wine] 1700000000\n"
                          "#time=1d9a0b0c0d0e0f0\n"
                          "\"Version\"=\"win10\"\n\n";
        if (!keyName.isEmpty())
            text += "[" + keyName + "] 1700000000\n#time=1d9a0b0c0d0e0f0\n" + valueLines + "\n";
        writeFile(m_dir.filePath(QStringLiteral("user.reg")), text);
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPrefix;
    bool m_hadPrefix = false;
};

// One plugin record as the program's plugin files hold it: counts and flag little-endian.
inline QByteArray pluginRecord(const QByteArray& name, const QByteArray& folder, qint16 flag,
                               const QByteArray& extra = QByteArray())
{
    QByteArray bytes;
    const auto word = [&bytes](int value) {
        bytes.append(static_cast<char>(value & 0xFF));
        bytes.append(static_cast<char>((value >> 8) & 0xFF));
    };
    const auto text = [&](const QByteArray& field) {
        word(static_cast<int>(field.size()));
        bytes.append(field);
    };
    text(name);
    text(folder);
    word(static_cast<quint16>(flag));
    text(extra);
    return bytes;
}
