#include "core/NumberConversion.h"

#include "core/ErrorObject.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

// "&HFFFF" is -1, as a 16-bit literal; wider ones are 32-bit.
double parseRadixLiteral(const QString& digits, int base)
{
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, base);
    if (!ok || digits.isEmpty() || value > 0xFFFFFFFFull)
        raiseError(ErrorNumber::TypeMismatch);
    const bool fitsSixteenBits = base == 16 ? digits.size() <= 4 : value <= 0xFFFF;
    if (fitsSixteenBits)
        return static_cast<qint16>(static_cast<quint16>(value));
    return static_cast<qint32>(static_cast<quint32>(value));
}

double parseNumber(const QString& trimmed)
{
    if (trimmed.startsWith(QLatin1Char('&')) && trimmed.size() > 1) {
        const QChar radix = trimmed.at(1).toUpper();
        if (radix == QLatin1Char('H'))
            return parseRadixLiteral(trimmed.mid(2), 16);
        if (radix == QLatin1Char('O'))
            return parseRadixLiteral(trimmed.mid(2), 8);
    }
    // Only the plain decimal forms: QString::toDouble alone would also take "inf" and "nan".
    for (const QChar c : trimmed)
        if (!c.isDigit() && !QStringLiteral("+-.eE").contains(c))
            raiseError(ErrorNumber::TypeMismatch);
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok)
        raiseError(ErrorNumber::TypeMismatch);
    return value;
}

} // namespace

qint16 toInteger16(const QString& text)
{
    const double value = parseNumber(text.trimmed());
    // nearbyint rounds in the current mode, which is to nearest with halves to even.
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        raiseError(ErrorNumber::Overflow);
    return static_cast<qint16>(rounded);
}
