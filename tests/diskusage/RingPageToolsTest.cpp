// SPDX-License-Identifier: GPL-3.0-or-later
// The ring page's everyday tools without widgets: the folder history, the list's columns,
// sort and search, the labels on the chart, the excluded folders and the terminal finder.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/settings/SettingsKeys.h"
#include "core/settings/UserDefaults.h"
#include "diskusage/DefaultTerminal.h"
#include "diskusage/DiskUsageFixtures.h"
#include "diskusage/DiskUsageListColumns.h"
#include "diskusage/ExcludedFolderList.h"
#include "diskusage/FolderHistory.h"
#include "diskusage/PieTree.h"
#include "diskusage/RingLabels.h"
#include "support/TestPlatform.h"

using namespace quillby;

namespace {

// Every character 7 pixels wide, "…" included.
double sevenEach(std::string_view text) {
    std::size_t characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
    return 7.0 * static_cast<double>(characters);
}

DiskUsageItem item(const std::string& name, std::uint64_t bytes) {
    return DiskUsageItem::make(name, "/x/" + name, bytes, false);
}

std::vector<std::string> names(const std::vector<DiskUsageItem>& list) {
    std::vector<std::string> out;
    for (const auto& entry : list) out.push_back(entry.name);
    return out;
}

}  // namespace

TEST(FolderHistory, StepsBackAndForwardAndForgetsTheWayAheadOnANewVisit) {
    // Each step: an action ("v:FOLDER", "back", "forward", "forget:FOLDER") and the folder
    // current afterwards ("<out>" when Back left, "-" when Forward had nowhere to go).
    struct Step {
        std::string action;
        std::string expected;
    };
    const std::vector<Step> steps{
        {"back", "<out>"},    {"v:/t/", "/t/"},         {"v:/t/", "/t/"},
        {"v:/t/a/", "/t/a/"}, {"v:/t/a/b/", "/t/a/b/"}, {"back", "/t/a/"},
        {"back", "/t/"},      {"back", "<out>"},        {"forward", "/t/a/"},
        {"v:/t/c/", "/t/c/"}, {"forward", "-"},         {"back", "/t/a/"},
        {"v:/t/", "/t/"},     {"v:/t/a/", "/t/a/"},     {"forget:/t/a", "/t/"},
        {"back", "<out>"},
    };
    FolderHistory history;
    for (const auto& step : steps) {
        std::string shown;
        if (step.action.starts_with("v:")) {
            history.visit(step.action.substr(2));
            shown = history.current();
        } else if (step.action == "back") {
            auto back = history.back();
            shown = back.leaves ? "<out>" : back.folder;
        } else if (step.action == "forward") {
            shown = history.forward().value_or("-");
        } else {
            history.forget(step.action.substr(7));
            shown = history.current();
        }
        EXPECT_EQ(shown, step.expected) << step.action;
    }
    // The visits /t/ /t/a/ /t/ /t/a/ less /t/a and what lies in it leave one /t/.
    EXPECT_EQ(history.folders(), (std::vector<std::string>{"/t/"}));
}

TEST(DiskUsageListColumns, SortClicksSearchAndCells) {
    EXPECT_EQ(sortAfterClick({}, ListColumn::Name), (ListSort{ListColumn::Name, true}));
    EXPECT_EQ(sortAfterClick({}, ListColumn::Size), (ListSort{ListColumn::Size, true}));
    EXPECT_EQ(sortAfterClick({ListColumn::Name, true}, ListColumn::Modified),
              (ListSort{ListColumn::Modified, false}));

    struct Match {
        std::string name;
        std::string filter;
        bool matches;
    };
    for (const Match& m : std::vector<Match>{{"Photos", "", true},
                                             {"Photos", "hot", true},
                                             {"Photos", "HOT", true},
                                             {"Photos", "tho", false},
                                             {"Ölfass", "öl", true},
                                             {"Кино", "кИН", true},
                                             {"ΑΛΦΑ", "λφ", true},
                                             {"naïve", "NAÏ", true},
                                             {"x\xff", "\xff", true},
                                             {"abc", "abcd", false}}) {
        EXPECT_EQ(nameMatches(m.name, m.filter), m.matches) << m.name << " / " << m.filter;
    }

    std::vector<DiskUsageItem> items{item("b", 10), item("C", 30), item("a", 30), item("cc", 0)};
    EXPECT_EQ(names(arrangedItems(items, {}, "")), (std::vector<std::string>{"a", "C", "b", "cc"}));
    EXPECT_EQ(names(arrangedItems(items, {ListColumn::Name, true}, "c")),
              (std::vector<std::string>{"C", "cc"}));
    EXPECT_EQ(names(arrangedItems(items, {ListColumn::Size, true}, "")),
              (std::vector<std::string>{"cc", "b", "a", "C"}));

    EXPECT_EQ(percentText(1, 3), "33%");
    EXPECT_EQ(percentText(2, 3), "67%");
    EXPECT_EQ(percentText(1, 1000), "<1%");
    EXPECT_EQ(percentText(0, 1000), "0%");
    EXPECT_EQ(percentText(5, 0), "");
    EXPECT_EQ(itemCountText(1234567), "1,234,567");
    EXPECT_EQ(itemCountText(12), "12");
    EXPECT_EQ(itemCountText(std::nullopt), "");
    EXPECT_EQ(modifiedText(std::nullopt), "");
    EXPECT_EQ(modifiedText(0).size(), 16u);
    EXPECT_EQ(columnTitle(ListColumn::Items, {ListColumn::Items, true}), "Items \u25B2");
    EXPECT_EQ(columnTitle(ListColumn::Name, {ListColumn::Items, true}), "Name");
}

// The change since the previous scan sorts by bytes gained, a new item by its whole size; an
// item whose change is unknown goes last either way.
TEST(DiskUsageListColumns, TheChangeColumnSortsByBytesGained) {
    struct Row {
        std::string name;
        std::optional<std::int64_t> change;
        bool isNew;
        std::string text;
    };
    const std::vector<Row> rows{{"grew", 2'100'000'000, false, "+2.10 GB"},
                                {"shrank", -300'000'000, false, "-300.00 MB"},
                                {"same", 0, false, "0.00 KB"},
                                {"fresh", 500'000'000, true, "new"},
                                {"file", std::nullopt, false, ""}};
    std::vector<DiskUsageItem> items;
    for (const Row& row : rows) {
        items.push_back(item(row.name, 1));
        items.back().change = row.change;
        items.back().isNew = row.isNew;
        EXPECT_EQ(changeText(items.back()), row.text) << row.name;
    }
    ListSort byChange = sortAfterClick({}, ListColumn::Change);
    EXPECT_EQ(byChange, (ListSort{ListColumn::Change, false}));
    EXPECT_EQ(names(arrangedItems(items, byChange, "")),
              (std::vector<std::string>{"grew", "fresh", "same", "shrank", "file"}));
    EXPECT_EQ(names(arrangedItems(items, sortAfterClick(byChange, ListColumn::Change), "")),
              (std::vector<std::string>{"shrank", "same", "fresh", "grew", "file"}));
    EXPECT_EQ(columnTitle(ListColumn::Change, byChange), "Change \u25BC");
}

TEST(RingLabels, TextIsFittedWholeShortenedOrLeftOut) {
    struct Case {
        std::string text;
        double room;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{{"Documents", 63, "Documents"},
                                           {"Documents", 62, "Documen…"},
                                           {"Documents", 21, "Do…"},
                                           {"Documents", 20, ""},
                                           {"Änderung", 35, "Ände…"},
                                           {"ab", 13, ""},
                                           {"", 100, ""}}) {
        EXPECT_EQ(fitText(c.text, c.room, sevenEach), c.shown) << c.text << " in " << c.room;
    }
}

TEST(RingLabels, LabelsStayInsideTheirSectorsAndTheCentreShowsTheFolder) {
    auto root = RingFolderNode::makeRoot("/data/projects");
    root->size = 1000;
    const std::vector<std::pair<std::string, std::int64_t>> children{
        {"wide folder name", 600}, {"b", 280}, {"narrow one", 100}, {"tiny", 20}};
    for (const auto& [name, size] : children) addRingChild(*root, name, size);
    SectorColourRule colours;
    RingLayout layout(colours, nullptr);
    std::vector<RingSector> frame;
    layout.layoutSectors(*root, 1, 0, false, 360.0, 0.0, frame);
    RingViewport viewport(600, 600);

    auto labels = sectorLabels(frame, viewport, sevenEach, 14);
    std::vector<std::string> texts;
    for (const auto& label : labels) texts.push_back(label.text);
    // 36 degrees hold part of "narrow one"; 7 degrees not even "ti…".
    EXPECT_EQ(texts, (std::vector<std::string>{"wide folder name", "b", "narrow…"}));
    double scale = viewport.pixelsPerUnit();
    for (const auto& label : labels) {
        const RingSector& sector = *std::find_if(
            frame.begin(), frame.end(), [&](const auto& s) { return s.node == label.node; });
        // Every corner of the text's box lies within the sector's radii and angles.
        double width = sevenEach(label.text);
        double turn = label.angle * std::numbers::pi / 180.0;
        for (double along : {-width / 2, width / 2}) {
            for (double across : {-7.0, 7.0}) {
                double x = label.x + along * std::cos(turn) - across * std::sin(turn);
                double y = label.y + along * std::sin(turn) + across * std::cos(turn);
                PolarPoint point = viewport.toPolar(x, y);
                EXPECT_GE(point.r * scale, sector.radii.inner * scale - 0.5) << label.text;
                EXPECT_LE(point.r * scale, sector.radii.outer * scale + 0.5) << label.text;
                EXPECT_GE(point.t, sector.startAngle - 0.01) << label.text;
                EXPECT_LE(point.t, sector.startAngle + sector.sweep + 0.01) << label.text;
            }
        }
        // Never upside down.
        EXPECT_GE(std::cos(turn), -1e-9) << label.text;
    }

    CentreLabel centre = centreLabel(frame, viewport, sevenEach, 14);
    EXPECT_EQ(centre.name, "projects");
    EXPECT_EQ(centre.total, "1.00 KB");
    EXPECT_DOUBLE_EQ(centre.x, 300);
    CentreLabel small = centreLabel(frame, RingViewport(90, 90), sevenEach, 14);
    EXPECT_EQ(small.name, "");  // a disc of 19 pixels holds nothing
    EXPECT_EQ(labelRoom(10, 20, 90, 14), 0.0);
}

TEST(ExcludedFolderList, AddsEachAbsoluteFolderOnceRemovesAndStoresAtOnce) {
    TestPlatform platform;
    auto& defaults = UserDefaults::standardUserDefaults();
    ExcludedFolderList list(defaults);
    EXPECT_TRUE(list.add("/srv/media/"));
    EXPECT_FALSE(list.add("/srv/media"));
    EXPECT_FALSE(list.add("relative/path"));
    EXPECT_TRUE(list.add("/var/cache"));
    EXPECT_EQ(defaults.linesForKey(SettingsKey::DiskUsageExcludes),
              (std::vector<std::string>{"/srv/media", "/var/cache"}));
    EXPECT_TRUE(list.remove(0));
    EXPECT_FALSE(list.remove(5));
    ExcludedFolderList again(defaults);
    EXPECT_EQ(again.folders(), (std::vector<std::string>{"/var/cache"}));
}

// Desktop entries and programs in a fixture tree, the terminal found as each desktop would.
class DefaultTerminalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        context = platform.context();
        context.xdgDataDirs = {platform.root() / "usr/share"};
        context.xdgConfigDirs = {platform.root() / "etc/xdg"};
        context.executableSearchPath = {platform.root() / "usr/bin"};
        for (const char* program : {"gnome-terminal", "konsole", "xterm", "x-terminal-emulator"}) {
            platform.root().writeExecutable(std::string("usr/bin/") + program, "#!/bin/sh\n");
        }
        entry("org.gnome.Terminal.desktop", "Terminal", "gnome-terminal --window");
        entry("org.kde.konsole.desktop", "Konsole", "konsole");
        entry("xterm.desktop", "XTerm", "xterm -ls");
        entry("gone.desktop", "Gone", "not-installed");
    }
    void entry(const std::string& id, const std::string& name, const std::string& exec,
               const std::string& extra = "Categories=System;TerminalEmulator;\n") {
        platform.root().write(
            "usr/share/applications/" + id,
            "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + extra);
    }
    std::string found(const std::vector<std::string>& desktops = {"GNOME"}) {
        auto terminal = findDefaultTerminal(context, desktops);
        return terminal ? terminal->entryId + " " + fs::path(terminal->program).filename().string()
                        : "none";
    }

    TestPlatform platform;
    PlatformContext context;
};

TEST_F(DefaultTerminalTest, TheDesktopsChoiceTheAlternativeThenTheCategory) {
    // Without any choice: the first entry of the category by ID that can start.
    EXPECT_EQ(found(), "org.gnome.Terminal.desktop gnome-terminal");

    // The alternative names a program: its entry.
    fs::create_directories(platform.root() / "etc/alternatives");
    context.etcRoot = platform.root() / "etc";
    fs::create_symlink("/usr/bin/xterm", platform.root() / "etc/alternatives/x-terminal-emulator");
    EXPECT_EQ(found(), "xterm.desktop xterm");
    auto xterm = findDefaultTerminal(context, {"GNOME"});
    ASSERT_TRUE(xterm);
    EXPECT_EQ(xterm->name, "XTerm");
    EXPECT_EQ(xterm->arguments, (std::vector<std::string>{"-ls"}));

    // KDE's own setting comes before it on KDE only.
    platform.root().write("home/.config/kdeglobals",
                          "[General]\nTerminalApplication=konsole\n[Other]\nTerminalService=x\n");
    context.xdgConfigHome = platform.root() / "home/.config";
    EXPECT_EQ(found({"KDE"}), "org.kde.konsole.desktop konsole");
    EXPECT_EQ(found({"GNOME"}), "xterm.desktop xterm");

    // The terminal lists come first; the desktop's own list before the plain one, and IDs that
    // cannot start are passed over.
    platform.root().write("etc/xdg/xdg-terminals.list", "# choice\ngone.desktop\nxterm.desktop\n");
    platform.root().write("home/.config/gnome-xdg-terminals.list",
                          "org.gnome.Terminal.desktop:new-window\n");
    EXPECT_EQ(found({"GNOME"}), "org.gnome.Terminal.desktop gnome-terminal");
    EXPECT_EQ(found({"XFCE"}), "xterm.desktop xterm");
}

TEST_F(DefaultTerminalTest, HiddenElsewhereOnlyOrNotInstalledIsNoTerminal) {
    entry("org.gnome.Terminal.desktop", "Terminal", "gnome-terminal", "Hidden=true\n");
    entry("org.kde.konsole.desktop", "Konsole", "konsole",
          "Categories=TerminalEmulator;\nOnlyShowIn=KDE;\n");
    entry("xterm.desktop", "XTerm", "xterm", "Categories=TerminalEmulator;\nTryExec=missing\n");
    EXPECT_EQ(found({"GNOME"}), "none");
    EXPECT_EQ(found({"KDE"}), "org.kde.konsole.desktop konsole");
    // The alternative with no entry of its program is started as it is.
    fs::create_directories(platform.root() / "etc/alternatives");
    context.etcRoot = platform.root() / "etc";
    fs::create_symlink("/opt/st/bin/st", platform.root() / "etc/alternatives/x-terminal-emulator");
    EXPECT_EQ(found({"GNOME"}), " x-terminal-emulator");
}
