#pragma once

#include "form_slot.h"

namespace tavilon {

class DesktopServices;
class Form1;
class Form2;
class frmDialog;
class savefrm;

// The four windows of the program, each at most once, and the desktop
// services they use. Code in one window reaches another through here.
class Forms {
public:
    explicit Forms(DesktopServices& services) : services_(services) {}
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    FormSlot<Form1>& form1() { return form1_; }
    FormSlot<frmDialog>& openDialog() { return frmDialog_; }
    FormSlot<savefrm>& saveDialog() { return savefrm_; }
    FormSlot<Form2>& form2() { return form2_; }
    DesktopServices& services() { return services_; }

private:
    DesktopServices& services_;
    FormSlot<Form1> form1_;
    FormSlot<frmDialog> frmDialog_;
    FormSlot<savefrm> savefrm_;
    FormSlot<Form2> form2_;
};

} // namespace tavilon
