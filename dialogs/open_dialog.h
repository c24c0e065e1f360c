#pragma once

#include "browse_dialog.h"

namespace tavilon {

// The open dialog: "Ok" counts the word list selected in the file list and
// shows its path and count in the main window.
class frmDialog : public BrowseDialog {
    Q_OBJECT
public:
    explicit frmDialog(Forms& forms);

    void cmdOK_Click() override;
    void cmdCancel_Click() override;
};

} // namespace tavilon
