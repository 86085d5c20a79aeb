// What the wizard's handlers share about its pages.
#pragma once

#include <Qt>

namespace WizardPages {

// Each component entry keeps its folder (with native separators) in this role, so that the run
// copies the folder the plugin named, whatever the entry's text holds.
inline constexpr int ComponentFolderRole = Qt::UserRole + 1;
// The validate button's property that holds the message shown when its page refuses.
inline constexpr char TagProperty[] = "Tag";

} // namespace WizardPages
