// The window in German and Russian: every text translated, and every caption of a fixed-size
// control fitting it in the control's own font (the suite runs this at 100, 150 and 200 %).
#include "ScriptedRuntime.h"
#include "gui/app/WizardPages.h"
#include "gui/app/frmMain.h"
#include "gui/errors/frmErrorBox.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

// The caption of a label, button or frame; empty for other controls.
QString shown(QWidget* control)
{
    const bool captioned =
        qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control);
    return control->property(qobject_cast<QGroupBox*>(control) ? "title"
                             : captioned                       ? "text"
                                                               : "")
        .toString();
}

// Whether the caption lies within the room the control gives it, measured as it is drawn.
bool fits(QWidget* control)
{
    const QString text = shown(control);
    QRect room = control->contentsRect();
    if (auto* label = qobject_cast<QLabel*>(control))
        return room.contains(control->fontMetrics().boundingRect(
            room, int(label->alignment()) | Qt::TextWordWrap | Qt::TextShowMnemonic, text));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = text;
        room = button->style()->subElementRect(
            qobject_cast<QPushButton*>(button) ? QStyle::SE_PushButtonContents
            : qobject_cast<QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                               : QStyle::SE_RadioButtonContents,
            &option, button);
    }
    const QSize needed = control->fontMetrics().size(Qt::TextShowMnemonic, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// Where two controls a page can show at once answer the same access key, which key and page;
// the window's own buttons are shown with every page, the other direction's options never.
QString accessKeysClash(QWidget& window, bool backup)
{
    static const QStringList backupOnly = {"chkKeepHistory", "chkBackupWeekly"};
    QHash<QWidget*, QString> keysOfPage;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString name = control->objectName(), text = shown(control);
        if ((backup && name == "chkCheckBackup") || (!backup && backupOnly.contains(name)))
            continue;
        const qsizetype mark = text.indexOf(u'&');
        if (mark < 0 || mark + 1 == text.size() || text[mark + 1] == u'&')
            continue;
        QWidget* page = control;
        while (page && !dynamic_cast<WizardPage*>(page))
            page = page->parentWidget();
        keysOfPage[page] += text[mark + 1].toLower();
    }
    for (auto page = keysOfPage.cbegin(); page != keysOfPage.cend(); ++page) {
        const QString keys = page.value() + (page.key() ? keysOfPage.value(nullptr) : "");
        for (const QChar key : keys)
            if (keys.count(key) > 1)
                return QStringLiteral(": two controls on &%1 in %2")
                    .arg(key, page.key() ? shown(page.key()) : "the window");
    }
    return {};
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyTextTranslatedAndFitting_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << "de";
        QTest::newRow("Russian") << "ru";
    }
    void everyTextTranslatedAndFitting()
    {
        QFETCH(QString, language);
        // Nothing left to translate in the catalogue: lupdate adds each new text unfinished.
        QFile catalogue(QStringLiteral(ZEB_TRANSLATIONS_DIR "/zeb2000_%1.ts").arg(language));
        QVERIFY(catalogue.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&catalogue);
        QString source;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"source")
                source = xml.readElementText(xml.IncludeChildElements);
            else if (xml.isStartElement() && xml.name() == u"translation")
                QVERIFY2(xml.attributes().value("type").isEmpty() &&
                             !xml.readElementText(xml.IncludeChildElements).isEmpty(),
                         qPrintable(language + ": " + source));
        }

        // The window and the dialog in English, then in the language: the same controls.
        ScriptedRuntime runtime;
        frmMain englishWindow(runtime);
        frmErrorBox englishDialog(runtime);
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/i18n/zeb2000_%1.qm").arg(language)));
        QCoreApplication::installTranslator(&translator);
        frmMain window(runtime);
        frmErrorBox dialog(runtime);
        QCoreApplication::removeTranslator(&translator);
        const QList<QWidget*> english =
            englishWindow.findChildren<QWidget*>() + englishDialog.findChildren<QWidget*>();
        const QList<QWidget*> translated =
            window.findChildren<QWidget*>() + dialog.findChildren<QWidget*>();
        QCOMPARE(translated.size(), english.size());

        // Names, state holders and figures stay as they are.
        static const QStringList untranslated = {
            "lblBusy",       "lblFrameNumber",      "cmdInitialize",     "cmdValidate",
            "lblCopyright",  "lblEmailAddress",     "lblWebSiteAddress", "lblAboutFrameTitle",
            "lblLastBackup", "lblOverallPercentage"};
        for (qsizetype i = 0; i < translated.size(); ++i) {
            QWidget* control = translated[i];
            const QString name = control->objectName(), text = shown(control);
            if (text.isEmpty() || untranslated.contains(name))
                continue;
            const char* context = control->window()->metaObject()->className();
            QVERIFY2(text != shown(english[i]) ||
                         !translator.translate(context, qPrintable(text)).isNull(),
                     qPrintable(name + " untranslated: " + text));
            QVERIFY2(fits(control), qPrintable(name + " cut: " + text));
        }
        for (const bool backup : {true, false}) {
            QCOMPARE(accessKeysClash(englishWindow, backup), QString());
            QCOMPARE(accessKeysClash(window, backup), QString());
        }
        // The captions a run shows in the controls.
        for (const auto& [name, text] :
             {std::pair{"lblOverallProgress", "Checking the backup  ..."},
              {"lblOverallProgress", "One or more errors occured!"},
              {"lblOverallProgress", "Finished!"},
              {"cmdNext", "&Do It !"}}) {
            QWidget* control = window.findChild<QWidget*>(name);
            const QString caption = translator.translate("frmMain", text);
            QVERIFY(!caption.isEmpty());
            control->setProperty("text", caption);
            QVERIFY2(fits(control), qPrintable(QString(name) + " cut: " + caption));
        }
    }
};

QTEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
