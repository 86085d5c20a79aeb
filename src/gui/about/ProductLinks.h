// The product's own addresses and copyright line, shared by the window's texts, its links and
// the error dialog's bug-report mail. The addresses stay under the reserved .example domain
// until the product has real ones.
#pragma once

#include <QString>

namespace ProductLinks {

// Where bug reports and support questions go.
inline const QString BugReportAddress = QStringLiteral("bugs@zeb2000.example");
// The maker's contact address, shown on the About panel.
inline const QString ContactAddress = QStringLiteral("zeb@zeb2000.example");
// What the About panel's web-site label shows, and the page that it opens.
inline const QString WebSiteCaption = QStringLiteral("www.zeb2000.example");
inline const QString HomePage = QStringLiteral("http://www.zeb2000.example/");
// The upgrade page of this very version.
inline const QString UpgradePage =
    QStringLiteral("http://www.zeb2000.example/zeb/alpha/versions/20beta1.htm");

inline const QString Copyright = QStringLiteral("Copyright \u00A9 2000-2026\n"
                                                "The ZEB 2000 developers\n"
                                                "All rights reserved.");

} // namespace ProductLinks
