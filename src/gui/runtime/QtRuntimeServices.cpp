#include "gui/runtime/QtRuntimeServices.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

QMessageBox::Icon toQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::OkOnly:
        break;
    }
    return QMessageBox::Ok;
}

MsgAnswer fromQtAnswer(int answer)
{
    switch (answer) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

} // namespace

MsgAnswer QtRuntimeServices::msgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                                    const QString& title)
{
    QMessageBox box(toQtIcon(icon), title, prompt, toQtButtons(buttons),
                    QApplication::activeWindow());
    if (buttons == MsgButtons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    // A short text makes a narrow box whose title the window manager cuts ("ZE...00"): the box
    // is made wide enough for its title (in a title bar's font, often bold and larger) and the
    // title bar's icon and buttons.
    const QString shownTitle = title.isEmpty() ? QCoreApplication::applicationName() : title;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleWidth = box.fontMetrics().horizontalAdvance(shownTitle) * 3 / 2 + 120;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return fromQtAnswer(box.exec());
}

QString QtRuntimeServices::inputBox(const QString& prompt)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), QString(), prompt,
                                               QLineEdit::Normal, QString(), &accepted);
    return accepted ? text : QString();
}

QString QtRuntimeServices::browseForFolder(const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), QString(), startFolder);
}

void QtRuntimeServices::showModal(QDialog& dialog)
{
    dialog.exec();
}

void QtRuntimeServices::doEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtRuntimeServices::keepAlive()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtRuntimeServices::setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void QtRuntimeServices::beep()
{
    QApplication::beep();
}

void QtRuntimeServices::end()
{
    // The immediate end: no unload processing, no destructors of the window or its dialogs.
    std::fflush(nullptr);
    std::_Exit(0);
}

void QtRuntimeServices::shellOpen(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

QString QtRuntimeServices::programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}
