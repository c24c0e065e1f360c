#pragma once

#include "browse_dialog.h"

namespace tavilon {

// The save dialog: "Ok" writes the main window's output to the folder shown
// under the name typed in the name box, and reports "saved".
class savefrm : public BrowseDialog {
    Q_OBJECT
public:
    explicit savefrm(Forms& forms);

    void cmdOK_Click() override;
    void cmdCancel_Click() override;
};

} // namespace tavilon
