// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace quillby {

// The grey header over each group of the volume panel (280 x 16), titled by its kind.
class CustomGreyBarView : public QWidget {
    Q_OBJECT
  public:
    static constexpr QSize kSize{280, 16};

    explicit CustomGreyBarView(std::uint32_t kind, QWidget* parent = nullptr);
    std::uint32_t titleImplment() const { return kind_; }
    // The shown title (empty for a kind outside 0 ... 5).
    QString title() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::uint32_t kind_;
};

}  // namespace quillby
