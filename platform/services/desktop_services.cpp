#include "desktop_services.h"

#include "nested_loop.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

namespace tavilon {

QString applicationTitle()
{
    return QStringLiteral("Brenvask Tavilon");
}

void QtDesktopServices::showMessage(QWidget* over, Icon icon, const QString& text)
{
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning
                        : icon == Icon::Information ? QMessageBox::Information
                                                    : QMessageBox::NoIcon,
                    applicationTitle(), text, QMessageBox::Ok, over);
    box.setWindowModality(Qt::ApplicationModal);
    const NestedLoop nested;
    box.exec();
}

bool QtDesktopServices::setClipboardText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    // The clipboard gives no result of its own: read the text back.
    return clipboard->text(QClipboard::Clipboard) == text;
}

} // namespace tavilon
