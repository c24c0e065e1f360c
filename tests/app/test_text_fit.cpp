// Every text of every window stands whole in the part of its control that no
// other control covers: under the program's own font, under larger fonts a
// desktop theme sets once the windows are shown, and in every language the
// program ships.

#include "font_scale.h"
#include "line_widget.h"
#include "window_fixture.h"
#include "word_lists.h"

#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTranslator>

using namespace tavilon;

namespace {

// The text of `control` as drawn, in its own coordinates, and the area it
// must stand in; an empty text for a control that shows none.
struct Drawn {
    QString text;
    QRect rect;
    QRect area;
};

// The pixels `text` inks when drawn in `area` as `control` draws it.
QRect inked(const QWidget* control, const QRect& area, int flags, const QString& text)
{
    const QPoint margin(area.width() + 50, area.height() + 50);
    QImage image(area.size() + 2 * QSize(margin.x(), margin.y()), QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(control->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(control->logicalDpiY() / 0.0254));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(control->font());
    painter.drawText(QRect(margin, area.size()), flags, text);
    painter.end();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ink |= QRect(x, y, 1, 1);
    return ink.translated(area.topLeft() - margin);
}

Drawn drawnText(QWidget* control)
{
    const auto drawn = [&](const QString& text, QRect area, int flags) {
        return Drawn{text, inked(control, area, flags, text), area};
    };
    if (auto* label = qobject_cast<QLabel*>(control))
        return drawn(label->text(), label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap);
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return drawn(button->text(), area, Qt::AlignCenter | Qt::TextWordWrap);
    }
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        const QRect area = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box).adjusted(2, 0, -2, 0);
        return drawn(box->text(), area, Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect area = frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
        return drawn(frame->title(), area, Qt::AlignCenter);
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect area = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        return drawn(combo->currentText(), area, Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

// Whether `sibling` hides what lies behind it: lines and see-through labels do not.
bool covers(const QWidget* sibling)
{
    const auto* label = qobject_cast<const QLabel*>(sibling);
    return sibling->isVisible() && !qobject_cast<const LineWidget*>(sibling) && (!label || label->autoFillBackground());
}

// Every text of `window` that is cut: by its own area, by a control in front
// of it (the later siblings, and a frame's own controls over its title) or by
// its container's edge. A list row must fit its list's width.
QStringList cutTexts(QWidget* window)
{
    QStringList cut;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window))
            continue;
        if (auto* list = qobject_cast<QListWidget*>(control)) {
            for (int row = 0; row < list->count(); ++row) {
                const QRect rect = list->visualItemRect(list->item(row));
                if (list->fontMetrics().horizontalAdvance(list->item(row)->text()) > list->viewport()->width()
                    || rect.height() < list->fontMetrics().height())
                    cut << control->objectName() + ": " + list->item(row)->text();
            }
        }
        const Drawn drawn = drawnText(control);
        if (drawn.text.isEmpty())
            continue;
        QRegion visible = QRegion(drawn.area) & control->rect()
            & control->parentWidget()->rect().translated(-control->pos());
        const QObjectList siblings = control->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(control) + 1; i < siblings.size(); ++i)
            if (auto* sibling = qobject_cast<QWidget*>(siblings[i]); sibling && covers(sibling))
                visible -= sibling->geometry().translated(-control->pos());
        if (qobject_cast<QGroupBox*>(control))
            for (QWidget* inside : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (covers(inside))
                    visible -= inside->geometry();
        if ((visible & drawn.rect) != QRegion(drawn.rect))
            cut << control->objectName() + ": " + drawn.text + QString(" %1,%2 %3x%4 in %5,%6 %7x%8").arg(drawn.rect.x()).arg(drawn.rect.y()).arg(drawn.rect.width()).arg(drawn.rect.height()).arg(drawn.area.x()).arg(drawn.area.y()).arg(drawn.area.width()).arg(drawn.area.height());
    }
    return cut;
}

// English, and every translation the program carries.
QStringList shippedLanguages()
{
    QStringList languages{QStringLiteral("en")};
    for (QDirIterator it(QStringLiteral(":/i18n"), {QStringLiteral("tavilon_*.qm")}); it.hasNext();)
        languages << it.next();
    return languages;
}

} // namespace

class TestTextFit : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_{QDir::tempPath() + QStringLiteral("/fitXXXXXX")};

private slots:
    void initTestCase()
    {
        QDir::setCurrent(tmp_.path());
        writeFile(tmp_.filePath("w.txt"), numberedWords("w", 123456));
    }

    void textsStayWhole_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("points"); // 0: the program's own font
        QTest::addColumn<QString>("window");
        for (const QString& language : shippedLanguages())
            for (const int points : {0, 10, 12, 16})
                for (const char* window : {"Form1", "frmDialog", "savefrm", "Form2"})
                    QTest::addRow("%s %dpt %s", qPrintable(QFileInfo(language).baseName()), points, window)
                        << language << points << QString::fromLatin1(window);
    }

    void textsStayWhole()
    {
        QFETCH(QString, language);
        QFETCH(int, points);
        QFETCH(QString, window);
        QTranslator translator;
        if (language != "en")
            QVERIFY(translator.load(language) && QCoreApplication::installTranslator(&translator));
        WindowFixture f;
        QWidget* shown = window == "Form1" ? &f.mainWithList(tmp_.filePath("w.txt")) : f.show(window);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QSize ownSize = shown->size();
        if (points > 0)
            QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points)); // as a desktop theme does
        QTest::qWait(100);
        const QStringList cut = cutTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(" | "))));
        // The program's own font changes nothing: the windows keep their sizes.
        if (points == 0) {
            QCOMPARE(FontScale::factorOf(shown->font(), shown), QSizeF(1, 1));
            QCOMPARE(shown->size(), ownSize);
        }
    }
};

QTEST_MAIN(TestTextFit)
#include "test_text_fit.moc"
