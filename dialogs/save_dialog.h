#pragma once

#include "browse_dialog.h"

#include <functional>
#include <optional>

namespace tavilon {

// The save dialog: "Ok" writes the output to the folder shown under the name
// in the name box, reports "saved" and closes the dialog.
class SaveDialog : public BrowseDialog {
    Q_OBJECT
public:
    // The text to save, with CR LF line ends; nothing when there is no
    // output any more.
    using OutputSource = std::function<std::optional<QString>()>;

    SaveDialog(DesktopServices& services, OutputSource output);

protected:
    void onOkClicked() override;

private:
    OutputSource output_;
};

} // namespace tavilon
