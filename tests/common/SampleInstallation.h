// A throw-away Wine prefix with an ICQ installation, a backup folder and a program folder
// holding plugin files, for tests that walk the wizard against real folders.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtEndian>

class SampleInstallation
{
public:
    SampleInstallation()
    {
        QDir root(m_root.path());
        root.mkpath(QStringLiteral("drive_c/ICQ"));
        root.mkpath(QStringLiteral("dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), root.filePath(QStringLiteral("dosdevices/c:")));
        root.mkpath(QStringLiteral("plugins"));
        writeFile(icqFolder() + QStringLiteral("icq.exe"), "MZ");
        writeRegistry(QStringLiteral("\"ICQPath\"=\"C:\\\\ICQ\\\\\"\n"));
    }

    QString prefix() const { return m_root.path(); }
    // Each folder with its trailing separator, as the folder page leaves it.
    QString icqFolder() const { return m_root.filePath(QStringLiteral("drive_c/ICQ/")); }
    QString backupFolder() const { return m_root.filePath(QStringLiteral("drive_c/ZEB/")); }
    QString programFolder() const { return m_root.filePath(QStringLiteral("plugins")); }

    // ICQ's registry settings, as Wine keeps them.
    void writeRegistry(const QString& values) const
    {
        writeFile(m_root.filePath(QStringLiteral("user.reg")),
                  QStringLiteral("WINE REGISTRY Version 2\n"
                                 ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                                 "#arch=win64\n\n"
                                 "[Software\\\\Mirabilis\\\\ICQ\\\\DefaultPrefs] 1700000000\n"
                                 "#time=1d9a0b0c0d0e0f0\n")
                      .append(values)
                      .toUtf8());
    }

    void addUin(const QString& folder, const QString& fileName) const
    {
        QDir().mkpath(folder + QStringLiteral("UIN"));
        writeFile(folder + QStringLiteral("UIN/") + fileName, "");
    }

    // A plugin file: two counted texts, the flag, and an empty fourth field.
    void addPlugin(const QString& fileName, const QString& name, const QString& folder,
                   quint16 flag = 1) const
    {
        QByteArray record;
        const auto appendText = [&record](const QByteArray& text) {
            record.append(char(text.size() & 0xFF)).append(char(text.size() >> 8)).append(text);
        };
        appendText(name.toLatin1());
        appendText(folder.toLatin1());
        record.append(char(flag & 0xFF)).append(char(flag >> 8));
        appendText(QByteArray());
        writeFile(QDir(programFolder()).filePath(fileName), record);
    }

    // A component whose folder, below the ICQ folder, holds one file of the given bytes.
    void addComponent(const QString& name, const QString& folder,
                      const QByteArray& content = QByteArray("data")) const
    {
        addPlugin(folder + QStringLiteral(".zpx"), name, folder);
        writeFile(icqFolder() + folder + QStringLiteral("/111.dat"), content);
    }

    static void writeFile(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_root;
};
