// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>

namespace quillby {

// A date or none, in the space of the date alone: the earliest time point the clock can hold
// stands for none (no file carries it). Outline rows hold one each, and large results hold tens
// of thousands of rows. No date sorts before every date, as with std::optional.
class OptionalDate {
  public:
    using Date = std::chrono::system_clock::time_point;

    OptionalDate() = default;
    OptionalDate(std::nullopt_t) {}
    OptionalDate(Date date) : date_(date) {}

    bool has_value() const { return date_ != kNone; }
    explicit operator bool() const { return has_value(); }
    const Date& operator*() const { return date_; }
    const Date* operator->() const { return &date_; }
    Date value_or(Date other) const { return has_value() ? date_ : other; }
    operator std::optional<Date>() const {
        return has_value() ? std::optional<Date>(date_) : std::nullopt;
    }

    friend bool operator==(const OptionalDate& a, const OptionalDate& b) = default;
    friend bool operator<(const OptionalDate& a, const OptionalDate& b) {
        return a.date_ < b.date_;
    }

  private:
    static constexpr Date kNone = Date::min();
    Date date_ = kNone;
};

}  // namespace quillby
