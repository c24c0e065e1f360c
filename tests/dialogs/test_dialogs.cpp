#include "browse_dialog_design.h"
#include "dir_list_box.h"
#include "drive_list_box.h"
#include "file_list_box.h"
#include "form1.h"
#include "frm_dialog.h"
#include "output_box.h"
#include "result_file.h"
#include "savefrm.h"
#include "twips.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

void select(FileListBox* list, const QString& name)
{
    const auto items = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name));
    list->setCurrentItem(items.front());
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString root_;
    QString previousCurrent_;

    QString at(const QString& name) const { return root_ + "/" + name; }

private slots:
    void initTestCase()
    {
        root_ = QDir(tmp_.path()).canonicalPath();
        QDir(root_).mkpath("lists/sub");
        QDir(root_).mkpath("out");
        QDir(root_).mkpath(".hidden-folder");
        writeFile(at("lists/five.txt"), "a\nb\nc\nd\ne\n");
        writeFile(at("lists/empty.txt"), "");
        writeFile(at("lists/binary.dat"), QByteArray("x\0y", 3));
        writeFile(at("lists/item10.txt"), "x\n");
        writeFile(at("lists/Item2.txt"), "x\n");
        writeFile(at("lists/.hidden.txt"), "x\n");
        previousCurrent_ = QDir::currentPath();
    }
    void init() { QDir::setCurrent(at("lists")); }
    void cleanupTestCase() { QDir::setCurrent(previousCurrent_); }

    void bothDialogsStartFromTheDesign_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("open") << false;
        QTest::newRow("save") << true;
    }
    void bothDialogsStartFromTheDesign()
    {
        QFETCH(bool, save);
        WindowFixture f;
        f.forms->form1().show();
        BrowseDialog& dialog = save ? static_cast<BrowseDialog&>(f.forms->saveDialog().show())
                                    : static_cast<BrowseDialog&>(f.forms->openDialog().show());
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Load"));
        QCOMPARE(dialog.findChild<QLabel*>("lblDialog")->text(), save ? QStringLiteral("File name:") : QStringLiteral(" Open file:"));
        QCOMPARE(dialog.size(), QSize(320, save ? 233 : 231));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(dialog.palette().color(QPalette::Window), QColor(89, 117, 191));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.txtFilename()));
        for (const ControlSpec& row : browseDialogDesign(""))
            QCOMPARE(dialog.findChild<QWidget*>(row.name)->geometry(), pxRect(row.left, row.top, row.width, row.height));
        QVERIFY(!dialog.cmdOK()->isDefault() && !dialog.cmdCancel()->isDefault());
        // The name box lies in front of the label it overlaps.
        const QObjectList order = dialog.children();
        QVERIFY(order.indexOf(dialog.txtFilename()) > order.indexOf(dialog.findChild<QLabel*>("lblDialog")));
        QCOMPARE(dialog.dirDialog()->path(), at("lists"));
        QCOMPARE(dialog.filDialog()->path(), at("lists"));
        QStringList files;
        for (int i = 0; i < dialog.filDialog()->count(); ++i)
            files << dialog.filDialog()->item(i)->text();
        QCOMPARE(files, (QStringList{"binary.dat", "empty.txt", "five.txt", "Item2.txt", "item10.txt"}));
        QVERIFY(dialog.filDialog()->fileName().isEmpty());
        // Enter in the name box confirms nothing.
        QTest::keyClicks(dialog.txtFilename(), "x");
        QTest::keyClick(dialog.txtFilename(), Qt::Key_Return);
        QTest::keyClick(dialog.txtFilename(), Qt::Key_Escape);
        QVERIFY(save ? f.forms->saveDialog().isLoaded() : f.forms->openDialog().isLoaded());
        QVERIFY(f.services.messages.isEmpty());
    }

    void browsingChainAndCaption()
    {
        WindowFixture f;
        f.services.fakeDrives = {{"/", ""}, {at("out"), "OUT"}, {at("missing"), ""}};
        frmDialog& dialog = f.forms->openDialog().show();
        QCOMPARE(dialog.drvDialog()->count(), 3);
        QCOMPARE(dialog.drvDialog()->currentIndex(), 0);
        QVERIFY(dialog.drvDialog()->itemText(1).contains("OUT"));

        // A subfolder, opened as a double click does.
        const QString error = dialog.dirDialog()->openFolder(at("lists/sub"));
        QVERIFY(error.isEmpty());
        QCOMPARE(dialog.filDialog()->path(), at("lists/sub"));
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("lists/sub") + "]");
        QCOMPARE(dialog.filDialog()->count(), 0);

        // Another drive: its root, since the current folder is not on it.
        dialog.drvDialog()->setCurrentIndex(1);
        QCOMPARE(dialog.dirDialog()->path(), at("out"));
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("out") + "]");

        // Back to "/": the drive's current folder is the process's.
        dialog.drvDialog()->setCurrentIndex(0);
        QCOMPARE(dialog.dirDialog()->path(), at("lists"));

        // A drive that is not ready: a message, and the lists stay.
        dialog.drvDialog()->setCurrentIndex(2);
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY(f.services.lastMessage().contains("cannot be opened"));
        QCOMPARE(dialog.dirDialog()->path(), at("lists"));
        QCOMPARE(dialog.filDialog()->path(), at("lists"));
        QCOMPARE(dialog.drvDialog()->currentIndex(), 0);
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("lists") + "]");

        // The directory list shows the chain down to the folder, then its subfolders.
        QStringList shown;
        for (int i = 0; i < dialog.dirDialog()->count(); ++i)
            shown << dialog.dirDialog()->item(i)->text().trimmed();
        QCOMPARE(shown.first(), QStringLiteral("/"));
        QCOMPARE(shown.last(), QStringLiteral("sub"));
        QVERIFY(!shown.contains(".hidden-folder"));
    }

    void aFolderThatCannotBeReadIsReported()
    {
        WindowFixture f;
        frmDialog& dialog = f.forms->openDialog().show();
        QVERIFY(!dialog.dirDialog()->openFolder(at("lists/five.txt")).isEmpty());
        QVERIFY(!dialog.dirDialog()->openFolder(at("gone")).isEmpty());
        QCOMPARE(dialog.dirDialog()->path(), at("lists"));
    }

    void clickingAFileCopiesItsBareName()
    {
        WindowFixture f;
        frmDialog& dialog = f.forms->openDialog().show();
        select(dialog.filDialog(), "five.txt");
        QCOMPARE(dialog.txtFilename()->text(), QStringLiteral("five.txt"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Load")); // the caption never shows a file
    }

    void openOkCountsTheSelectedEntry()
    {
        WindowFixture f;
        Form1& form = f.forms->form1().show();
        frmDialog& dialog = f.forms->openDialog().show();
        select(dialog.filDialog(), "five.txt");
        dialog.txtFilename()->setText("empty.txt"); // the name box is not read
        dialog.cmdOK_Click();
        QCOMPARE(form.Text3()->text(), at("lists/five.txt"));
        QCOMPARE(form.Text2()->text(), QStringLiteral("5"));
        QVERIFY(form.Command4()->isEnabled());
        QVERIFY(!f.forms->openDialog().isLoaded());
        WindowFixture::flushDeletes();

        // A fresh dialog every time.
        frmDialog& again = f.forms->openDialog().show();
        QCOMPARE(again.windowTitle(), QStringLiteral("Load"));
        QVERIFY(again.txtFilename()->text().isEmpty());
        select(again.filDialog(), "empty.txt");
        again.cmdOK_Click();
        QCOMPARE(form.Text2()->text(), QString());
        QVERIFY(form.Command4()->isEnabled());
        QVERIFY(f.services.messages.isEmpty());
    }

    void openFailuresChangeNothing_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("says");
        QTest::newRow("nothing selected") << "" << "Select a word list";
        QTest::newRow("file gone since listed") << "gone.txt" << "gone.txt";
    }
    void openFailuresChangeNothing()
    {
        QFETCH(QString, entry);
        QFETCH(QString, says);
        WindowFixture f;
        Form1& form = f.forms->form1().show();
        form.showCountedList("/earlier/list.txt", "7");
        writeFile(at("lists/gone.txt"), "x\n");
        frmDialog& dialog = f.forms->openDialog().show();
        QFile::remove(at("lists/gone.txt"));
        if (!entry.isEmpty())
            select(dialog.filDialog(), entry);
        dialog.cmdOK_Click();
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.Text3()->text(), QStringLiteral("/earlier/list.txt"));
        QCOMPARE(form.Text2()->text(), QStringLiteral("7"));
        QVERIFY(f.forms->openDialog().isLoaded());
    }

    void cancelAndCloseBoxChangeNothing()
    {
        WindowFixture f;
        Form1& form = f.forms->form1().show();
        frmDialog& dialog = f.forms->openDialog().show();
        select(dialog.filDialog(), "five.txt");
        dialog.cmdCancel()->click();
        QVERIFY(!f.forms->openDialog().isLoaded());
        WindowFixture::flushDeletes();
        frmDialog& again = f.forms->openDialog().show();
        select(again.filDialog(), "five.txt");
        again.close();
        QVERIFY(!f.forms->openDialog().isLoaded());
        QVERIFY(form.Text3()->text().isEmpty());
        QVERIFY(form.Text2()->text().isEmpty());
        QVERIFY(!form.Command4()->isEnabled());
    }

    void okAfterTheMainWindowClosedOpensAFreshOne()
    {
        WindowFixture f;
        f.forms->form1().show().close();
        WindowFixture::flushDeletes();
        frmDialog& dialog = f.forms->openDialog().show();
        select(dialog.filDialog(), "five.txt");
        dialog.cmdOK_Click();
        Form1* form = f.forms->form1().get();
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->Text2()->text(), QStringLiteral("5"));
    }

    void chosenPathAtARootHoldsTwoSeparators()
    {
#ifdef Q_OS_UNIX
        // Opened under that doubled form, it is the file in the root.
        const QString rootFile = "/tavilon-root-test-" + QString::number(::getpid()) + ".txt";
        QFile probe(rootFile);
        if (!probe.open(QIODevice::WriteOnly))
            QSKIP("the root folder is not writable here");
        probe.write("one\ntwo\n");
        probe.close();
        WindowFixture f;
        Form1& form = f.forms->form1().show();
        frmDialog& dialog = f.forms->openDialog().show();
        QVERIFY(dialog.dirDialog()->openFolder("/").isEmpty());
        QCOMPARE(dialog.chosenPath("words.txt"), QStringLiteral("//words.txt"));
        select(dialog.filDialog(), rootFile.mid(1));
        dialog.cmdOK_Click();
        QFile::remove(rootFile);
        QCOMPARE(form.Text3()->text(), "/" + rootFile);
        QCOMPARE(form.Text2()->text(), QStringLiteral("2"));
#endif
    }

    void droppingAFileLoadsIt()
    {
        WindowFixture f;
        Form1& form = f.forms->form1().show();
        auto drop = [&](const QList<QUrl>& urls) {
            QMimeData data;
            data.setUrls(urls);
            // Over the output box, which would otherwise take the name as text.
            QWidget* target = form.Text1()->viewport();
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        drop({QUrl::fromLocalFile(at("lists/five.txt"))});
        QVERIFY2(f.services.messages.isEmpty(), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.Text2()->text(), QStringLiteral("5"));
        drop({QUrl::fromLocalFile(at("lists/binary.dat"))});
        QVERIFY(f.services.lastMessage().contains("binary.dat"));
        QCOMPARE(form.Text3()->text(), at("lists/five.txt"));
        drop({QUrl::fromLocalFile(at("lists/five.txt")), QUrl::fromLocalFile(at("lists/empty.txt"))});
        QCOMPARE(form.Text3()->text(), at("lists/five.txt")); // two files: ignored
    }

    void savedFileBytes_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty output") << "" << QByteArray("\r\n");
        QTest::newRow("two picks") << "alpha\r\nbeta\r\n" << QByteArray("alpha\r\nbeta\r\n\r\n");
        QTest::newRow("typed text, UTF-8") << QString::fromUtf8("grüß") << QByteArray("gr\xC3\xBC\xC3\x9F\r\n");
    }
    void savedFileBytes()
    {
        QFETCH(QString, output);
        QFETCH(QByteArray, bytes);
        WindowFixture f;
        Form1& form = f.forms->form1().show();
        form.Text1()->setText(output);
        savefrm& dialog = f.forms->saveDialog().show();
        QVERIFY(dialog.dirDialog()->openFolder(at("out")).isEmpty());
        dialog.txtFilename()->setText("result");
        dialog.cmdOK_Click();
        QCOMPARE(readAll(at("out/result")), bytes); // no extension added
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].text, QStringLiteral("saved"));
        QCOMPARE(f.services.messages[0].icon, DesktopServices::Icon::None);
        QVERIFY(!f.forms->saveDialog().isLoaded());
        QCOMPARE(form.Text1()->text(), output);
        QFile::remove(at("out/result"));
    }

    void savingReplacesWithoutAsking()
    {
        WindowFixture f;
        Form1& form = f.forms->form1().show();
        writeFile(at("out/old.txt"), "old content that is longer\r\n");
        for (const QString& text : {QStringLiteral("first\r\n"), QStringLiteral("second\r\n")}) {
            form.Text1()->setText(text);
            savefrm& dialog = f.forms->saveDialog().show();
            QVERIFY(dialog.dirDialog()->openFolder(at("out")).isEmpty());
            select(dialog.filDialog(), "old.txt");
            QCOMPARE(dialog.txtFilename()->text(), QStringLiteral("old.txt"));
            dialog.cmdOK_Click();
            WindowFixture::flushDeletes();
        }
        QCOMPARE(readAll(at("out/old.txt")), QByteArray("second\r\n\r\n"));
    }

    void saveWithTheMainWindowClosedWritesNothing()
    {
        WindowFixture f;
        f.forms->form1().show().close();
        WindowFixture::flushDeletes();
        savefrm& dialog = f.forms->saveDialog().show();
        QVERIFY(dialog.dirDialog()->openFolder(at("out")).isEmpty());
        dialog.txtFilename()->setText("orphan.txt");
        dialog.cmdOK_Click();
        QVERIFY(f.services.lastMessage().contains("no output left"));
        QVERIFY(!QFile::exists(at("out/orphan.txt")));
    }

    void resultFileFollowsLinksAndKeepsPermissions()
    {
#ifndef Q_OS_UNIX
        QSKIP("symbolic links and modes");
#else
        writeFile(at("out/target.txt"), "old\r\n");
        QFile::setPermissions(at("out/target.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QFile::remove(at("out/link.txt"));
        QVERIFY(QFile::link(at("out/target.txt"), at("out/link.txt")));
        QVERIFY(writeResultFile(at("out/link.txt"), "new").isEmpty());
        QVERIFY(QFileInfo(at("out/link.txt")).isSymLink());
        QCOMPARE(readAll(at("out/target.txt")), QByteArray("new\r\n"));
        const QFileDevice::Permissions ownerGroupOther(0x7077);
        QCOMPARE(QFile::permissions(at("out/target.txt")) & ownerGroupOther,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
#endif
    }

    void resultFileRefusesDevicesAndReadOnlyFolders()
    {
#ifdef Q_OS_UNIX
        QVERIFY(writeResultFile("/dev/null", "x").contains("not a regular file"));
        QVERIFY(QFileInfo("/dev/null").exists());
        if (::geteuid() != 0) {
            QDir(root_).mkpath("locked");
            QFile::setPermissions(at("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            QVERIFY(!writeResultFile(at("locked/x.txt"), "x").isEmpty());
        }
#endif
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
