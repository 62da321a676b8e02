#pragma once

class QCoreApplication;

namespace vornel {

// Installs Qt's own Japanese translation, so the texts Qt draws itself (the folder and file
// dialogs, standard buttons, the context menu of a text box) match the program's Japanese
// whatever the user's locale. Returns false when the translation is not installed; Qt's
// English texts then stay.
bool installQtJapanese(QCoreApplication& app);

}  // namespace vornel
