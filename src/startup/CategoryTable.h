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

// The portal's address from a configured one (VARNHOLT_BASE_URL): without its trailing slash, or
// where varnholt-portal listens by default when none is configured.
QString PortalBaseURL(const QString &configured);

struct CategoryTable
{
    QString BaseURL;
    std::array<QString, CategoryCount> CategoryURL;

    // dayPrefix: "" for today, "yymmdd/" for an earlier day. BaseURL is left as it is.
    void MakeCategoryURL(const QString &dayPrefix);
};
