// The ICQ users (UINs) registered on a side: one file "<UIN>.uin" each in its "UIN" folder.
#pragma once

#include <QString>
#include <QStringList>

// The UINs below sideFolder (which ends in a separator), in name order.
QStringList uinsOnSide(const QString& sideFolder);
