// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ImageProvider.h"

#include <QRegularExpression>

#include "ui/LevelImages.h"
#include "ui/RoleIcons.h"

namespace quillby {

namespace {

// One pattern per state-named form; group 1 is the level, group 2 the alarm mark when present.
const QRegularExpression kTray(QStringLiteral("^(\\d{1,3})%(-1)?\\.png$"));
const QRegularExpression kRow(QStringLiteral("^(\\d{1,3})(-1)?\\.png$"));
const QRegularExpression kTile(QStringLiteral("^(\\d{1,3})_(r_)?index\\.png$"));
const QRegularExpression kProgress(QStringLiteral("^(\\d{1,3})_progress_bar\\.png$"));

// The level of a match, or -1 when it is not 0 ... 100.
int levelOf(const QRegularExpressionMatch& match) {
    if (!match.hasMatch()) return -1;
    int level = match.captured(1).toInt();
    return level <= 100 ? level : -1;
}

}  // namespace

ImageProvider& ImageProvider::shared() {
    static auto* provider = new ImageProvider;  // lives for the whole process
    return *provider;
}

void ImageProvider::setUseThemeIcons(bool use) {
    if (use != useTheme_) cache_.clear();
    useTheme_ = use;
}

bool ImageProvider::knows(const QString& name) const {
    for (const auto* pattern : {&kTray, &kRow, &kTile, &kProgress}) {
        if (levelOf(pattern->match(name)) >= 0) return true;
    }
    return RoleIcons::roleOf(name).size.isValid();
}

QImage ImageProvider::draw(const QString& name) const {
    if (int level = levelOf(kTray.match(name)); level >= 0) {
        return LevelImages::trayIcon(level, name.contains("%-1"));
    }
    if (auto match = kRow.match(name); levelOf(match) >= 0) {
        return LevelImages::rowBar(levelOf(match), match.hasCaptured(2));
    }
    if (auto match = kTile.match(name); levelOf(match) >= 0) {
        return LevelImages::tileBar(levelOf(match), match.hasCaptured(2));
    }
    if (int level = levelOf(kProgress.match(name)); level >= 0) {
        return LevelImages::progressBar(level);
    }
    RoleIcons::Role role = RoleIcons::roleOf(name);
    if (!role.size.isValid()) return {};
    if (useTheme_) {
        for (const auto& themeName : role.themeNames) {
            QIcon themed = QIcon::fromTheme(themeName);
            if (!themed.isNull()) return themed.pixmap(role.size).toImage();
        }
    }
    return RoleIcons::fallback(name);
}

QImage ImageProvider::image(const QString& name) {
    auto it = cache_.find(name);
    if (it != cache_.end()) return *it;
    QImage drawn = draw(name);
    if (!drawn.isNull()) cache_.insert(name, drawn);
    return drawn;
}

QIcon ImageProvider::icon(const QString& name) {
    if (useTheme_) {
        for (const auto& themeName : RoleIcons::roleOf(name).themeNames) {
            if (QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
        }
    }
    QImage drawn = image(name);
    return drawn.isNull() ? QIcon() : QIcon(QPixmap::fromImage(drawn));
}

}  // namespace quillby
