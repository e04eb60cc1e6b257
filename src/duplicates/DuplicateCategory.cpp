// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/DuplicateCategory.h"

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
constexpr std::string_view kMusic[] = {"wav"sv, "aiff"sv, "au"sv,  "mp3"sv, "midi"sv,
                                       "wma"sv, "acc"sv,  "ape"sv, "ra"sv,  "aac"sv};
constexpr std::string_view kArchives[] = {"zip"sv, "rar"sv, "tar"sv, "tar.gz"sv, "tar.bz2"sv};
constexpr std::string_view kPictures[] = {"bmp"sv,  "jpg"sv, "png"sv,  "ico"sv, "gif"sv, "tiff"sv,
                                          "jpeg"sv, "tga"sv, "exif"sv, "fpx"sv, "svg"sv, "psd"sv,
                                          "cdr"sv,  "pcd"sv, "dxf"sv,  "ufo"sv, "eps"sv};

constexpr DuplicateCategory kCategories[DuplicateCategoryCount] = {
    {0, "All", "all.png", 0, {}},
    {1, "Documents", "document.png", 1, kDocuments},
    {2, "Videos", "television.png", 3, kVideos},
    {3, "Music", "music.png", 2, kMusic},
    {4, "Archives", "zip.png", 4, kArchives},
    {5, "Pictures", "picture.png", 5, kPictures},
    {6, "Others", "other.png", 6, {}},
};

}  // namespace

std::span<const DuplicateCategory> duplicateCategories() {
    return kCategories;
}

std::array<int, 6> duplicateCategorySortingOrder() {
    return {1, 3, 2, 4, 5, 6};
}

bool duplicateCategoryTakes(int row, std::string_view extension) {
    if (row == 6) return true;
    if (row < 1 || row > 5) return false;
    std::string lower(extension);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto& list = kCategories[row].extensions;
    return std::find(list.begin(), list.end(), lower) != list.end();
}

}  // namespace quillby
