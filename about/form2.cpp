#include "form2.h"

#include "form2_design.h"
#include "twips.h"

#include <QFontDatabase>
#include <QLabel>

namespace tavilon {

QString Form2::headingCaption(const QString& address, int blanks)
{
    const qsizetype firstDot = address.indexOf(QLatin1Char('.'));
    const qsizetype lastDot = address.lastIndexOf(QLatin1Char('.'));
    return address.left(firstDot + 1) + QString(blanks, QLatin1Char(' ')) + address.mid(lastDot);
}

Form2::Form2()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Brenvask"));
    // A tool window: a narrow title bar with the close box only and no
    // taskbar entry; it still counts for the end of the program.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, true);
    resize(px(Form2ClientWidth), px(Form2ClientHeight));

    controls_.build(this, Form2Design);
    auto* heading = controls_.get<QLabel>(QStringLiteral("Label1"));
    heading->setText(headingCaption(QString::fromLatin1(MakerAddress), HeadingBlanks));
    for (QLabel* label : findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText); // keeps every blank

    auto* name = controls_.get<QLabel>(QStringLiteral("Label2"));
    QFont large(QStringLiteral("MS Sans Serif"));
    large.setStyleHint(QFont::SansSerif); // a replacement face where it is missing
    large.setPointSize(18);
    large.setWeight(QFont::Normal);
    name->setFont(large);
}

} // namespace tavilon
