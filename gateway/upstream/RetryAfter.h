#pragma once

#include <QByteArray>
#include <QDateTime>

#include <chrono>
#include <optional>

// Seconds from a Retry-After value (a number of seconds or an HTTP date), at most six hours;
// nullopt when the value says neither.
std::optional<std::chrono::seconds> ParseRetryAfter(const QByteArray &value, const QDateTime &now);
