#include "core/SetRecord.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "core/TaskReasons.h"
#include "os/os.h"

#include <QFile>
#include <QRegularExpression>

#include <QCoreApplication>

#include <limits>

QByteArray stampLine(const SetStamp& stamp)
{
    return "made " + stamp.madeUtc.toUTC().toString(Qt::ISODateWithMs).toLatin1() + ' ' +
           QByteArray::number(stamp.sequence);
}

std::optional<SetStamp> parseStampLine(const QByteArray& line)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 3 || fields[0] != "made" || !fields[1].endsWith('Z'))
        return std::nullopt;
    SetStamp stamp;
    stamp.madeUtc = QDateTime::fromString(QString::fromLatin1(fields[1]), Qt::ISODateWithMs);
    bool ok = false;
    stamp.sequence = fields[2].toULongLong(&ok);
    if (!ok || !stamp.madeUtc.isValid())
        return std::nullopt;
    return stamp;
}

QByteArray encodeField(const std::string& bytes)
{
    QByteArray field;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%')
            field += c;
        else
            field += '%' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
    }
    return field.isEmpty() ? QByteArray("%") : field; // "%" alone: the empty text
}

std::optional<std::string> decodeField(const QByteArray& field)
{
    if (field == "%")
        return std::string();
    std::string bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte <= 0x20 || byte >= 0x7F)
            return std::nullopt;
        if (byte != '%') {
            bytes += char(byte);
            continue;
        }
        bool ok = false;
        const int value = field.mid(i + 1, 2).toInt(&ok, 16);
        if (!ok || i + 2 >= field.size())
            return std::nullopt;
        bytes += char(value);
        i += 2;
    }
    return bytes;
}

namespace {

QString failure(const std::string& path, int error)
{
    return fromOsPath(path) + QStringLiteral(": ") + fromOsText(Os::errorText(error));
}

} // namespace

void writeSetRecord(const std::string& setPath, const QByteArray& content)
{
    const std::string record = osJoin(setPath, SetRecordName);
    if (const int error = Os::writeFileDurably(record, content.toStdString()))
        raiseError(ErrorNumber::PathFileAccessError,
                   Text("Task", TaskReason::SetRecordNotWritten).arg(failure(record, error)));
}

QList<FoundSet> findSets(const std::string& parent, const QByteArray& header)
{
    QList<FoundSet> sets;
    std::vector<Os::FolderEntry> entries;
    if (Os::listFolder(parent, entries) != 0)
        return sets;
    for (const Os::FolderEntry& entry : entries) {
        if (entry.state.kind != Os::FileState::Kind::Folder || Os::temporaryOwner(entry.name) != 0)
            continue;
        FoundSet set;
        set.path = osJoin(parent, entry.name);
        std::string content;
        if (Os::readWholeFile(osJoin(set.path, SetRecordName), content) != 0)
            continue;
        QList<QByteArray> lines = QByteArray::fromStdString(content).split('\n');
        if (lines.size() < 2 || lines[0] != header)
            continue;
        const std::optional<SetStamp> stamp = parseStampLine(lines[1]);
        if (!stamp)
            continue;
        set.name = fromOsPath(entry.name);
        set.stamp = *stamp;
        set.lines = lines.mid(2);
        set.lines.removeAll(QByteArray());
        sets << set;
    }
    std::stable_sort(sets.begin(), sets.end(),
                     [](const FoundSet& a, const FoundSet& b) { return a.stamp < b.stamp; });
    return sets;
}

MadeSet makeSetFolder(const std::string& parent, const QString& baseName, const QByteArray& header,
                      const QDateTime& nowUtc)
{
    MadeSet made;
    made.stamp.madeUtc = nowUtc.toUTC();
    for (const FoundSet& set : findSets(parent, header)) {
        // A number at its maximum would wrap to 0 and sort the new set below every other one.
        if (set.stamp.sequence == std::numeric_limits<quint64>::max())
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Task", TaskReason::SetNumberFull).arg(fromOsPath(set.path)));
        made.stamp.sequence = qMax(made.stamp.sequence, set.stamp.sequence);
    }
    ++made.stamp.sequence;

    static int counter = 0;
    const std::string temporary =
        osJoin(parent, Os::temporaryName(long(QCoreApplication::applicationPid()),
                                         "set" + std::to_string(++counter), {}));
    if (const int error = Os::makeFolder(temporary))
        raiseError(ErrorNumber::PathFileAccessError,
                   Text("Task", TaskReason::SetNotMade).arg(failure(temporary, error)));
    try {
        writeSetRecord(temporary, header + '\n' + stampLine(made.stamp) + '\n');
    } catch (const RuntimeError&) {
        std::string left;
        (void)Os::removeTree(temporary, left); // the failure told is the record's; the next run
                                               // clears the temporary folder away
        throw;
    }
    // Two sets made in the same minute each get a name of their own.
    for (int n = 1;; ++n) {
        made.name = n == 1 ? baseName : baseName + QStringLiteral("-%1").arg(n);
        made.path = osJoin(parent, toOsPath(made.name));
        const int error = Os::renameFolder(temporary, made.path);
        if (error == 0)
            return made;
        if (error != Os::ErrorExists && error != Os::ErrorNotEmpty) {
            // Renamed, but not on the disk for sure: the set goes again. What cannot be removed
            // now is a temporary folder the next run clears away, or a set that holds nothing.
            Os::FileState renamed;
            std::string left;
            if (Os::fileState(temporary, renamed) == 0 &&
                renamed.kind == Os::FileState::Kind::Missing)
                (void)removeSetFolder(made.path, left);
            else
                (void)Os::removeTree(temporary, left);
            raiseError(ErrorNumber::PathFileAccessError,
                       Text("Task", TaskReason::SetNotMade).arg(failure(made.path, error)));
        }
    }
}

int removeSetFolder(const std::string& path, std::string& failedPath, const std::string& serial)
{
    // Out of sight at once, under a temporary name that the next run clears away if this one
    // stops half-way.
    static int counter = 0;
    const std::size_t separator = path.find_last_of("/\\");
    const std::string trash =
        osJoin(separator == std::string::npos ? std::string(".") : path.substr(0, separator),
               Os::temporaryName(
                   long(QCoreApplication::applicationPid()), serial + std::to_string(++counter),
                   separator == std::string::npos ? path : path.substr(separator + 1)));
    if (const int error = Os::renameFolder(path, trash)) {
        Os::FileState left;
        if (Os::fileState(path, left) != 0 || left.kind != Os::FileState::Kind::Missing) {
            failedPath = path;
            return error;
        }
    }
    return Os::removeTree(trash, failedPath);
}
