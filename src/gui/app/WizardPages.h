// What the wizard's handlers share about its pages.
#pragma once

#include "core/ErrorObject.h"

#include <QString>
#include <Qt>

#include <array>

namespace WizardPages {

inline constexpr qint16 LastPage = 3;
// Each component entry keeps its folder (with native separators) in this role, so that the run
// copies the folder the plugin named, whatever the entry's text holds.
inline constexpr int ComponentFolderRole = Qt::UserRole + 1;
inline constexpr char TagProperty[] = "Tag";
inline const QString NextCaption = QStringLiteral("&Next >>");
inline const QString DoItCaption = QStringLiteral("&Do It !");

// A member of one of the window's control arrays; an index outside it is error 9, as a page
// index read from a caption may be anything.
template <typename Control> Control* member(const std::array<Control*, 4>& controls, int index)
{
    if (index < 0 || index >= static_cast<int>(controls.size()))
        raiseError(ErrorNumber::SubscriptOutOfRange);
    return controls[static_cast<std::size_t>(index)];
}

} // namespace WizardPages
