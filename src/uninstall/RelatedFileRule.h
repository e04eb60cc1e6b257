// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillby {

// Which entries of a settings, cache or data folder belong to an application, by its
// identifier. Names are compared case-sensitively.
// - A reverse-domain identifier (three or more parts, "org.gimp.GIMP") claims its own name, names
//   that continue it after ".", "-" or "_", and its helper's ("org.gimp.GIMPHelper",
//   "org.gimp.GIMPHelper.plist"); never another application whose name begins the same
//   ("org.gimp.GIMPEditor").
// - Any other identifier ("gimp", "python3.11") claims only the entry of that name and names
//   that continue it after "-" or "_" ("gimp-2.10"), or, for an identifier without a dot, after
//   "." and one more part ("gimp.conf"). A plain prefix of a short name ("go" in
//   "google-chrome") would claim another program's data, and so would a dot that leads into
//   other applications' reverse-domain names ("org" in "org.gnome.Maps").
// - Among installed applications the most specific claim wins: an entry that another
//   application's identifier claims too, with as many characters or more, is not this one's
//   ("google-chrome-beta" is the beta's, not "google-chrome"'s; "org.gnome.TextEditor.Devel" is
//   the development build's). Two applications of one identifier share their entries, so
//   neither removal takes them.
// - The folders every program shares ("applications", "autostart", "flatpak", "Trash", ...) and
//   this program's own are never claimed, and neither is anything by an identifier that does
//   not start with a letter or a digit.
class RelatedFileRule {
  public:
    // True when the entry called `entryName` belongs to the application `identifier`.
    static bool matches(std::string_view entryName, std::string_view identifier);
    // True when the entry belongs to `identifier` while the applications of `others` (the other
    // installed applications' identifiers) are installed too.
    static bool belongsTo(std::string_view entryName, std::string_view identifier,
                          const std::vector<std::string>& others);
    // True for an identifier of three or more non-empty parts separated by dots.
    static bool isReverseDomain(std::string_view identifier);
    // True for an entry that belongs to no single application.
    static bool isSharedEntry(std::string_view entryName);
};

}  // namespace quillby
