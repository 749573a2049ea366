#pragma once

#include <QString>

#include <array>

struct CategoryInfo
{
    const char16_t *code;    // "dom/"; "---/" marks a slot without a headline page
    const char16_t *caption; // the label of the category's check box
};

inline constexpr int CategoryCount = 12;
extern const std::array<CategoryInfo, CategoryCount> Categories;

// The portal's address: VARNHOLT_BASE_URL when set, else where varnholt-portal listens by default.
QString DefaultBaseURL();

struct CategoryTable
{
    QString BaseURL;
    std::array<QString, CategoryCount> CategoryURL;

    // dayPrefix: "" for today, "yymmdd/" for an earlier day.
    void MakeCategoryURL(const QString &dayPrefix);
};
