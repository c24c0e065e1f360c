#pragma once

#include "desktop_services.h"

#include <QList>
#include <QString>

namespace tavilon {

// Records what a user would be shown instead of showing it.
class FakeServices : public DesktopServices {
public:
    struct Message {
        Icon icon;
        QString text;
    };

    void showMessage(QWidget*, Icon icon, const QString& text) override { messages.append({icon, text}); }
    bool setClipboardText(const QString& text) override
    {
        if (!clipboardWorks)
            return false;
        clipboard = text;
        return true;
    }
    QList<DriveInfo> drives() override { return fakeDrives.isEmpty() ? DesktopServices::drives() : fakeDrives; }

    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.back().text; }

    QList<Message> messages;
    QString clipboard = QStringLiteral("(untouched)");
    bool clipboardWorks = true;
    QList<DriveInfo> fakeDrives;
};

} // namespace tavilon
