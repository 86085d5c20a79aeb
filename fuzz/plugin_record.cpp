// The plugin reader and the folder-safety rule on any bytes. Each text field is as long as its
// count says, or as what is left of the bytes; a record is cut off exactly when its flag is not
// whole; a component offered has a folder strictly below its base, however Linux or Windows
// reads it; and a plain folder name in a whole record is offered.
#include "check.h"
#include "core/ComponentCatalogue.h"
#include "core/PluginRecord.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstdint>

namespace {

// Walks the bytes as the format describes them and checks each field the reader gave.
class FieldCheck
{
public:
    explicit FieldCheck(const QByteArray& bytes) : m_bytes(bytes) {}

    // Whether the field was whole.
    bool text(const QString& read)
    {
        if (m_bytes.size() - m_at < 2) {
            m_at = m_bytes.size();
            check(read.isEmpty());
            return false;
        }
        const qsizetype count = word();
        const qsizetype length = std::min(count, m_bytes.size() - m_at);
        // Windows-1252 gives one character per byte, the same one below 0x80 and from 0xA0.
        check(read.size() == length);
        for (qsizetype i = 0; i < length; ++i) {
            const auto byte = static_cast<quint8>(m_bytes[m_at + i]);
            check((byte >= 0x80 && byte < 0xA0) || read[i] == QChar(byte));
        }
        m_at += length;
        return length == count;
    }

    bool flag(qint16 read)
    {
        if (m_bytes.size() - m_at < 2) {
            m_at = m_bytes.size();
            check(read == 0);
            return false;
        }
        check(read == static_cast<qint16>(word()));
        return true;
    }

private:
    quint16 word()
    {
        const auto low = static_cast<quint8>(m_bytes[m_at]);
        const auto high = static_cast<quint8>(m_bytes[m_at + 1]);
        m_at += 2;
        return static_cast<quint16>(low | (high << 8));
    }

    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

// Where a folder joined to "/base" ends up. Both separators count; read as Windows reads it, a
// name loses its trailing dots and spaces, and a part left with nothing but them is taken as
// ".." when it held two dots or more (the cautious reading), as "." otherwise.
QString resolved(const QString& folder, bool asWindows)
{
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    QStringList parts = folder.split(separators);
    if (asWindows)
        for (QString& part : parts) {
            QString name = part;
            while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
                name.chop(1);
            part = !name.isEmpty()                     ? name
                   : part.count(QLatin1Char('.')) >= 2 ? QStringLiteral("..")
                                                       : QStringLiteral(".");
        }
    return QDir::cleanPath(QStringLiteral("/base/") + parts.join(QLatin1Char('/')));
}

bool staysBelowBase(const QString& folder)
{
    if (folder.startsWith(QLatin1Char('/')) || folder.startsWith(QLatin1Char('\\')) ||
        (folder.size() >= 2 && folder[1] == QLatin1Char(':')) || folder.contains(QChar(u'\0')))
        return false;
    return resolved(folder, false).startsWith(QStringLiteral("/base/")) &&
           resolved(folder, true).startsWith(QStringLiteral("/base/"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const PluginRecord record = pluginRecordFromBytes(bytes);

    // A field cut off takes the rest of the bytes: those after it read as empty.
    FieldCheck fields(bytes);
    const bool nameWhole = fields.text(record.name);
    const bool folderWhole = fields.text(record.folder);
    const bool flagWhole = fields.flag(record.flag);
    const bool whole = nameWhole && folderWhole && flagWhole;
    check(record.cutBeforeFlag == !whole);
    fields.text(record.extraText);

    const std::optional<Component> component = componentFromRecord(record);
    if (component) {
        check(!record.cutBeforeFlag);
        check(staysBelowBase(record.folder));
        check(component->name == record.name);
        check(component->folder == nativeComponentFolder(record.folder));
    }
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (whole && plainName.match(record.folder).hasMatch())
        check(component.has_value());
    return 0;
}
