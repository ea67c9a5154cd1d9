#pragma once

#include "rename/renaming.h"

#include <QDialog>

namespace pilotrame::gui {

class RenamePreviewModel;

// "Essai du renommage": every listed file with the name the renaming would give it, and where it
// would stop, the file it stops at chosen in the list. Nothing is renamed. Opened for one modal
// use.
class RenamePreviewWindow : public QDialog {
    Q_OBJECT

public:
    explicit RenamePreviewWindow(const RenamePreview& preview, QWidget* parent = nullptr);

    // "Copier la liste": the old and new names as text, one file per line, on the clipboard.
    void copyList() const;

private:
    RenamePreviewModel* m_names = nullptr; // holds the preview
};

} // namespace pilotrame::gui
