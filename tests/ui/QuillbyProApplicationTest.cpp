#include <gtest/gtest.h>

#include <atomic>

#include "monitor/AppDelegate.h"
#include "monitor/FakeVolumes.h"
#include "platform/Services.h"
#include "shell/AppController.h"
#include "shell/QuillbyProApplication.h"
#include "support/TestPlatform.h"

namespace {

struct CountingVolumeSource : VolumeSource {
    std::atomic<int> enumerations{0};
    std::vector<VolumeFacts> mountedVolumes() override {
        ++enumerations;
        return {facts(1, "/", 1000, 500), facts(2, "/home", 4000, 1000)};
    }
};

}  // namespace

// The agent's enumeration of a tick feeds its menu, the volume tiles and the overview page.
TEST(QuillbyProApplication, OneVolumeEnumerationPerTick) {
    TestPlatform platform;
    auto source = std::make_shared<CountingVolumeSource>();
    Services::install<VolumeSource>(source);
    {
        QuillbyProApplication program;
        ASSERT_TRUE(program.start());
        program.agent().stopTimer();
        program.mainWindow().showMainWindow();  // builds the pages that show volumes
        int before = source->enumerations;
        program.agent().updateDataForMenuItem();
        EXPECT_EQ(source->enumerations - before, 1);
    }
    Services::install<VolumeSource>(nullptr);
}
