// A throw-away Wine prefix with an ICQ installation, a backup folder and a program folder
// holding plugin files, for tests that walk the wizard against real folders.
#pragma once

#include "ByteNames.h"

#include "core/FolderUtilities.h"
#include "os/os.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

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
        // The ICQ folder as the registry names it: a DOS path, on Linux through the drive link C:.
        writeRegistry({QStringLiteral("ICQPath=") + (Os::PathSeparator == '\\'
                                                         ? QDir::toNativeSeparators(icqFolder())
                                                         : QStringLiteral("C:\\ICQ\\"))});
    }

    // Removed by the names' bytes: Qt cannot name a file whose name is not UTF-8.
    ~SampleInstallation()
    {
        std::string failed;
        Os::removeTree(toOsPath(prefix()), failed);
    }

    QString prefix() const { return m_root.path(); }
    // Each folder with its trailing separator, as the folder page leaves it.
    QString icqFolder() const { return m_root.filePath(QStringLiteral("drive_c/ICQ/")); }
    QString backupFolder() const { return m_root.filePath(QStringLiteral("drive_c/ZEB/")); }
    QString programFolder() const { return m_root.filePath(QStringLiteral("plugins")); }

    // ICQ's registry key holding exactly these values, each "Name=text" or in Wine's own form,
    // "Name=dword:0000000N" or "Name=hex:0a,0b,..."; with none, no key at all. On Linux in the
    // prefix's user.reg as Wine writes it, on Windows in the registry itself.
    void writeRegistry(const QStringList& values) const
    {
#ifdef Q_OS_WIN
        // Through the registry functions rather than reg.exe: a child process per row was slow
        // under Wine and its finish notifier crashed there now and then.
        const std::wstring key = QString::fromLatin1(KeyName).toStdWString();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Mirabilis");
        for (const QString& value : values) {
            const std::wstring name = value.section(QLatin1Char('='), 0, 0).toStdWString();
            const QString data = value.section(QLatin1Char('='), 1);
            DWORD type = REG_SZ;
            QByteArray bytes;
            if (data.startsWith(QLatin1String("dword:"))) {
                type = REG_DWORD;
                const quint32 number = qToLittleEndian(data.mid(6).toUInt(nullptr, 16));
                bytes = QByteArray(reinterpret_cast<const char*>(&number), sizeof number);
            } else if (data.startsWith(QLatin1String("hex:"))) {
                type = REG_BINARY;
                bytes = QByteArray::fromHex(data.mid(4).toLatin1());
            } else {
                const std::wstring text = data.toStdWString();
                bytes = QByteArray(reinterpret_cast<const char*>(text.c_str()),
                                   qsizetype((text.size() + 1) * sizeof(wchar_t)));
            }
            // The key is made with its first value.
            if (RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type,
                                bytes.constData(), DWORD(bytes.size())) != ERROR_SUCCESS)
                qFatal("Cannot write an ICQ value");
        }
#else
        QString text = QStringLiteral("WINE REGISTRY Version 2\n"
                                      ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
                                      "#arch=win64\n\n[Software\\\\Wine] 1700000000\n\n");
        if (!values.isEmpty())
            text += QStringLiteral("[") + QString(KeyName).replace('\\', "\\\\") +
                    QStringLiteral("] 1700000000\n#time=1d9a0b0c0d0e0f0\n");
        for (const QString& value : values) {
            const QString name = value.section(QLatin1Char('='), 0, 0);
            QString data = value.section(QLatin1Char('='), 1);
            if (!data.startsWith(QLatin1String("dword:")) &&
                !data.startsWith(QLatin1String("hex:")))
                data = QLatin1Char('"') + data.replace('\\', "\\\\").replace('"', "\\\"") +
                       QLatin1Char('"');
            text += QLatin1Char('"') + name + QStringLiteral("\"=") + data + QLatin1Char('\n');
        }
        writeFile(m_root.filePath(QStringLiteral("user.reg")), text.toUtf8());
#endif
    }

    void addUin(const QString& folder, const QString& fileName) const
    {
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

    // With a time, the file's modification time is set to it.
    static void writeFile(const QString& path, const QByteArray& content,
                          const QDateTime& modified = {})
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
            file.flush() && modified.isValid())
            file.setFileTime(modified, QFileDevice::FileModificationTime);
    }

    // A file of each name of the byte names' table in a folder, written by its bytes: the content,
    // then which name it is.
    static void writeByteNames(const QString& folder, const std::string& content = {})
    {
        QDir().mkpath(folder);
        for (const ByteName& name : ByteNames)
            if (Os::writeFileDurably(toOsPath(folder) + name.bytes, content + name.what) != 0)
                qFatal("Cannot write a file named by its bytes");
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Every name below a folder (as bytes: Qt cannot name every one), its kind and a file's
    // content; `below` is a subfolder's path, for the names inside it.
    static QList<QByteArray> snapshot(const QString& folder, const std::string& below = {})
    {
        QList<QByteArray> out;
        const std::string path = below.empty() ? toOsPath(folder) : toOsPath(folder) + '/' + below;
        std::vector<Os::FolderEntry> entries;
        if (Os::listFolder(path, entries) != 0)
            out << "unlistable " + QByteArray::fromStdString(below);
        for (const Os::FolderEntry& entry : entries) {
            const std::string name = below.empty() ? entry.name : below + '/' + entry.name;
            std::string content;
            if (entry.state.kind == Os::FileState::Kind::Folder)
                out << "d " + QByteArray::fromStdString(name) << snapshot(folder, name);
            else if (Os::readWholeFile(path + '/' + entry.name, content) != 0)
                out << "unreadable " + QByteArray::fromStdString(name);
            else
                out << "f " + QByteArray::fromStdString(name + '=' + content);
        }
        return out;
    }

private:
    static constexpr const char* KeyName = "Software\\Mirabilis\\ICQ\\DefaultPrefs";

    QTemporaryDir m_root;
};
