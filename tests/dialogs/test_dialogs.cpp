#include "dir_list_box.h"
#include "drive_list_box.h"
#include "file_list_box.h"
#include "folder_listing.h"
#include "main_window.h"
#include "output_box.h"
#include "window_fixture.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavilon;

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString root_;
    QString previousCurrent_;
    QString at(const QString& name) const { return root_ + "/" + name; }

    static BrowseDialog& showDialog(WindowFixture& f, bool save, const QString& folder)
    {
        f.main();
        BrowseDialog& dialog = save ? static_cast<BrowseDialog&>(f.windows.showSaveDialog())
                                    : static_cast<BrowseDialog&>(f.windows.showOpenDialog());
        if (!folder.isEmpty() && !dialog.folderList()->openFolder(folder).isEmpty())
            qWarning("cannot open %s", qPrintable(folder));
        return dialog;
    }

private slots:
    void initTestCase()
    {
        root_ = QDir(tmp_.path()).canonicalPath();
        for (const char* folder : {"lists/sub", "out/folder", ".hidden-folder"})
            QDir(root_).mkpath(folder);
        writeFile(at("lists/five.txt"), "a\nb\nc\nd\ne\n");
        writeFile(at("lists/binary.dat"), QByteArray("x\0y", 3));
        writeFile(at("lists/item10.txt"), "x\n");
        writeFile(at("lists/Item2.txt"), "x\n");
        writeFile(at("lists/.hidden.txt"), "x\n");
        previousCurrent_ = QDir::currentPath();
    }
    void init() { QDir::setCurrent(at("lists")); }
    void cleanupTestCase() { QDir::setCurrent(previousCurrent_); }

    // Both dialogs start in the current folder with the name box focused;
    // Enter and Escape do nothing; Tab visits every control and comes round.
    void bothDialogsStartInTheCurrentFolder_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("open") << false;
        QTest::newRow("save") << true;
    }
    void bothDialogsStartInTheCurrentFolder()
    {
        QFETCH(bool, save);
        WindowFixture f;
        BrowseDialog& dialog = showDialog(f, save, {});
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.nameBox());
        // The name box lies in front of the label it overlaps.
        QVERIFY(dialog.children().indexOf(dialog.nameBox()) > dialog.children().indexOf(dialog.findChild<QLabel*>("lblDialog")));
        QStringList files;
        for (int i = 0; i < dialog.fileList()->count(); ++i)
            files << dialog.fileList()->item(i)->text();
        QCOMPARE(files, (QStringList{"binary.dat", "five.txt", "Item2.txt", "item10.txt"}));
        QTest::keyClick(dialog.nameBox(), Qt::Key_Return);
        QTest::keyClick(dialog.nameBox(), Qt::Key_Escape);
        QVERIFY(dialog.isVisible() && f.services.messages.isEmpty());
        QList<QWidget*> forward;
        for (int i = 0; i < 6; ++i) {
            forward << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), dialog.nameBox());
        QCOMPARE(forward, (QList<QWidget*>{dialog.nameBox(), dialog.folderList(), dialog.driveList(),
                                           dialog.fileList(), dialog.okButton(), dialog.cancelButton()}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), dialog.cancelButton());
    }

    void browsingChainAndCaption()
    {
        WindowFixture f;
        f.services.fakeDrives = {{"/", ""}, {at("out"), "OUT"}, {at("missing"), ""}};
        BrowseDialog& dialog = showDialog(f, false, at("lists/sub"));
        QCOMPARE(dialog.fileList()->path(), at("lists/sub"));
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("lists/sub") + "]");
        dialog.driveList()->setCurrentIndex(1); // another drive opens at its root
        QCOMPARE(dialog.folderList()->path(), at("out"));
        dialog.driveList()->setCurrentIndex(0); // "/": the process's current folder
        QCOMPARE(dialog.folderList()->path(), at("lists"));
        dialog.driveList()->setCurrentIndex(2); // not ready: a message, and everything stays
        QVERIFY(f.services.lastMessage().contains("cannot be opened"));
        QCOMPARE(dialog.fileList()->path(), at("lists"));
        QCOMPARE(dialog.driveList()->currentIndex(), 0);
        QVERIFY(!dialog.folderList()->openFolder(at("lists/five.txt")).isEmpty());
        QCOMPARE(dialog.folderList()->path(), at("lists"));
        // A vanished current folder gives way to the home folder.
        QDir().mkpath(at("gone"));
        QDir::setCurrent(at("gone"));
        QDir(at("gone")).removeRecursively();
        f.windows.openDialog()->close();
        QVERIFY(QFileInfo(f.windows.showOpenDialog().folderList()->path()).isDir());
    }

    // Ok counts the entry chosen in the file list (the name box is not
    // read) and shows it in the main window, opened afresh if it was closed.
    void openOkCountsTheChosenEntry_data()
    {
        QTest::addColumn<bool>("mainClosed");
        QTest::newRow("main window open") << false;
        QTest::newRow("main window closed by its close box") << true;
    }
    void openOkCountsTheChosenEntry()
    {
        QFETCH(bool, mainClosed);
        WindowFixture f;
        BrowseDialog& dialog = showDialog(f, false, {});
        if (mainClosed)
            f.windows.mainWindow()->close();
        chooseFile(dialog.fileList(), "five.txt");
        QCOMPARE(dialog.nameBox()->text(), QStringLiteral("five.txt"));
        dialog.nameBox()->setText("binary.dat");
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(!f.windows.openDialog());
        MainWindow* window = f.windows.mainWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->pathBox()->text(), at("lists/five.txt"));
        QCOMPARE(window->countBox()->text(), QStringLiteral("5"));
        QVERIFY(window->selectButton()->isEnabled());
    }

    void openFailuresChangeNothing_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("says");
        QTest::newRow("nothing chosen") << "" << "Select a word list";
        QTest::newRow("binary data") << "binary.dat" << "binary data";
        QTest::newRow("gone since listed") << "gone.txt" << "gone.txt";
    }
    void openFailuresChangeNothing()
    {
        QFETCH(QString, entry);
        QFETCH(QString, says);
        writeFile(at("lists/gone.txt"), "x\n");
        WindowFixture f;
        BrowseDialog& dialog = showDialog(f, false, {});
        QFile::remove(at("lists/gone.txt"));
        if (!entry.isEmpty())
            chooseFile(dialog.fileList(), entry);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QVERIFY(f.windows.mainWindow()->pathBox()->text().isEmpty());
        QVERIFY(!f.windows.mainWindow()->selectButton()->isEnabled());
        QVERIFY(f.windows.openDialog());
    }

    // What is saved: the output exactly, CR LF line ends and one more; a
    // chosen file is replaced without a question, also under a name that is
    // not valid UTF-8.
    void savedFileBytes_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty output") << "" << QByteArray("\r\n");
        QTest::newRow("UTF-8, no final line end") << QString::fromUtf8("grüß") << QByteArray("gr\xC3\xBC\xC3\x9F\r\n");
        QTest::newRow("no-break space, line separator, tab")
            << QString::fromUtf8("a\u00A0b\r\nc\u2028d\te\r\n") << QByteArray("a\xC2\xA0" "b\r\nc\xE2\x80\xA8" "d\te\r\n\r\n");
    }
    void savedFileBytes()
    {
        QFETCH(QString, output);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QByteArray oddName("caf\xe9.txt"); // Latin-1, not UTF-8
        const QByteArray oddPath = QFile::encodeName(dir.path()) + '/' + oddName;
        QVERIFY(::close(::open(oddPath.constData(), O_WRONLY | O_CREAT, 0644)) == 0);
        WindowFixture f;
        f.main().outputBox()->setText(output);
        for (const bool chosen : {false, true}) {
            BrowseDialog& dialog = showDialog(f, true, dir.path());
            if (chosen)
                chooseFile(dialog.fileList(), dialog.fileList()->item(0)->text());
            else
                dialog.nameBox()->setText("result");
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
            QCOMPARE(f.services.lastMessage(), QStringLiteral("saved"));
            QVERIFY(!f.windows.saveDialog());
        }
        QCOMPARE(readAll(dir.filePath("result")), bytes); // no extension added
        QFile odd;
        QVERIFY(odd.open(::open(oddPath.constData(), O_RDONLY), QIODevice::ReadOnly, QFile::AutoCloseHandle));
        QCOMPARE(odd.readAll(), bytes);
        QList<FolderEntry> files;
        QVERIFY(listFolder(dir.path(), false, files).isEmpty());
        QCOMPARE(files.size(), 2); // no second file beside the odd name, nothing left over
    }

    // A list whose name is not valid UTF-8 shows with U+FFFD, loads and
    // picks under its real name.
    void aNameThatIsNotUtf8IsOpenedAndKept()
    {
        QTemporaryDir dir;
        const QByteArray oddPath = QFile::encodeName(dir.path()) + "/caf\xe9.txt";
        const int fd = ::open(oddPath.constData(), O_WRONLY | O_CREAT, 0644);
        QCOMPARE(::write(fd, "one\ntwo\n", 8), ssize_t(8));
        ::close(fd);
        WindowFixture f;
        BrowseDialog& dialog = showDialog(f, false, dir.path());
        QVERIFY(dialog.fileList()->item(0)->text().contains(QChar::ReplacementCharacter));
        chooseFile(dialog.fileList(), dialog.fileList()->item(0)->text());
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        MainWindow& window = *f.windows.mainWindow();
        QCOMPARE(window.countBox()->text(), QStringLiteral("2"));
        QCOMPARE(window.loadedPathBytes(), oddPath);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QVERIFY2(f.services.messages.isEmpty(), qPrintable(f.services.lastMessage()));
        QCOMPARE(window.outputBox()->lineCount(), 1);
    }

    // A failed save says why; the dialog stays, the output and the old file
    // are kept.
    void savingFailsSafely_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty name") << "" << "Type a name";
        QTest::newRow("a folder") << "folder" << "is a folder";
        QTest::newRow("a missing folder") << "missing/out.txt" << "does not exist";
        QTest::newRow("a pipe") << "pipe" << "not a regular file";
        QTest::newRow("main window closed") << "orphan.txt" << "no output left";
    }
    void savingFailsSafely()
    {
        QFETCH(QString, name);
        QFETCH(QString, says);
        ::mkfifo(QFile::encodeName(at("out/pipe")).constData(), 0600);
        WindowFixture f;
        f.main().outputBox()->setText("precious\r\n");
        BrowseDialog& dialog = showDialog(f, true, at("out"));
        if (name == "orphan.txt")
            f.windows.mainWindow()->close();
        dialog.nameBox()->setText(name);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY2(f.services.lastMessage().contains(says), qPrintable(f.services.lastMessage()));
        QVERIFY(f.windows.saveDialog());
        QVERIFY(!QFile::exists(at("out/orphan.txt")));
        if (f.windows.mainWindow())
            QCOMPARE(f.windows.mainWindow()->outputBox()->text(), QStringLiteral("precious\r\n"));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
