// The text-to-number conversion on any text: it answers a number or raises overflow (6) or type
// mismatch (13), blanks around the text change nothing, and every 16-bit number reads back from
// its decimal, "&H" and "&O" forms; a half rounds to the even neighbour.
#include "check.h"
#include "core/ErrorObject.h"
#include "core/NumberConversion.h"

#include <QString>

#include <cstdint>

namespace {

// The number, or minus the error number.
int converted(const QString& text)
{
    try {
        return toInteger16(text);
    } catch (const RuntimeError& failure) {
        const qint32 error = failure.error().number;
        check(error == ErrorNumber::Overflow || error == ErrorNumber::TypeMismatch);
        return -100000 - error;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    check(converted(QStringLiteral("  ") + text + QStringLiteral(" \t")) == converted(text));

    if (size < 2)
        return 0;
    const auto bits = static_cast<quint16>(data[0] | (data[1] << 8));
    const auto number = static_cast<qint16>(bits);
    check(converted(QString::number(number)) == number);
    check(converted(QStringLiteral("&H%1").arg(bits, 4, 16, QLatin1Char('0'))) == number);
    check(converted(QStringLiteral("&o%1").arg(bits, 0, 8)) == number);
    // "n.5" lies between n and the next number away from zero; the even one of the two wins.
    const int away = number < 0 ? number - 1 : number + 1;
    const int even = number % 2 == 0 ? number : away;
    const int expected = even < -32768 || even > 32767 ? -100000 - ErrorNumber::Overflow : even;
    check(converted(QString::number(number) + QStringLiteral(".5")) == expected);
    return 0;
}
