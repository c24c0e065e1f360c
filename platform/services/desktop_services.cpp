#include "desktop_services.h"

#include "platform/tables/screen_fit.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

namespace tavilon {

QString applicationTitle()
{
    return QStringLiteral("Brenvask Tavilon");
}

void QtDesktopServices::showMessage(QWidget* over, Icon icon, const QString& text, std::function<void()> then)
{
    auto* box = new QMessageBox(icon == Icon::Warning ? QMessageBox::Warning
                                    : icon == Icon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon,
                                applicationTitle(), text, QMessageBox::Ok, over); // deletes itself once dismissed
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    ScreenFit::keep(box);
    if (then)
        QObject::connect(box, &QDialog::finished, box, [then = std::move(then)] { then(); });
    box->show();
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
