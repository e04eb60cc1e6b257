// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace quillby {

// What a shell may offer for an option's value or a positional argument.
enum class ValueKind {
    None,           // free text or a number: nothing to offer
    File,           // any path
    Folder,         // a folder's path
    SettingKey,     // a key of `quillby settings list`
    CleanCategory,  // a clean category number
    LoginItem,      // an index of `quillby login-items list`, or a path
    Application,    // an identifier of `quillby apps list`
    Words,          // one of a fixed list
};

struct ArgumentValues {
    ValueKind kind = ValueKind::None;
    std::string valueName;           // how help and the manual page name the value
    std::vector<std::string> words;  // for ValueKind::Words
};

// The values of argument `name` ("--depth", "PATH") of the command `commandPath` ("du",
// "login-items add"). `typeName` is the parser's own name for the value ("INT",
// "TEXT:{first,last}"): a list in braces becomes the words to offer.
ArgumentValues argumentValues(const std::string& commandPath, const std::string& name,
                              const std::string& typeName);

}  // namespace quillby
