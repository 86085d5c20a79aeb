#include "core/SizeFormat.h"

#include <QCoreApplication>

#include <array>

QString formatSize(qint64 bytes)
{
    if (bytes < 1024)
        return QCoreApplication::translate("Size", "%1 bytes").arg(bytes);
    static const std::array<QString, 4> units = {QStringLiteral("KiB"), QStringLiteral("MiB"),
                                                 QStringLiteral("GiB"), QStringLiteral("TiB")};
    double value = double(bytes) / 1024.0;
    std::size_t unit = 0;
    // 1023.96 KiB would print as "1024.0 KiB": the next unit takes over where the rounded
    // number would reach 1024.
    while (value >= 1023.95 && unit + 1 < units.size()) {
        value /= 1024.0;
        ++unit;
    }
    return QString::number(value, 'f', 1) + QLatin1Char(' ') + units[unit];
}
