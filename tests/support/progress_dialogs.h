#pragma once

#include <QApplication>
#include <QProgressDialog>
#include <QWidget>

// The progress dialog on screen, or none.
inline QProgressDialog* visibleProgressDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}
