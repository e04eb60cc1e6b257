#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/fs/EntryJudge.h"

struct CleanFolder;

// A clean category's answer to "may this entry be deleted?", asked by every scan and, again
// at every level, by every deleting pass. Some categories also tidy up after a deletion.
class CleanRule : public EntryJudge {
  public:
    // Called after the entry `name` directly inside the category folder was deleted.
    virtual void afterEntryRemoved(const CleanFolder& folder, const std::string& name) const {
        (void)folder;
        (void)name;
    }
    // What the rule lets go, in a few words for people.
    virtual std::string_view scope() const = 0;
    // True for a rule strict enough to be applied to the home folder itself.
    virtual bool isSafeOnHomeFolder() const { return false; }
    // Called after a deleting pass went through the whole category folder.
    virtual void afterFolderEmptied(const CleanFolder& folder) const { (void)folder; }
};
