// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppItemIcon.h"

#include "ui/ImageProvider.h"

namespace quillby {

QIcon appItemIcon(const AppItems& item) {
    QString image = QString::fromStdString(item.image);
    if (image.startsWith(QLatin1Char('/'))) {
        QIcon file(image);
        if (!file.isNull() && !file.availableSizes().isEmpty()) return file;
    } else if (!image.isEmpty() && QIcon::hasThemeIcon(image)) {
        return QIcon::fromTheme(image);
    }
    return QIcon::fromTheme(QStringLiteral("application-x-executable"),
                            ImageProvider::shared().icon(QStringLiteral("File_yes.png")));
}

}  // namespace quillby
