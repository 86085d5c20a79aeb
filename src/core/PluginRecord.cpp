#include "core/PluginRecord.h"

#include "core/ErrorObject.h"
#include "os/os.h"

#include <QFile>

#include <algorithm>
#include <string>

namespace {

// The largest record: three texts of up to 65535 bytes, their counts and the flag.
constexpr qint64 MaxRecordSize = 3 * (2 + 0xFFFF) + 2;

// Walks the record's bytes; whatever lies beyond the end reads as zero bytes, and the reader
// remembers that it went there.
class RecordReader
{
public:
    explicit RecordReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    quint16 word()
    {
        if (m_bytes.size() - m_pos < 2) {
            m_pos = m_bytes.size();
            m_cut = true;
            return 0;
        }
        const auto low = static_cast<quint8>(m_bytes[m_pos]);
        const auto high = static_cast<quint8>(m_bytes[m_pos + 1]);
        m_pos += 2;
        return static_cast<quint16>(low | (high << 8));
    }

    QString text()
    {
        const quint16 declared = word();
        const qsizetype count = std::min<qsizetype>(declared, m_bytes.size() - m_pos);
        m_cut = m_cut || count < declared;
        const std::string ansi(m_bytes.constData() + m_pos, static_cast<std::size_t>(count));
        m_pos += count;
        return QString::fromUtf8(Os::ansiToUtf8(ansi));
    }

    bool cut() const { return m_cut; }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
    bool m_cut = false;
};

} // namespace

PluginRecord pluginRecordFromBytes(const QByteArray& bytes)
{
    RecordReader reader(bytes);
    PluginRecord record;
    record.name = reader.text();
    record.folder = reader.text();
    record.flag = static_cast<qint16>(reader.word());
    record.cutBeforeFlag = reader.cut();
    record.extraText = reader.text();
    return record;
}

PluginRecord readPluginRecord(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        raiseError(ErrorNumber::FileNotFound);
    if (!file.open(QIODevice::ReadOnly))
        raiseError(ErrorNumber::PathFileAccessError);
    const QByteArray bytes = file.read(MaxRecordSize);
    if (file.error() != QFileDevice::NoError)
        raiseError(ErrorNumber::PathFileAccessError);
    file.close();
    return pluginRecordFromBytes(bytes);
}
