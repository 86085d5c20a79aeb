// The one sink of unexpected failures: the details line goes into the error dialog and onto the
// clipboard, and the dialog decides whether the program goes on.
#include "gui/app/frmMain.h"

#include "gui/errors/frmErrorBox.h"
#include "gui/runtime/RuntimeServices.h"

#include <QPlainTextEdit>

void frmMain::HandleErrorsGlobally(const ErrorObject& errErrorObject,
                                   const QString& strSubProcedureName)
{
    if (!m_errorBox)
        m_errorBox = std::make_unique<frmErrorBox>(m_services);
    QPlainTextEdit* details = m_errorBox->detailsBox();

    details->setPlainText(QStringLiteral("Error ") + QString::number(errErrorObject.number) +
                          QStringLiteral(": '") + errErrorObject.description +
                          QStringLiteral("', Source: '") + errErrorObject.source +
                          QStringLiteral("', Proc: '") + strSubProcedureName + QStringLiteral("'"));
    // The clipboard gets what the box holds, so that both always tell the same.
    m_services.setClipboardText(details->toPlainText());
    m_services.showModal(*m_errorBox);
}
