// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

#include "shell/SingleInstance.h"
#include "support/TempDir.h"

using namespace quillby;

TEST(SingleInstance, SecondStartSendsReopenToTheFirst) {
    TempDir runtime;
    QString folder = QString::fromStdString(runtime.path().string());
    SingleInstance first(folder);
    ASSERT_TRUE(first.becomePrimary());
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);

    SingleInstance second(folder);
    EXPECT_FALSE(second.becomePrimary());
    EXPECT_TRUE(reopened.wait(5000));
    EXPECT_EQ(reopened.count(), 1);
}

TEST(SingleInstance, LeftoverSocketOfAnEndedProgramDoesNotBlockTheNextStart) {
    TempDir runtime;
    QString folder = QString::fromStdString(runtime.path().string());
    runtime.write("com.quillby.pro.socket", "stale");
    {
        SingleInstance ended(folder);
        ASSERT_TRUE(ended.becomePrimary());
    }
    SingleInstance next(folder);
    EXPECT_TRUE(next.becomePrimary(false));
}
