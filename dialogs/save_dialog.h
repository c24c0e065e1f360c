#pragma once

#include "browse_dialog.h"

namespace tavilon {

// The save dialog: "Ok" writes the main window's output to the folder shown
// under the name typed in the name box, and reports "saved".
class SaveDialog : public BrowseDialog {
    Q_OBJECT
public:
    explicit SaveDialog(WindowRegistry& windows);

    void onOkClicked() override;
    void onCancelClicked() override;
};

} // namespace tavilon
