// A text for people, kept as its English source and arguments, so that it can be shown in the
// user's language and still be written in English where programs read it (--json, the records).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class Text
{
public:
    Text() = default;
    // A source text of a translation context, both static. lupdate reads Text("Context", "...")
    // as QT_TRANSLATE_NOOP (the build gives it that alias).
    Text(const char* context, const char* source) : m_context(context), m_source(source) {}
    // Words that are the same in every language: a path, the system's own message.
    static Text verbatim(const QString& words);

    // The source's lowest-numbered %n replaced by the argument, as QString::arg does.
    Text arg(const Text& argument) const;
    Text arg(const QString& argument) const { return arg(verbatim(argument)); }
    Text arg(qint64 number) const { return arg(QString::number(number)); }
    // The two texts one after the other.
    Text operator+(const Text& next) const;

    bool isEmpty() const { return m_source == nullptr && m_verbatim.isEmpty(); }
    QString english() const { return render(false); }
    // In the language of the installed translators.
    QString toString() const { return render(true); }

    // A list of texts: in English, in the user's language, or as one text with `separator`
    // between them.
    static QStringList english(const QList<Text>& texts);
    static QStringList toStrings(const QList<Text>& texts);
    static Text joined(const QList<Text>& texts, const QString& separator);

private:
    QString render(bool translated) const;

    const char* m_context = nullptr;
    const char* m_source = nullptr;
    QString m_verbatim;
    std::vector<Text> m_arguments;
};
