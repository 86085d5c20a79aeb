// What the undo sets of restores and the dated backup sets share: the record of when a set was
// made (UTC and a sequence number, so that neither a time-zone step nor a wrong clock reorders
// sets), names that travel through a record as bytes, and the folder each set is made in.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <string>

// When a set was made. The sequence number grows by one with each set of a folder; sets are
// ordered by it first, by the time only between equal numbers.
struct SetStamp
{
    QDateTime madeUtc;
    quint64 sequence = 0;

    bool operator<(const SetStamp& other) const
    {
        return sequence != other.sequence ? sequence < other.sequence : madeUtc < other.madeUtc;
    }
};

// The record's line for a stamp: "made 2026-12-07T06:30:00.123Z 17", and back.
QByteArray stampLine(const SetStamp& stamp);
std::optional<SetStamp> parseStampLine(const QByteArray& line);

// A name of bytes as one field of a record line: every byte outside the printable ASCII range,
// the space and "%" are written "%XX". Answers no value for a field that is not such a text.
QByteArray encodeField(const std::string& bytes);
std::optional<std::string> decodeField(const QByteArray& field);

// The record file of a set, beside what the set holds.
inline constexpr char SetRecordName[] = "ZEB record";

struct MadeSet
{
    QString name;     // the folder's name
    std::string path; // the folder, as the OS layer takes it
    SetStamp stamp;
};

// Makes a set folder below `parent` (which must exist) holding the record `header` + the stamp
// line, synced before the folder gets its name: a set is never seen without its record. The
// name is `baseName`, or "<baseName>-<n>" when another has that name already. The sequence
// number follows the highest of the records beside it. Raises the runtime's error.
MadeSet makeSetFolder(const std::string& parent, const QString& baseName, const QByteArray& header,
                      const QDateTime& nowUtc);

// The record of each set folder below `parent` whose record starts with `header`, oldest first;
// what the record says after its stamp line comes as `lines`. Folders without such a record are
// none of ours and are left out.
struct FoundSet
{
    QString name;
    std::string path;
    SetStamp stamp;
    QList<QByteArray> lines;
};
QList<FoundSet> findSets(const std::string& parent, const QByteArray& header);

// Writes a set's record in one piece, synced. Raises the runtime's error.
void writeSetRecord(const std::string& setPath, const QByteArray& content);

// Removes a set folder with everything in it: first out of sight under a temporary name of the
// serial `serial` + a number, which the next run clears away if this one stops half-way. Answers
// 0 or the error, with the path that failed.
int removeSetFolder(const std::string& path, std::string& failedPath,
                    const std::string& serial = "gone");

// The separator of OS paths.
inline std::string osJoin(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        return folder + name;
#ifdef _WIN32
    return folder + '\\' + name;
#else
    return folder + '/' + name;
#endif
}
