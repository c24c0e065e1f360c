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
    // Why Ok must wait now, or an empty text; Ok then says so and does nothing.
    void setWaitReason(std::function<QString()> reason) { waitReason_ = std::move(reason); }

protected:
    void onOkClicked() override;

private:
    OutputSource output_;
    std::function<QString()> waitReason_;
};

} // namespace tavilon
