#pragma once

#include "browse_dialog.h"

namespace tavilon {

// The open dialog: "Ok" counts the word list selected in the file list and
// shows its path and count in the main window.
class OpenDialog : public BrowseDialog {
    Q_OBJECT
public:
    explicit OpenDialog(WindowRegistry& windows);

    void onOkClicked() override;
    void onCancelClicked() override;
};

} // namespace tavilon
