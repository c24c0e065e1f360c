#include "main_window/main_window.h"
#include "platform/services/folder_listing.h"
#include "platform/widgets/drive_list.h"
#include "platform/widgets/folder_list.h"
#include "platform/widgets/output_box.h"
#include "tests/app/window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <fstream>

using namespace tavilon;

class TestDialogs : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString root_ = QDir(tmp_.path()).canonicalPath();
    QString at(const QString& name) const { return root_ + "/" + name; }

    static BrowseDialog& show(WindowFixture& f, bool save, const QString& folder)
    {
        auto& dialog = *static_cast<BrowseDialog*>(f.show(save ? "savefrm" : "frmDialog"));
        dialog.folderList()->openFolder(folder);
        return dialog;
    }
    static void clickOk(BrowseDialog& dialog)
    {
        click(dialog.okButton());
        WindowFixture::waitForCounts();
    }
    // Types `name` over the name box's text, and clicks Ok.
    static void typeAndOk(BrowseDialog& dialog, const QString& name)
    {
        QTest::keyClick(dialog.nameBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog.nameBox(), name);
        clickOk(dialog);
    }

private slots:
    void initTestCase()
    {
        for (const char* folder : {"lists/sub", "out/folder"})
            QDir(root_).mkpath(folder);
        writeFile(at("lists/five.txt"), "a\nb\nc\nd\ne\n");
        writeFile(at("lists/binary.dat"), QByteArray("x\0y", 3));
        QDir::setCurrent(at("lists"));
    }

    // The lists follow each other; a drive not ready or a vanished folder harms nothing.
    void browsingChain()
    {
        WindowFixture f;
        f.services.fakeDrives = {{"/", ""}, {at("out"), "OUT"}, {at("missing"), ""}};
        BrowseDialog& dialog = show(f, false, at("lists/sub"));
        const QObjectList children = dialog.children();
        QVERIFY(children.indexOf(dialog.nameBox()) > children.indexOf(dialog.findChild<QLabel*>()));
        QTest::keyClick(dialog.driveList(), Qt::Key_Down);
        QCOMPARE(dialog.windowTitle(), "Dialog Box - [" + at("out") + "]");
        QTest::keyClick(dialog.driveList(), Qt::Key_Up); // "/": the process's current folder
        QTest::keyClick(dialog.driveList(), Qt::Key_End);
        QVERIFY(f.services.lastMessage().contains("cannot be opened"));
        QCOMPARE(dialog.fileList()->path(), at("lists"));
        QCOMPARE(dialog.driveList()->currentIndex(), 0);
        QDir().mkpath(at("gone"));
        QDir::setCurrent(at("gone"));
        QDir(at("gone")).removeRecursively();
        dialog.close();
        QVERIFY(QFileInfo(f.windows.showOpenDialog().folderList()->path()).isDir());
        QDir::setCurrent(at("lists"));
    }

    // Ok counts the chosen file, not the typed name; a failure keeps the old list.
    void openOk()
    {
        WindowFixture f;
        MainWindow& window = f.mainWithList(at("lists/five.txt"));
        BrowseDialog& dialog = show(f, false, at("lists"));
        typeAndOk(dialog, "five.txt");
        QVERIFY(f.services.lastMessage().contains("Select a word list"));
        chooseFile(dialog.fileList(), "binary.dat");
        clickOk(dialog);
        QVERIFY(f.services.lastMessage().contains("binary data"));
        QVERIFY(f.windows.openDialog());
        QCOMPARE(window.countBox()->text(), "5");
        window.close();
        chooseFile(dialog.fileList(), "five.txt");
        typeAndOk(dialog, "binary.dat");
        QVERIFY(!f.windows.openDialog());
        QVERIFY(f.windows.mainWindow()->isVisible());
        QCOMPARE(f.windows.mainWindow()->countBox()->text(), "5");
    }

    // A clicked file, its name not UTF-8, is opened or saved over by its real name.
    void aClickedFileIsChosen_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QByteArray>("bytes"); // what the clicked file holds afterwards
        QTest::addColumn<QString>("output"); // the output box's text after Select
        QTest::newRow("open") << false << QByteArray("one\ntwo\n") << "x\r\ntwo\r\n";
        QTest::newRow("save") << true << QByteArray("x\r\n\r\n") << "x\r\n";
    }
    void aClickedFileIsChosen()
    {
        QFETCH(bool, save);
        QFETCH(QString, output);
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
        for (const char* name : {"a.txt", "b\xe9.txt", "c.txt"}) // the middle one not UTF-8
            std::ofstream(folder + name) << "one\ntwo\n";
        WindowFixture f;
        f.main().outputBox()->setText("x\r\n");
        BrowseDialog& dialog = show(f, save, dir.path());
        QListWidgetItem* item = dialog.fileList()->item(1);
        const QPoint centre = dialog.fileList()->visualItemRect(item).center();
        QTest::mouseClick(dialog.fileList()->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(dialog.nameBox()->text(), item->text());
        clickOk(dialog);
        click(f.windows.mainWindow()->selectButton());
        QTRY_COMPARE(f.windows.mainWindow()->outputBox()->text(), output);
        std::ifstream file(folder + "b\xe9.txt", std::ios::binary);
        QTEST(QByteArray::fromStdString({std::istreambuf_iterator<char>(file), {}}), "bytes");
        QCOMPARE(listFiles(dir.path()).value().size(), 3);
        std::filesystem::remove_all(folder); // QTemporaryDir cannot remove a name not UTF-8
    }

    // Tabbed to, the file list's arrow keys choose the file they reach, from the first.
    void arrowKeysChooseAFile_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("open, Down") << false << int(Qt::Key_Down) << "binary.dat";
        QTest::newRow("save, Up") << true << int(Qt::Key_Up) << "binary.dat";
        QTest::newRow("open, Home") << false << int(Qt::Key_Home) << "binary.dat";
    }
    void arrowKeysChooseAFile()
    {
        QFETCH(bool, save);
        QFETCH(int, key);
        WindowFixture f;
        BrowseDialog& dialog = show(f, save, at("lists"));
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (int tabs = 0; tabs < 10 && !dialog.fileList()->hasFocus(); ++tabs)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(dialog.fileList(), Qt::Key(key));
        QTEST(dialog.nameBox()->text(), "chosen");
    }

    // The output is saved with a final line end under a typed whole path.
    void aSaveWritesTheOutput()
    {
        WindowFixture f;
        f.main().outputBox()->setText("x");
        typeAndOk(show(f, true, at("out")), at("lists/sub/whole"));
        QCOMPARE(f.services.lastMessage(), "saved");
        QVERIFY(!f.windows.saveDialog());
        QCOMPARE(readFile(at("lists/sub/whole")), "x\r\n");
    }

    void aRefusedSaveKeepsTheDialog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("says");
        QTest::newRow("blanks only") << "   " << "Type a name";
        QTest::newRow("a folder") << "folder" << "is a folder";
    }
    void aRefusedSaveKeepsTheDialog()
    {
        QFETCH(QString, name);
        QFETCH(QString, says);
        WindowFixture f;
        f.main().outputBox()->setText("x");
        typeAndOk(show(f, true, at("out")), name);
        QVERIFY(f.services.lastMessage().contains(says));
        QVERIFY(f.windows.saveDialog());
        QCOMPARE(QDir(at("out")).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(f.main().outputBox()->text(), "x");
    }

    void aSaveWithTheMainWindowClosedWritesNothing()
    {
        WindowFixture f;
        BrowseDialog& dialog = show(f, true, at("out"));
        f.windows.mainWindow()->close();
        typeAndOk(dialog, "orphan.txt");
        QVERIFY(f.services.lastMessage().contains("no output left"));
        QVERIFY(f.windows.saveDialog());
        QVERIFY(!QFile::exists(at("out/orphan.txt")));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
