#include "core/Text.h"

#include <QCoreApplication>

#include <algorithm>

Text Text::verbatim(const QString& words)
{
    Text text;
    text.m_verbatim = words;
    return text;
}

Text Text::arg(const Text& argument) const
{
    Text text = *this;
    text.m_arguments.push_back(argument);
    return text;
}

Text Text::operator+(const Text& next) const
{
    return Text(nullptr, "%1%2").arg(*this).arg(next);
}

QStringList Text::english(const QList<Text>& texts)
{
    QStringList out;
    for (const Text& text : texts)
        out << text.english();
    return out;
}

QStringList Text::toStrings(const QList<Text>& texts)
{
    QStringList out;
    for (const Text& text : texts)
        out << text.toString();
    return out;
}

Text Text::joined(const QList<Text>& texts, const QString& separator)
{
    Text out;
    for (qsizetype at = 0; at < texts.size(); ++at)
        out = at == 0 ? texts[at] : out + verbatim(separator) + texts[at];
    return out;
}

QString Text::render(bool translated) const
{
    if (m_source == nullptr)
        return m_verbatim;
    const QString pattern = translated && m_context != nullptr
                                ? QCoreApplication::translate(m_context, m_source)
                                : QString::fromUtf8(m_source);
    // All arguments in one pass, so that an argument holding "%1" (a path may) stays as it is.
    // The i-th argument takes the i-th lowest number among the pattern's markers.
    std::vector<int> numbers;
    for (qsizetype at = 0; at + 1 < pattern.size(); ++at)
        if (pattern[at] == u'%' && pattern[at + 1].isDigit())
            numbers.push_back(pattern[at + 1].digitValue());
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QString out;
    for (qsizetype at = 0; at < pattern.size(); ++at) {
        const auto found =
            at + 1 < pattern.size() && pattern[at] == u'%'
                ? std::find(numbers.begin(), numbers.end(), pattern[at + 1].digitValue())
                : numbers.end();
        const std::size_t index = std::size_t(found - numbers.begin());
        if (found == numbers.end() || index >= m_arguments.size()) {
            out += pattern[at];
            continue;
        }
        out += m_arguments[index].render(translated);
        ++at;
    }
    return out;
}
