// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/fs/FileKind.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace quillby {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kDocuments[] = {
    "doc"sv, "docx"sv, "xls"sv,  "xlsx"sv, "mpp"sv,   "ppt"sv, "pptx"sv, "txt"sv,
    "rtf"sv, "pdf"sv,  "odt"sv,  "ott"sv,  "ods"sv,   "odg"sv, "odf"sv,  "odb"sv,
    "odp"sv, "htm"sv,  "html"sv, "xml"sv,  "pages"sv, "key"sv};
constexpr std::string_view kVideos[] = {"avi"sv,  "rmvb"sv, "rm"sv,  "3gp"sv, "3g2"sv, "flv"sv,
                                        "mpeg"sv, "mpg"sv,  "qt"sv,  "qtm"sv, "qtx"sv, "mov"sv,
                                        "mpe"sv,  "mp4"sv,  "m4v"sv, "mkv"sv, "wmv"sv, "ogg"sv};
constexpr std::string_view kAudio[] = {"wav"sv, "aiff"sv, "au"sv,  "mp3"sv, "midi"sv,
                                       "wma"sv, "acc"sv,  "ape"sv, "ra"sv,  "aac"sv};
constexpr std::string_view kArchives[] = {"zip"sv, "rar"sv, "tar"sv, "tar.gz"sv, "tar.bz2"sv};
constexpr std::string_view kImages[] = {"bmp"sv,  "jpg"sv, "png"sv,  "ico"sv, "gif"sv, "tiff"sv,
                                        "jpeg"sv, "tga"sv, "exif"sv, "fpx"sv, "svg"sv, "psd"sv,
                                        "cdr"sv,  "pcd"sv, "dxf"sv,  "ufo"sv, "eps"sv};
// Packages and compressed images beside the archives above: what a disk-usage view should show
// as "installable or packed", not as "other".
constexpr std::string_view kPackages[] = {"deb"sv, "rpm"sv, "apk"sv,      "flatpak"sv, "snap"sv,
                                          "iso"sv, "img"sv, "appimage"sv, "7z"sv,      "gz"sv,
                                          "xz"sv,  "bz2"sv, "zst"sv,      "tgz"sv,     "jar"sv};
constexpr std::string_view kCode[] = {
    "c"sv,  "h"sv,    "cc"sv, "cpp"sv, "hpp"sv,   "cxx"sv,  "rs"sv,   "go"sv,   "py"sv,    "js"sv,
    "ts"sv, "java"sv, "kt"sv, "rb"sv,  "php"sv,   "sh"sv,   "pl"sv,   "lua"sv,  "swift"sv, "cs"sv,
    "o"sv,  "a"sv,    "so"sv, "pyc"sv, "class"sv, "wasm"sv, "json"sv, "yaml"sv, "toml"sv,  "css"sv};

}  // namespace

std::span<const std::string_view> fileKindExtensions(FileKind kind) {
    switch (kind) {
        case FileKind::Document:
            return kDocuments;
        case FileKind::Video:
            return kVideos;
        case FileKind::Audio:
            return kAudio;
        case FileKind::Archive:
            return kArchives;
        case FileKind::Image:
            return kImages;
        case FileKind::Package:
            return kPackages;
        case FileKind::Code:
            return kCode;
        case FileKind::Other:
            break;
    }
    return {};
}

FileKind fileKindOf(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // Longest extension first: "x.tar.gz" is a tar archive before it is a gzip file.
    for (std::size_t dot = lower.find('.', 1); dot != std::string::npos;
         dot = lower.find('.', dot + 1)) {
        std::string_view extension = std::string_view(lower).substr(dot + 1);
        for (FileKind kind :
             {FileKind::Document, FileKind::Video, FileKind::Audio, FileKind::Archive,
              FileKind::Image, FileKind::Package, FileKind::Code}) {
            auto list = fileKindExtensions(kind);
            if (std::find(list.begin(), list.end(), extension) != list.end()) return kind;
        }
    }
    return FileKind::Other;
}

}  // namespace quillby
