#pragma once

#include "FeedParser.h"

#include <QList>
#include <QUrl>

// What tells a feed's item from every other, so that the archive keeps each one and gives each
// its own article address: its guid, Atom id or rdf:about when it has one, else its whole link
// with the fragment (a diary's or a news list's items lead to parts of one page). A guid that is
// not an address ("12345") is only unique on its site, so the feed's host goes before it.
//
// "The same story" is the same identity: found again in another feed, of this category or
// another, it is the same item with the same article address.
//
// Items of one feed that share an identity but differ in title are told apart by their titles
// too: a feed that lists two titles under one link means two stories. One given twice with the
// same title is kept once. Returns how many were dropped as such repeats.
int AssignIdentities(QList<FeedItem> &items, const QUrl &feed);

// item's identity; its whole link when none was assigned.
QString IdentityOf(const FeedItem &item);
