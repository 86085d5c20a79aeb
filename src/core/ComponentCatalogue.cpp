#include "core/ComponentCatalogue.h"

#include "core/FolderUtilities.h"
#include "core/PluginRecord.h"
#include "core/UndoSets.h"
#include "os/os.h"

#include <QRegularExpression>

QString Component::entryText() const
{
    return name + QStringLiteral(" [") + folder + QStringLiteral("]");
}

bool isSafeComponentFolder(const QString& folder)
{
    if (folder.startsWith(QLatin1Char('/')) || folder.startsWith(QLatin1Char('\\')))
        return false;
    if (folder.size() >= 2 && folder[1] == QLatin1Char(':') && folder[0].isLetter())
        return false;
    // A NUL would cut the path short below the OS layer and name another folder.
    if (folder.contains(QChar(u'\0')))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = folder.split(separators);
    // The undo sets of restores are the program's own, never a component.
    if (parts.first().trimmed().compare(UndoFolderName, Qt::CaseInsensitive) == 0)
        return false;
    for (const QString& part : parts) {
        // Windows drops trailing dots and spaces from a name, so ". ." and "..." climb as ".."
        // does there; nobody names an ICQ folder like that anywhere.
        const qsizetype dots = part.count(QLatin1Char('.'));
        if (dots >= 2 && dots + part.count(QLatin1Char(' ')) == part.size())
            return false;
    }
    return true;
}

QString nativeComponentFolder(const QString& folder)
{
    QString native = folder;
    native.replace(QLatin1Char('/'), QLatin1Char(Os::PathSeparator));
    native.replace(QLatin1Char('\\'), QLatin1Char(Os::PathSeparator));
    return native;
}

QStringList pluginFiles(const QString& programFolder)
{
    return listMatchingFiles(withTrailingSeparator(programFolder) + QStringLiteral("*.zpx"));
}

std::optional<Component> componentFromPlugin(const QString& pluginPath)
{
    const PluginRecord record = readPluginRecord(pluginPath);
    if (!isSafeComponentFolder(record.folder))
        return std::nullopt;
    return Component{record.name, nativeComponentFolder(record.folder), record.flag != 0};
}

bool isComponentPresent(const Component& component, const QString& sideFolder)
{
    return folderExists(sideFolder + component.folder);
}

QList<Component> offeredComponents(const QString& programFolder, const QString& sideFolder)
{
    QList<Component> offered;
    const QString folder = withTrailingSeparator(programFolder);
    for (const QString& file : pluginFiles(programFolder)) {
        const std::optional<Component> component = componentFromPlugin(folder + file);
        if (component && isComponentPresent(*component, sideFolder))
            offered << *component;
    }
    return offered;
}
