// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QCoreApplication>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "loginitems/ui/LoginItemsPage.h"
#include "loginitems/ui/LoginItemsTableModel.h"
#include "support/AccessibleTree.h"
#include "support/RecordingFileViewer.h"
#include "support/ScriptedAsker.h"
#include "ui/ImageProvider.h"
#include "ui/LoginItemsFixture.h"
#include "ui/QtMainQueue.h"
#include "ui/RichStatusLine.h"
#include "ui/WorkRunner.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

class LoginItemsPageTest : public ::testing::Test {
  protected:
    void SetUp() override { ImageProvider::shared().setUseThemeIcons(false); }

    QStringList names() const {
        QStringList shown;
        for (int row = 0; row < page.model()->rowCount(); ++row) {
            shown << page.model()->index(row, LoginItemsTableModel::ItemColumn).data().toString();
        }
        return shown;
    }
    int rowOf(const QString& name) const { return names().indexOf(name); }
    bool startsAtLogin(const QString& name) const {
        return page.model()
                   ->index(rowOf(name), LoginItemsTableModel::StartColumn)
                   .data(Qt::CheckStateRole)
                   .toInt() == Qt::Checked;
    }
    bool dropFiles(const std::vector<fs::path>& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& file : files) urls << QUrl::fromLocalFile(QString::fromStdString(file));
        data.setUrls(urls);
        bool taken = page.model()->dropMimeData(&data, Qt::CopyAction, -1, -1, QModelIndex());
        QCoreApplication::processEvents();  // the files are added once the drop has ended
        return taken;
    }

    LoginItemsFixture fixture;
    QtMainQueue queue;
    std::shared_ptr<ScriptedAsker> asker = std::make_shared<ScriptedAsker>();
    std::shared_ptr<RecordingFileViewer> viewer = std::make_shared<RecordingFileViewer>();
    LoginItemsPage page{{.queue = &queue, .asker = asker, .viewer = viewer}};
};

}  // namespace

TEST_F(LoginItemsPageTest, ShowsUserSystemAndOverriddenEntriesWithTheirStates) {
    EXPECT_EQ(names(), (QStringList{"Backup", "Indexer", "Notes"}));
    EXPECT_TRUE(startsAtLogin("Backup"));
    EXPECT_FALSE(startsAtLogin("Indexer"));  // the user's override hides it
    EXPECT_TRUE(startsAtLogin("Notes"));

    // Only the user's own entry can be removed; a system entry says why not.
    QToolButton* removeBackup = page.rowButton(rowOf("Backup"), LoginItemsPage::RemoveButton);
    QToolButton* removeNotes = page.rowButton(rowOf("Notes"), LoginItemsPage::RemoveButton);
    ASSERT_TRUE(removeBackup && removeNotes);
    EXPECT_FALSE(removeBackup->isEnabled());
    EXPECT_TRUE(removeBackup->toolTip().contains("cannot be removed"));
    EXPECT_TRUE(removeNotes->isEnabled());
    EXPECT_TRUE(page.statusLine()->accessibleDescription().startsWith("2 of 3"));

    // The highlighted row is taller than the others.
    page.resize(700, 400);
    page.show();
    page.table()->setCurrentIndex(page.model()->index(0, LoginItemsTableModel::ItemColumn));
    EXPECT_EQ(page.table()->rowHeight(0) - page.table()->rowHeight(1), 2);

    // Assistive technology reads the check states and names what a check box does.
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(page.table());
    ASSERT_TRUE(face && face->tableInterface());
    QAccessibleInterface* indexer = face->tableInterface()->cellAt(1, 0);
    QAccessibleInterface* notes = face->tableInterface()->cellAt(2, 0);
    ASSERT_TRUE(indexer && notes);
    EXPECT_FALSE(indexer->state().checked);
    EXPECT_TRUE(notes->state().checked);
    EXPECT_EQ(notes->text(QAccessible::Name), "Start Notes at login");

    // The row's buttons are children of its actions cell, named, and pressed from there.
    QAccessibleInterface* actions =
        face->tableInterface()->cellAt(rowOf("Notes"), LoginItemsTableModel::ButtonsColumn);
    ASSERT_TRUE(actions);
    EXPECT_EQ(actions->text(QAccessible::Name), "Actions for Notes");
    ASSERT_EQ(actions->childCount(), 1);
    QStringList buttons;
    for (QAccessibleInterface* button :
         accessibleDescendants(actions->child(0)->object(), QAccessible::Button)) {
        buttons << button->text(QAccessible::Name);
        ASSERT_TRUE(button->actionInterface());
    }
    EXPECT_EQ(buttons, (QStringList{"Show Notes in its folder", "Open Notes", "Remove Notes"}));
    QAccessibleInterface* open =
        accessibleDescendant(page.table(), QAccessible::Button, "Open Notes");
    ASSERT_TRUE(open);
    open->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    page.work().waitUntilIdle();
    EXPECT_EQ(viewer->opened.size(), 1u);
}

TEST_F(LoginItemsPageTest, TogglingASystemEntryWritesTheOverrideAndTheTableFollows) {
    QModelIndex check = page.model()->index(rowOf("Backup"), LoginItemsTableModel::StartColumn);
    page.model()->setData(check, Qt::Unchecked, Qt::CheckStateRole);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !startsAtLogin("Backup"); }, 2000));
    fs::path override = fixture.userFolder() / "backup.desktop";
    ASSERT_TRUE(fs::exists(override));
    EXPECT_NE(TempDir::read(override).find("Hidden=true"), std::string::npos);

    // Space on the current row turns it back on; the override goes again.
    page.table()->setCurrentIndex(
        page.model()->index(rowOf("Backup"), LoginItemsTableModel::ItemColumn));
    QTest::keyClick(page.table(), Qt::Key_Space);
    page.work().waitUntilIdle();  // the change runs on the page's worker
    EXPECT_TRUE(startsAtLogin("Backup"));
    EXPECT_FALSE(fs::exists(override));
}

// What a drop may add, the questions and the refusals are LoginItemAddition's; the page hands
// the dropped files over once the drop has ended.
TEST_F(LoginItemsPageTest, DroppedFilesAreAddedAfterOneQuestion) {
    fs::path first = fixture.platform.root().write("home/Documents/todo.txt", "milk\n");
    fs::path second = fixture.platform.root().write("home/Documents/plan.txt", "rest\n");
    EXPECT_TRUE(dropFiles({first, second}));
    ASSERT_EQ(asker->questions.size(), 1u);
    EXPECT_NE(asker->questionDetails[0].find("xdg-open " + first.string()), std::string::npos);
    EXPECT_EQ(page.model()->rowCount(), 5);
    EXPECT_TRUE(asker->messages.empty());
}

TEST_F(LoginItemsPageTest, DraggedRowsMoveOnThePageOnlyAndOtherDataIsRefused) {
    QMimeData* dragged = page.model()->mimeData(
        {page.model()->index(rowOf("Notes"), LoginItemsTableModel::ItemColumn)});
    EXPECT_TRUE(page.model()->dropMimeData(dragged, Qt::CopyAction, 0, 0, QModelIndex()));
    delete dragged;
    EXPECT_EQ(names(), (QStringList{"Notes", "Backup", "Indexer"}));
    EXPECT_TRUE(fs::exists(fixture.userFolder() / "notes.desktop"));

    QMimeData picture;
    picture.setData("image/png", QByteArray("\x89PNG"));
    EXPECT_FALSE(page.model()->canDropMimeData(&picture, Qt::CopyAction, 0, 0, QModelIndex()));
    EXPECT_FALSE(page.model()->dropMimeData(&picture, Qt::CopyAction, 0, 0, QModelIndex()));
    EXPECT_EQ(page.model()->rowCount(), 3);
}

TEST_F(LoginItemsPageTest, RemoveAsksFirstFromTheRowButtonAndTheDeleteKey) {
    page.table()->setCurrentIndex(
        page.model()->index(rowOf("Notes"), LoginItemsTableModel::ItemColumn));
    asker->answer = false;
    page.rowButton(rowOf("Notes"), LoginItemsPage::RemoveButton)->click();
    QTest::keyClick(page.table(), Qt::Key_Delete);
    ASSERT_EQ(asker->questions.size(), 2u);
    EXPECT_EQ(asker->questions[0], "Remove \"Notes\" from the login items?");
    EXPECT_EQ(asker->questionButtons[0], (std::vector<std::string>{"Remove", "Cancel"}));
    page.work().waitUntilIdle();
    EXPECT_TRUE(fs::exists(fixture.userFolder() / "notes.desktop"));
    asker->answer = true;
    QTest::keyClick(page.table(), Qt::Key_Delete);
    page.work().waitUntilIdle();  // the file is deleted on the page's worker
    EXPECT_FALSE(fs::exists(fixture.userFolder() / "notes.desktop"));
    EXPECT_EQ(names(), (QStringList{"Backup", "Indexer"}));

    // A system entry is never removed, not even from the keyboard.
    page.table()->setCurrentIndex(page.model()->index(0, LoginItemsTableModel::ItemColumn));
    QTest::keyClick(page.table(), Qt::Key_Delete);
    EXPECT_EQ(names(), (QStringList{"Backup", "Indexer"}));
}

TEST_F(LoginItemsPageTest, AnEntryWrittenByAnotherProgramAppears) {
    fixture.program("usr/bin/chat");
    fixture.userEntry("zchat.desktop", "[Desktop Entry]\nType=Application\nName=Chat\nExec=chat\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return names().contains("Chat"); }, 3000));
}

TEST_F(LoginItemsPageTest, RevealAndOpenRunOffTheGuiThreadAndNeverStartTheProgram) {
    viewer->openAnswer = false;
    int notes = rowOf("Notes");
    ASSERT_GE(notes, 0);
    page.rowButton(notes, LoginItemsPage::RevealButton)->click();
    page.work().waitUntilIdle();
    page.rowButton(notes, LoginItemsPage::OpenButton)->click();
    page.work().waitUntilIdle();
    std::string program = (fixture.platform.root() / "usr/bin/notes").string();
    EXPECT_EQ(viewer->revealed, std::vector<std::string>{program});
    EXPECT_EQ(viewer->opened, std::vector<std::string>{program});
    EXPECT_TRUE(page.statusLine()->accessibleDescription().contains("could not be opened"));
}
