#pragma once

#include "browse_dialog.h"
#include "platform/services/word_list_loading.h"

#include <functional>

namespace tavilon {

// The open dialog: "Ok" counts the word list selected in the file list
// (on another thread), reports it by listChosen() and closes the dialog. When the count fails the
// user is told why and the dialog stays.
class OpenDialog : public BrowseDialog {
    Q_OBJECT
public:
    explicit OpenDialog(DesktopServices& services);

signals:
    void listChosen(const tavilon::CountedList& list);

protected:
    void onOkClicked() override;
};

} // namespace tavilon
