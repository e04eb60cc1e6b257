// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/work/PlainMainQueue.h"
#include "loginitems/FakeLoginItems.h"
#include "loginitems/LoginItemAddition.h"
#include "loginitems/LoginItemController.h"
#include "support/ScriptedAsker.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace fs = std::filesystem;

TEST(LoginItemAddition, ExaminesWhatEachFileWouldRunAndRefusesWhatCannotBeAdded) {
    TestPlatform platform;
    const TempDir& root = platform.root();
    fs::path document = root.write("docs/report.txt", "text\n");
    fs::path program = root.write("bin/sync tool", "#!/bin/sh\n");
    ::chmod(program.c_str(), 0755);
    fs::path application =
        root.write("apps/editor.desktop", "[Desktop Entry]\nType=Application\nExec=editor\n");
    fs::path link = root.write("apps/site.desktop", "[Desktop Entry]\nType=Link\nURL=x\n");
    fs::path folder = root / "docs";

    auto documentCandidate = LoginItemAddition::examine(document.string(), true);
    EXPECT_TRUE(documentCandidate.refusal.empty());
    EXPECT_EQ(documentCandidate.command, "xdg-open " + document.string());
    auto programCandidate = LoginItemAddition::examine(program.string(), true);
    EXPECT_EQ(programCandidate.command, "\"" + program.string() + "\"");
    auto applicationCandidate = LoginItemAddition::examine(application.string(), true);
    EXPECT_TRUE(applicationCandidate.applicationEntry);
    EXPECT_TRUE(applicationCandidate.command.empty());

    EXPECT_EQ(LoginItemAddition::examine(link.string(), true).refusal,
              "\"site.desktop\" does not describe an application.");
    EXPECT_EQ(LoginItemAddition::examine((root / "gone.txt").string(), true).refusal,
              "\"gone.txt\" does not exist.");
    // A folder can be chosen in the open panel (it opens at login) but is not taken from a drop.
    EXPECT_EQ(LoginItemAddition::examine(folder.string(), true).refusal, "\"docs\" is not a file.");
    EXPECT_TRUE(LoginItemAddition::examine(folder.string(), false).refusal.empty());
    fs::path control = root.write("docs/line\nbreak.txt", "x");
    EXPECT_NE(LoginItemAddition::examine(control.string(), true).refusal.find("cannot hold"),
              std::string::npos);
}

TEST(LoginItemAddition, AsksOnceForCommandsAddsNothingUnaskedAndReportsFailures) {
    TestPlatform platform;
    auto fake = FakeLoginItems::install();
    PlainMainQueue queue;
    LoginItemController controller(queue);
    ScriptedAsker asker;
    fs::path application =
        platform.root().write("apps/editor.desktop", "[Desktop Entry]\nType=Application\n");
    fs::path first = platform.root().write("docs/a.txt", "a");
    fs::path second = platform.root().write("docs/b.txt", "b");

    // An application entry alone is added without a question.
    EXPECT_EQ(LoginItemAddition::add({application.string()}, true, controller, asker), 1);
    EXPECT_TRUE(asker.questions.empty());

    asker.answer = false;
    EXPECT_EQ(LoginItemAddition::add({first.string(), second.string()}, true, controller, asker),
              0);
    EXPECT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(fake->added.size(), 1u);

    asker.answer = true;
    fake->addStatus = LoginItemStatus::ioFailure;
    EXPECT_EQ(LoginItemAddition::add({first.string(), (platform.root() / "none").string()}, true,
                                     controller, asker),
              0);
    ASSERT_EQ(asker.messages.size(), 1u);
    EXPECT_NE(asker.messageDetails[0].find("\"none\" does not exist."), std::string::npos);
    EXPECT_NE(asker.messageDetails[0].find("\"a.txt\" could not be added"), std::string::npos);
    FakeLoginItems::uninstall();
}
