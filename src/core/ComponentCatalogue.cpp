#include "core/ComponentCatalogue.h"

#include "core/ErrorObject.h"
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
    // Windows takes any character before a colon for a drive, not only a letter.
    if (folder.size() >= 2 && folder[1] == QLatin1Char(':'))
        return false;
    // A NUL would cut the path short below the OS layer and name another folder.
    if (folder.contains(QChar(u'\0')))
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = folder.split(separators);
    // The undo sets of restores are the program's own, never a component, however the path
    // leads there ("./ZEB Undo", ".\\ZEB Undo.": Windows drops trailing dots and spaces).
    for (const QString& part : parts) {
        QString name = part.trimmed();
        while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
            name.chop(1);
        if (name.isEmpty())
            continue; // "." or "", which stays where it is
        if (name.compare(UndoFolderName, Qt::CaseInsensitive) == 0)
            return false;
        break;
    }
    bool namesSubfolder = false;
    for (const QString& part : parts) {
        // Windows drops trailing dots and spaces from a name: ". ." and "..." climb as ".."
        // does there, and " " or ". " stay where "." does. Nobody names an ICQ folder like that.
        const qsizetype dots = part.count(QLatin1Char('.'));
        if (dots + part.count(QLatin1Char(' ')) < part.size())
            namesSubfolder = true;
        else if (dots >= 2)
            return false;
    }
    return namesSubfolder;
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

std::optional<Component> componentFromRecord(const PluginRecord& record)
{
    // A cut-off record names no folder for sure: read as it stands, it could name the whole side.
    if (record.cutBeforeFlag || !isSafeComponentFolder(record.folder))
        return std::nullopt;
    return Component{record.name, nativeComponentFolder(record.folder), record.flag != 0};
}

std::optional<Component> componentFromPlugin(const QString& pluginPath)
{
    return componentFromRecord(readPluginRecord(pluginPath));
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

QList<Component> everyPluginComponent(const QString& programFolder)
{
    QList<Component> components;
    const QString folder = withTrailingSeparator(programFolder);
    for (const QString& file : pluginFiles(programFolder)) {
        try {
            if (const std::optional<Component> component = componentFromPlugin(folder + file))
                components << *component;
        } catch (const RuntimeError&) {
            // A plugin that cannot be read offers nothing, here as in the lists.
        }
    }
    return components;
}
