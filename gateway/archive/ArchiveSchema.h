#pragma once

#include <array>

// The archive's tables, by version (PRAGMA user_version). A file older than the current
// version is brought up to it one step at a time as it opens.
namespace ArchiveSchema {

// Version 2: an item is known by its identity (ItemIdentity.h) and keeps its whole link; a
// placement remembers the feed that made it; a feed remembers why its last fetch failed.
inline constexpr const char *Create = R"(
CREATE TABLE items(
    id INTEGER PRIMARY KEY,
    identity TEXT NOT NULL UNIQUE,
    link TEXT NOT NULL,
    title TEXT NOT NULL,
    source TEXT NOT NULL,
    description TEXT NOT NULL,
    content TEXT NOT NULL,
    published INTEGER NOT NULL,
    day TEXT NOT NULL);
CREATE INDEX items_day ON items(day);
CREATE TABLE placements(
    item INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE,
    code TEXT NOT NULL,
    title TEXT NOT NULL,
    feed TEXT NOT NULL DEFAULT '',
    PRIMARY KEY(item, code));
CREATE INDEX placements_code ON placements(code, title);
CREATE TABLE articles(
    item INTEGER PRIMARY KEY REFERENCES items(id) ON DELETE CASCADE,
    body TEXT NOT NULL,
    fetched INTEGER NOT NULL,
    complete INTEGER NOT NULL);
CREATE TABLE feeds(
    key TEXT PRIMARY KEY,
    etag BLOB NOT NULL,
    last_modified BLOB NOT NULL,
    checked INTEGER NOT NULL,
    retry_after INTEGER NOT NULL,
    failure TEXT NOT NULL DEFAULT '');
PRAGMA user_version = 2;
)";

// Migrations[v - 1] brings a file of version v to v + 1. Version 1, the first, never wrote its
// number: a file without one that holds the items table is of version 1.
inline constexpr std::array<const char *, 1> Migrations{
    // 1 to 2: an item's link, without its fragment, was what it was known by; it stays its
    // identity, so every item keeps its article address.
    R"(
ALTER TABLE items RENAME COLUMN link TO identity;
ALTER TABLE items ADD COLUMN link TEXT NOT NULL DEFAULT '';
UPDATE items SET link = identity;
ALTER TABLE placements ADD COLUMN feed TEXT NOT NULL DEFAULT '';
ALTER TABLE feeds ADD COLUMN failure TEXT NOT NULL DEFAULT '';
PRAGMA user_version = 2;
)"};

} // namespace ArchiveSchema
