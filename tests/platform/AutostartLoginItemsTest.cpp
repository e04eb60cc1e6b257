// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/events/Log.h"
#include "core/fs/FileURL.h"
#include "platform/linux/AutostartLoginItems.h"
#include "platform/linux/InotifyFolderWatch.h"
#include "support/TempDir.h"

using namespace quillby;

namespace fs = std::filesystem;

namespace {

class AutostartLoginItemsTest : public ::testing::Test {
  protected:
    static PlatformContext fixtureContext(const TempDir& root) {
        PlatformContext context = PlatformContext::underRoot(root.path());
        context.xdgConfigDirs = {root / "etc/xdg", root / "usr/etc/xdg"};
        context.messagesLocale = "de_DE.UTF-8";
        return context;
    }

    fs::path user(const std::string& name = "") const {
        return context.xdgConfigHome / "autostart" / name;
    }
    fs::path system(const std::string& name, int folder = 0) const {
        return context.xdgConfigDirs[folder] / "autostart" / name;
    }
    fs::path write(const fs::path& file, const std::string& text) const {
        return root.write(fs::relative(file, root.path()).string(), text);
    }
    fs::path program(const std::string& relative) const {
        return root.writeExecutable(relative, "#!/bin/sh\n");
    }
    std::vector<LoginItemEntry> list() {
        std::vector<LoginItemEntry> entries;
        EXPECT_EQ(items.copyLoginItems(entries), LoginItemStatus::success);
        return entries;
    }
    std::vector<std::string> identifiers() {
        std::vector<std::string> names;
        for (const auto& entry : list()) names.push_back(entry.identifier);
        return names;
    }
    const LoginItemEntry* find(const std::vector<LoginItemEntry>& entries,
                               const std::string& identifier) {
        for (const auto& entry : entries) {
            if (entry.identifier == identifier) return &entry;
        }
        return nullptr;
    }
    int indexOf(const std::string& identifier) {
        auto names = identifiers();
        auto it = std::find(names.begin(), names.end(), identifier);
        return it == names.end() ? -1 : static_cast<int>(it - names.begin());
    }

    TempDir root;
    PlatformContext context = fixtureContext(root);
    AutostartLoginItems items{context};
    std::vector<std::string> lines;
    ScopedLogCapture capture{[this](std::string_view line) { lines.emplace_back(line); }};
};

std::string entryText(const std::string& name, const std::string& more = "") {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\n" + more;
}

}  // namespace

TEST_F(AutostartLoginItemsTest, MergesUserAndSystemFoldersInFileNameOrder) {
    write(system("c.desktop"), entryText("C first folder"));
    write(system("c.desktop", 1), entryText("C second folder"));
    write(system("d.desktop", 1), entryText("D"));
    write(system("shadow.desktop"), entryText("System shadow"));
    write(system("a.desktop"), entryText("A", "Name[de]=A auf Deutsch\n"));
    write(user("shadow.desktop"), entryText("User shadow"));
    write(user("b.desktop"), entryText("B"));
    write(user("notes.txt"), "not an entry");
    fs::create_directories(user("folder.desktop"));

    auto entries = list();
    ASSERT_EQ(identifiers(), (std::vector<std::string>{"a.desktop", "b.desktop", "c.desktop",
                                                       "d.desktop", "shadow.desktop"}));
    EXPECT_EQ(entries[0].name, "A auf Deutsch");
    EXPECT_TRUE(entries[0].system);
    EXPECT_FALSE(entries[1].system);
    EXPECT_EQ(entries[1].entryPath, user("b.desktop").string());
    EXPECT_EQ(entries[2].name, "C first folder");
    EXPECT_EQ(entries[4].name, "User shadow");
    EXPECT_EQ(entries[4].entryPath, user("shadow.desktop").string());
    EXPECT_TRUE(entries[4].system);  // overrides a system item, so it stays one
    EXPECT_TRUE(lines.empty());
}

TEST_F(AutostartLoginItemsTest, TheUrlNamesWhatTheEntryStarts) {
    fs::path tool = program("usr/bin/tool");
    program("bin/tool");  // later in PATH: not the one found
    write(user("path.desktop"), entryText("p", "Exec=tool --daemon %U\n"));
    write(user("env.desktop"), entryText("e", "Exec=env -u X LANG=C FOO=\"a b\" tool\n"));
    write(user("absolute.desktop"), entryText("abs", "Exec=/opt/gone/app\n"));
    write(user("document.desktop"), entryText("doc", "Exec=xdg-open \"/home/me/read me.pdf\"\n"));
    write(user("gio.desktop"), entryText("gio", "Exec=gio open file:///srv/a%%20b.txt\n"));
    write(user("unknown.desktop"), entryText("u", "Exec=not-installed\n"));
    write(user("noexec.desktop"), entryText("n"));
    write(user("badquote.desktop"), entryText("q", "Exec=tool \"open\n"));

    auto entries = list();
    auto urlOf = [&](const std::string& id) { return find(entries, id)->url; };
    EXPECT_EQ(urlOf("path.desktop"), fileURLFromPath(tool.string()));
    EXPECT_EQ(urlOf("env.desktop"), fileURLFromPath(tool.string()));
    EXPECT_EQ(urlOf("absolute.desktop"), "file:///opt/gone/app");
    EXPECT_EQ(urlOf("document.desktop"), "file:///home/me/read%20me.pdf");
    EXPECT_EQ(urlOf("gio.desktop"), "file:///srv/a%20b.txt");
    EXPECT_EQ(urlOf("unknown.desktop"), fileURLFromPath(user("unknown.desktop").string()));
    EXPECT_EQ(urlOf("noexec.desktop"), fileURLFromPath(user("noexec.desktop").string()));
    EXPECT_EQ(urlOf("badquote.desktop"), fileURLFromPath(user("badquote.desktop").string()));
}

TEST_F(AutostartLoginItemsTest, HidingWritesTheHiddenKeyAndShowingRemovesIt) {
    std::string own = entryText("Mine", "# my note\nExec=/opt/mine\n");
    write(user("mine.desktop"), own);
    ::chmod(user("mine.desktop").c_str(), 0640);
    std::string shipped = entryText("Shipped", "Exec=/usr/libexec/shipped\nX-Vendor=1\n");
    write(system("shipped.desktop"), shipped);

    ASSERT_EQ(items.setHiddenAtIndex(indexOf("mine.desktop"), true), LoginItemStatus::success);
    EXPECT_EQ(TempDir::read(user("mine.desktop")), own + "Hidden=true\n");
    EXPECT_EQ(fs::status(user("mine.desktop")).permissions(), fs::perms(0640));  // kept
    EXPECT_TRUE(find(list(), "mine.desktop")->hidden);
    ASSERT_EQ(items.setHiddenAtIndex(indexOf("mine.desktop"), false), LoginItemStatus::success);
    EXPECT_EQ(TempDir::read(user("mine.desktop")), own);

    // A system item is hidden through an override in the user's folder, which goes again.
    ASSERT_EQ(items.setHiddenAtIndex(indexOf("shipped.desktop"), true), LoginItemStatus::success);
    EXPECT_EQ(TempDir::read(user("shipped.desktop")), shipped + "Hidden=true\n");
    mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(user("shipped.desktop")).permissions(), fs::perms(0644 & ~mask));
    auto hidden = *find(list(), "shipped.desktop");
    EXPECT_TRUE(hidden.hidden);
    EXPECT_TRUE(hidden.system);
    ASSERT_EQ(items.setHiddenAtIndex(indexOf("shipped.desktop"), false), LoginItemStatus::success);
    EXPECT_FALSE(fs::exists(user("shipped.desktop")));
    EXPECT_FALSE(find(list(), "shipped.desktop")->hidden);
    EXPECT_EQ(TempDir::read(system("shipped.desktop")), shipped);

    // An override that says more than the system entry stays, without the key.
    write(user("shipped.desktop"), shipped + "X-Mine=1\nHidden=true\n");
    ASSERT_EQ(items.setHiddenAtIndex(indexOf("shipped.desktop"), false), LoginItemStatus::success);
    EXPECT_EQ(TempDir::read(user("shipped.desktop")), shipped + "X-Mine=1\n");

    // A system entry that is itself hidden is shown by an override that says so.
    std::string off = entryText("Off", "Hidden=true\n");
    write(system("off.desktop"), off);
    ASSERT_EQ(items.setHiddenAtIndex(indexOf("off.desktop"), false), LoginItemStatus::success);
    EXPECT_EQ(TempDir::read(user("off.desktop")), entryText("Off", "Hidden=false\n"));
    ASSERT_EQ(items.setHiddenAtIndex(indexOf("off.desktop"), true), LoginItemStatus::success);
    EXPECT_FALSE(fs::exists(user("off.desktop")));

    EXPECT_EQ(items.setHiddenAtIndex(99, true), LoginItemStatus::invalidItem);
}

TEST_F(AutostartLoginItemsTest, AddsEntriesProgramsAndDocumentsAndRefusesMissingPaths) {
    // An application entry is copied as it is, so its Exec comes back unchanged.
    std::string application =
        entryText("Editor",
                  "Exec=\"/opt/My Editor/run \\\\\"x\\\\\" 100%%\" --name %c %U\nIcon=editor\n"
                  "# kept\n");
    fs::path entry = write(root / "usr/share/applications/org.example.Editor.desktop", application);
    ASSERT_EQ(items.addURLAtEnd(fileURLFromPath(entry.string()), false), 0);
    EXPECT_EQ(TempDir::read(user("org.example.Editor.desktop")), application);
    EXPECT_EQ(find(list(), "org.example.Editor.desktop")->url,
              fileURLFromPath("/opt/My Editor/run \"x\" 100%"));
    EXPECT_EQ(items.itemURLForPath(entry.string()),
              fileURLFromPath("/opt/My Editor/run \"x\" 100%"));
    // Adding the same entry again changes nothing.
    ASSERT_EQ(items.addURLAtEnd(fileURLFromPath(entry.string()), false), 0);
    EXPECT_EQ(identifiers().size(), 1u);

    // A program (an AppImage here) whose name needs quoting, and a document.
    fs::path tool = program("apps/My \"Tool\" $1 100% `x`.AppImage");
    ASSERT_EQ(items.addURLAtEnd(fileURLFromPath(tool.string()), false), 0);
    fs::path document = root.write("docs/read me; now.txt", "hello");
    ASSERT_EQ(items.addURLAtEnd(fileURLFromPath(document.string()), true), 0);
    auto entries = list();
    ASSERT_EQ(entries.size(), 3u);
    const LoginItemEntry* added = find(entries, "My__Tool___1_100___x_.AppImage.desktop");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->url, fileURLFromPath(tool.string()));
    EXPECT_EQ(added->name, tool.filename().string());
    EXPECT_FALSE(added->hidden);
    const LoginItemEntry* opened = find(entries, "read_me__now.txt.desktop");
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->url, fileURLFromPath(document.string()));
    EXPECT_TRUE(opened->hidden);
    EXPECT_NE(TempDir::read(opened->entryPath).find("Exec=xdg-open \"" + document.string()),
              std::string::npos);

    // Another item with a taken name gets a name of its own.
    fs::path other = program("other/My \"Tool\" $1 100% `x`.AppImage");
    ASSERT_EQ(items.addURLAtEnd(fileURLFromPath(other.string()), false), 0);
    EXPECT_TRUE(find(list(), "My__Tool___1_100___x_.AppImage-2.desktop"));

    // Refused, with nothing written.
    auto before = identifiers();
    EXPECT_EQ(items.addURLAtEnd(fileURLFromPath((root / "missing").string()), false),
              LoginItemStatus::fileNotFound);
    fs::path link = write(root / "link.desktop", "[Desktop Entry]\nType=Link\nName=l\n");
    EXPECT_EQ(items.addURLAtEnd(fileURLFromPath(link.string()), false),
              LoginItemStatus::invalidItem);
    fs::path notUtf8 = root.write("bad\xff name", "x");
    EXPECT_EQ(items.addURLAtEnd(fileURLFromPath(notUtf8.string()), false),
              LoginItemStatus::invalidItem);
    EXPECT_EQ(items.addURLAtEnd("https://example.org/x", false), LoginItemStatus::invalidItem);
    EXPECT_EQ(identifiers(), before);
}

TEST_F(AutostartLoginItemsTest, RemovesUserItemsButNotSystemOnes) {
    write(user("mine.desktop"), entryText("Mine"));
    fs::path target = program("usr/bin/target");
    fs::create_symlink(target, user("linked.desktop"));  // a link is removed, not its target
    write(system("shipped.desktop"), entryText("Shipped"));
    write(user("shipped.desktop"), entryText("Shipped", "Hidden=true\n"));

    EXPECT_EQ(items.removeAtIndex(indexOf("shipped.desktop")), LoginItemStatus::systemItem);
    EXPECT_TRUE(allExist(user("shipped.desktop"), system("shipped.desktop")));

    write(target, entryText("Through a link"));
    ASSERT_EQ(items.removeAtIndex(indexOf("linked.desktop")), LoginItemStatus::success);
    EXPECT_TRUE(fs::exists(target));
    ASSERT_EQ(items.removeAtIndex(indexOf("mine.desktop")), LoginItemStatus::success);
    EXPECT_FALSE(fs::exists(user("mine.desktop")));
    EXPECT_EQ(identifiers(), std::vector<std::string>{"shipped.desktop"});
    EXPECT_EQ(items.removeAtIndex(5), LoginItemStatus::invalidItem);
}

TEST_F(AutostartLoginItemsTest, MalformedFilesAreSkippedWithALogLine) {
    write(user("good.desktop"), entryText("Good"));
    write(user("nogroup.desktop"), "Name=No group\nExec=x\n");
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) % 256);
    write(user("junk.desktop"), junk);
    write(system("long.desktop"), entryText("Long", "Comment=" + std::string(1000000, 'x')));
    write(system("big.desktop"), entryText("Big") + std::string(2 << 20, '#'));
    ASSERT_EQ(::mkfifo(user("pipe.desktop").c_str(), 0600), 0);

    EXPECT_EQ(identifiers(), std::vector<std::string>{"good.desktop"});
    ASSERT_EQ(lines.size(), 5u);
    for (const auto& line : lines) EXPECT_EQ(line.rfind("Skipping login item ", 0), 0u) << line;
    EXPECT_NE(lines[0].find("big.desktop: larger than 1048576 bytes"), std::string::npos);
    EXPECT_NE(lines[2].find("long.desktop: line 4 is longer than 65536 bytes"), std::string::npos);
    EXPECT_NE(lines[4].find("pipe.desktop: not a regular file"), std::string::npos);
}

TEST(InotifyFolderWatch, OnlyTheFolderAndItsEntriesCount) {
    // Other files beside the entries (a note, an editor's backup) are no change of the list.
    EXPECT_TRUE(InotifyFolderWatch::concernsEntries("", ".desktop"));
    EXPECT_TRUE(InotifyFolderWatch::concernsEntries("new.desktop", ".desktop"));
    EXPECT_FALSE(InotifyFolderWatch::concernsEntries("notes.txt", ".desktop"));
    EXPECT_FALSE(InotifyFolderWatch::concernsEntries("new.desktop~", ".desktop"));
    EXPECT_FALSE(InotifyFolderWatch::concernsEntries("desktop", ".desktop"));
}
