#include "browse_dialog_controls.h"
#include "dir_list_box.h"
#include "drive_list_box.h"
#include "file_list_box.h"
#include "folder_listing.h"
#include "main_window.h"
#include "open_dialog.h"
#include "output_box.h"
#include "result_file.h"
#include "save_dialog.h"
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
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

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

    // The open or the save dialog over a shown main window.
    static BrowseDialog& showDialog(WindowFixture& f, bool save)
    {
        f.windows->mainWindow().show();
        if (save)
            return f.windows->saveDialog().show();
        return f.windows->openDialog().show();
    }

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

    void bothDialogsStartInTheCurrentFolderAndTab_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("open") << false;
        QTest::newRow("save") << true;
    }
    void bothDialogsStartInTheCurrentFolderAndTab()
    {
        QFETCH(bool, save);
        WindowFixture f;
        BrowseDialog& dialog = showDialog(f, save);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // a fixed size
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.nameBox()));
        QVERIFY(!dialog.okButton()->isDefault() && !dialog.cancelButton()->isDefault());
        // The name box lies in front of the label it overlaps.
        const QObjectList order = dialog.children();
        QVERIFY(order.indexOf(dialog.nameBox()) > order.indexOf(dialog.findChild<QLabel*>("lblDialog")));
        QCOMPARE(dialog.folderList()->path(), at("lists"));
        QCOMPARE(dialog.fileList()->path(), at("lists"));
        QStringList files;
        for (int i = 0; i < dialog.fileList()->count(); ++i)
            files << dialog.fileList()->item(i)->text();
        QCOMPARE(files, (QStringList{"binary.dat", "empty.txt", "five.txt", "Item2.txt", "item10.txt"}));
        QVERIFY(dialog.fileList()->fileName().isEmpty());
        // Enter in the name box confirms nothing.
        QTest::keyClicks(dialog.nameBox(), "x");
        QTest::keyClick(dialog.nameBox(), Qt::Key_Return);
        QTest::keyClick(dialog.nameBox(), Qt::Key_Escape);
        QVERIFY(save ? f.windows->saveDialog().isLoaded() : f.windows->openDialog().isLoaded());
        QVERIFY(f.services.messages.isEmpty());

        // Tab visits every control and comes round; Shift+Tab walks back.
        dialog.nameBox()->clear();
        dialog.nameBox()->setFocus();
        const QList<QWidget*> controls{dialog.nameBox(),  dialog.folderList(), dialog.driveList(),
                                       dialog.fileList(), dialog.okButton(),   dialog.cancelButton()};
        QList<QWidget*> forward;
        for (int i = 0; i < controls.size(); ++i) {
            forward << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.nameBox())); // round and back
        for (QWidget* w : controls)
            QVERIFY2(forward.contains(w), qPrintable(w->objectName()));
        QList<QWidget*> backward;
        for (int i = 0; i < controls.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            backward.prepend(QApplication::focusWidget());
        }
        QCOMPARE(backward, forward);
        QVERIFY(dialog.nameBox()->text().isEmpty()); // no tab typed into the name
    }

    void aNameThatIsNotUtf8IsListedOpenedAndKept()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray folder = QFile::encodeName(dir.path());
        const QByteArray oddName("caf\xe9.txt"); // Latin-1, not UTF-8
        {
            const int fd = ::open((folder + '/' + oddName).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, "one\ntwo\n", 8), ssize_t(8));
            ::close(fd);
        }
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        OpenDialog& open = f.windows->openDialog().show();
        QVERIFY(open.folderList()->openFolder(dir.path()).isEmpty());
        QCOMPARE(open.fileList()->count(), 1);
        const QString shown = open.fileList()->item(0)->text();
        QVERIFY2(shown.startsWith("caf") && shown.contains(QChar::ReplacementCharacter), qPrintable(shown));
        open.fileList()->setCurrentRow(0);
        QCOMPARE(open.fileList()->fileNameBytes(), oddName);
        open.onOkClicked();
        QVERIFY2(f.services.messages.isEmpty(), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.countBox()->text(), QStringLiteral("2"));
        QCOMPARE(form.loadedPathBytes(), folder + '/' + oddName);
        form.picksBox()->setText("3");
        form.onSelectClicked();
        QVERIFY2(f.services.messages.isEmpty(), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.outputBox()->lineCount(), 3);
        // A path typed over the loaded one is read as typed.
        form.pathBox()->setText(dir.path() + "/other.txt");
        QCOMPARE(form.loadedPathBytes(), folder + "/other.txt");

        // Saving over it replaces that very file, not a second one beside it.
        SaveDialog& save = f.windows->saveDialog().show();
        QVERIFY(save.folderList()->openFolder(dir.path()).isEmpty());
        save.fileList()->setCurrentRow(0);
        QCOMPARE(save.nameBoxBytes(), oddName);
        const QByteArray expected = (form.outputBox()->text() + "\r\n").toUtf8();
        save.onOkClicked();
        QCOMPARE(f.services.lastMessage(), QStringLiteral("saved"));
        QList<FolderEntry> files;
        QVERIFY(listFolder(dir.path(), false, files).isEmpty());
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0].bytes, oddName);
        // The name cannot travel through QString: read and remove it by its bytes.
        const QByteArray oddPath = folder + '/' + oddName;
        QByteArray saved(expected.size() + 16, '\0');
        const int fd = ::open(oddPath.constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        saved.resize(qsizetype(::read(fd, saved.data(), size_t(saved.size()))));
        ::close(fd);
        QCOMPARE(saved, expected);
        QCOMPARE(::unlink(oddPath.constData()), 0);
    }

    void browsingChainAndCaption()
    {
        WindowFixture f;
        f.services.fakeDrives = {{"/", ""}, {at("out"), "OUT"}, {at("missing"), ""}};
        OpenDialog& dialog = f.windows->openDialog().show();
        QCOMPARE(dialog.driveList()->count(), 3);
        QCOMPARE(dialog.driveList()->currentIndex(), 0);
        QVERIFY(dialog.driveList()->itemText(1).contains("OUT"));

        // A subfolder, opened as a double click does.
        const QString error = dialog.folderList()->openFolder(at("lists/sub"));
        QVERIFY(error.isEmpty());
        QCOMPARE(dialog.fileList()->path(), at("lists/sub"));
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("lists/sub") + "]");
        QCOMPARE(dialog.fileList()->count(), 0);

        // Another drive: its root, since the current folder is not on it.
        dialog.driveList()->setCurrentIndex(1);
        QCOMPARE(dialog.folderList()->path(), at("out"));
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("out") + "]");

        // Back to "/": the drive's current folder is the process's.
        dialog.driveList()->setCurrentIndex(0);
        QCOMPARE(dialog.folderList()->path(), at("lists"));

        // A drive that is not ready: a message, and the lists stay.
        dialog.driveList()->setCurrentIndex(2);
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY(f.services.lastMessage().contains("cannot be opened"));
        QCOMPARE(dialog.folderList()->path(), at("lists"));
        QCOMPARE(dialog.fileList()->path(), at("lists"));
        QCOMPARE(dialog.driveList()->currentIndex(), 0);
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("lists") + "]");

        // The directory list shows the chain down to the folder, then its subfolders.
        QStringList shown;
        for (int i = 0; i < dialog.folderList()->count(); ++i)
            shown << dialog.folderList()->item(i)->text().trimmed();
        QCOMPARE(shown.first(), QStringLiteral("/"));
        QCOMPARE(shown.last(), QStringLiteral("sub"));
        QVERIFY(!shown.contains(".hidden-folder"));

        // A file or a vanished folder cannot be opened as a folder: the lists stay.
        QVERIFY(!dialog.folderList()->openFolder(at("lists/five.txt")).isEmpty());
        QVERIFY(!dialog.folderList()->openFolder(at("gone")).isEmpty());
        QCOMPARE(dialog.folderList()->path(), at("lists"));
    }

    void openOkCountsTheSelectedEntry()
    {
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        OpenDialog& dialog = f.windows->openDialog().show();
        select(dialog.fileList(), "five.txt");
        QCOMPARE(dialog.nameBox()->text(), QStringLiteral("five.txt")); // the bare name
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Load"));           // the caption never shows a file
        dialog.nameBox()->setText("empty.txt"); // the name box is not read
        dialog.onOkClicked();
        QCOMPARE(form.pathBox()->text(), at("lists/five.txt"));
        QCOMPARE(form.countBox()->text(), QStringLiteral("5"));
        QVERIFY(form.selectButton()->isEnabled());
        QVERIFY(!f.windows->openDialog().isLoaded());
        WindowFixture::flushDeletes();

        // A fresh dialog every time.
        OpenDialog& again = f.windows->openDialog().show();
        QVERIFY(again.nameBox()->text().isEmpty());
        QVERIFY(again.fileList()->fileName().isEmpty());
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
        MainWindow& form = f.windows->mainWindow().show();
        form.showCountedList("/earlier/list.txt", 7);
        writeFile(at("lists/gone.txt"), "x\n");
        OpenDialog& dialog = f.windows->openDialog().show();
        QFile::remove(at("lists/gone.txt"));
        if (!entry.isEmpty())
            select(dialog.fileList(), entry);
        dialog.onOkClicked();
        QCOMPARE(f.services.messages.size(), 1);
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.pathBox()->text(), QStringLiteral("/earlier/list.txt"));
        QCOMPARE(form.countBox()->text(), QStringLiteral("7"));
        QVERIFY(f.windows->openDialog().isLoaded());
    }

    void cancelAndCloseBoxChangeNothing_data()
    {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndCloseBoxChangeNothing()
    {
        QFETCH(bool, byCloseBox);
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        OpenDialog& dialog = f.windows->openDialog().show();
        select(dialog.fileList(), "five.txt");
        if (byCloseBox)
            dialog.close();
        else
            dialog.cancelButton()->click();
        QVERIFY(!f.windows->openDialog().isLoaded());
        QVERIFY(form.pathBox()->text().isEmpty());
        QVERIFY(form.countBox()->text().isEmpty());
        QVERIFY(!form.selectButton()->isEnabled());
    }

    void okAfterTheMainWindowClosedOpensAFreshOne()
    {
        WindowFixture f;
        f.windows->mainWindow().show().close();
        WindowFixture::flushDeletes();
        OpenDialog& dialog = f.windows->openDialog().show();
        select(dialog.fileList(), "five.txt");
        dialog.onOkClicked();
        MainWindow* form = f.windows->mainWindow().get();
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->countBox()->text(), QStringLiteral("5"));
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
        MainWindow& form = f.windows->mainWindow().show();
        OpenDialog& dialog = f.windows->openDialog().show();
        QVERIFY(dialog.folderList()->openFolder("/").isEmpty());
        QCOMPARE(dialog.chosenPath("words.txt"), QStringLiteral("//words.txt"));
        select(dialog.fileList(), rootFile.mid(1));
        dialog.onOkClicked();
        QFile::remove(rootFile);
        QCOMPARE(form.pathBox()->text(), "/" + rootFile);
        QCOMPARE(form.countBox()->text(), QStringLiteral("2"));
#endif
    }

    void droppingAFileLoadsIt()
    {
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        auto drop = [&](const QList<QUrl>& urls) {
            QMimeData data;
            data.setUrls(urls);
            dropOnto(form.outputBox()->viewport(), data); // the box would otherwise take the name as text
        };
        drop({QUrl::fromLocalFile(at("lists/five.txt"))});
        QVERIFY2(f.services.messages.isEmpty(), qPrintable(f.services.lastMessage()));
        QCOMPARE(form.countBox()->text(), QStringLiteral("5"));
        drop({QUrl::fromLocalFile(at("lists/binary.dat"))});
        QVERIFY(f.services.lastMessage().contains("binary.dat"));
        QCOMPARE(form.pathBox()->text(), at("lists/five.txt"));
        drop({QUrl::fromLocalFile(at("lists/five.txt")), QUrl::fromLocalFile(at("lists/empty.txt"))});
        QCOMPARE(form.pathBox()->text(), at("lists/five.txt")); // two files: ignored
    }

    void savedFileBytes_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty output") << "" << QByteArray("\r\n");
        QTest::newRow("two picks") << "alpha\r\nbeta\r\n" << QByteArray("alpha\r\nbeta\r\n\r\n");
        QTest::newRow("typed text, UTF-8") << QString::fromUtf8("grüß") << QByteArray("gr\xC3\xBC\xC3\x9F\r\n");
        QTest::newRow("no-break space in a word") << QString::fromUtf8("a\u00A0b\r\n") << QByteArray("a\xC2\xA0" "b\r\n\r\n");
        QTest::newRow("line separator in a word") << QString::fromUtf8("a\u2028b\r\n") << QByteArray("a\xE2\x80\xA8" "b\r\n\r\n");
        QTest::newRow("tab in a word") << QString::fromUtf8("a\tb\r\nc") << QByteArray("a\tb\r\nc\r\n");
    }
    void savedFileBytes()
    {
        QFETCH(QString, output);
        QFETCH(QByteArray, bytes);
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        form.outputBox()->setText(output);
        SaveDialog& dialog = f.windows->saveDialog().show();
        QVERIFY(dialog.folderList()->openFolder(at("out")).isEmpty());
        dialog.nameBox()->setText("result");
        dialog.onOkClicked();
        QCOMPARE(readAll(at("out/result")), bytes); // no extension added
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].text, QStringLiteral("saved"));
        QCOMPARE(f.services.messages[0].icon, DesktopServices::Icon::None);
        QVERIFY(!f.windows->saveDialog().isLoaded());
        QCOMPARE(form.outputBox()->text(), output);
        QFile::remove(at("out/result"));
    }

    void savingReplacesWithoutAsking()
    {
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        writeFile(at("out/old.txt"), "old content that is longer\r\n");
        for (const QString& text : {QStringLiteral("first\r\n"), QStringLiteral("second\r\n")}) {
            form.outputBox()->setText(text);
            SaveDialog& dialog = f.windows->saveDialog().show();
            QVERIFY(dialog.folderList()->openFolder(at("out")).isEmpty());
            select(dialog.fileList(), "old.txt");
            QCOMPARE(dialog.nameBox()->text(), QStringLiteral("old.txt"));
            dialog.onOkClicked();
            WindowFixture::flushDeletes();
        }
        QCOMPARE(readAll(at("out/old.txt")), QByteArray("second\r\n\r\n"));
    }

    void saveWithTheMainWindowClosedWritesNothing()
    {
        WindowFixture f;
        f.windows->mainWindow().show().close();
        WindowFixture::flushDeletes();
        SaveDialog& dialog = f.windows->saveDialog().show();
        QVERIFY(dialog.folderList()->openFolder(at("out")).isEmpty());
        dialog.nameBox()->setText("orphan.txt");
        dialog.onOkClicked();
        QVERIFY(f.services.lastMessage().contains("no output left"));
        QVERIFY(!QFile::exists(at("out/orphan.txt")));
    }

    // The save goes through the file writer: a link leads to its file, a
    // hard-linked file is rewritten in place with its mode, a device is refused.
    void resultFileKeepsLinksAndRefusesDevices()
    {
#ifdef Q_OS_UNIX
        writeFile(at("out/target.txt"), "old\r\n");
        QFile::setPermissions(at("out/target.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QFile::remove(at("out/link.txt"));
        QVERIFY(QFile::link(at("out/target.txt"), at("out/link.txt")));
        QFile::remove(at("out/second-name.txt"));
        QVERIFY(::link(QFile::encodeName(at("out/target.txt")).constData(),
                       QFile::encodeName(at("out/second-name.txt")).constData()) == 0);
        QVERIFY(writeResultFile(at("out/link.txt"), "new").isEmpty());
        QVERIFY(QFileInfo(at("out/link.txt")).isSymLink());
        QCOMPARE(readAll(at("out/second-name.txt")), QByteArray("new\r\n"));
        QCOMPARE(QFile::permissions(at("out/target.txt")) & QFileDevice::Permissions(0x7077),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QVERIFY(writeResultFile(QStringLiteral("/dev/null"), "x").contains("not a regular file"));
#endif
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
