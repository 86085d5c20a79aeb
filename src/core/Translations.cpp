#include "core/Translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTranslator>

namespace {

QString cataloguePath(const QString& catalogue, const QString& language)
{
    return QStringLiteral(":/i18n/%1_%2.qm").arg(catalogue, language);
}

// The first of the user's languages that a catalogue speaks, as the file names spell it
// ("de_DE", "ru"); empty for English.
QString translationLanguage(const QStringList& catalogues, const QStringList& uiLanguages)
{
    for (QString language : uiLanguages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        // "de_AT" finds a catalogue "de_AT", else "de".
        for (;;) {
            if (language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ||
                language == QLatin1String("C"))
                return {};
            for (const QString& catalogue : catalogues)
                if (QFile::exists(cataloguePath(catalogue, language)))
                    return language;
            const qsizetype last = language.lastIndexOf(QLatin1Char('_'));
            if (last <= 0)
                break;
            language.truncate(last);
        }
    }
    return {};
}

} // namespace

void installTranslations(const QStringList& catalogues)
{
    const QString language = translationLanguage(catalogues, QLocale::system().uiLanguages());
    if (language.isEmpty())
        return;
    for (const QString& catalogue : catalogues) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(cataloguePath(catalogue, language)))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}
