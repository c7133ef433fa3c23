#pragma once
// The Seeker's property lists (the saved scan memory and the vocabulary): an array of strings,
// read from XML or binary property lists and written as XML. Backed by libplist.
#include <QByteArray>
#include <QStringList>

#include <optional>

// The strings of a property list whose root is an array, in order; elements that are not
// strings are left out. Nothing when the data is not a property list, its root is not an
// array, or it is larger than a property list reader takes (4 GiB).
std::optional<QStringList> seekerReadStringArray(const QByteArray &data);
// An XML property list whose root is an array of the given strings.
QByteArray seekerXmlStringArray(const QStringList &strings);
